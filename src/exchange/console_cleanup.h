#pragma once

// A temporary file of the Windows writer (file_write_windows.cpp) that is removed when the
// console ends the process (Ctrl+C, Ctrl+Break, the console closed, the user logging off, the
// system shutting down), so that a save leaves nothing behind: the counterpart of
// signal_cleanup on POSIX. Windows only, like that writer.
//
// The system calls the handler on a thread of its own, at any moment of a save. The writer
// creates and renames an armed file only while it holds a Hold and the file is still armed;
// the handler removes the armed files under the same lock. So the handler never meets a file
// halfway renamed (it waits for the rename to end), and a file it removed is never created
// or renamed again (the writer sees it is no longer armed and gives up).
//
// The handler is installed once, by the first arm, and hands every event on to the handlers
// installed before it; the system's own ends the process. A handler the program installs
// later is called first: when it handles the event and the program goes on, the save
// finishes as usual. When one installed earlier does, the save is stopped: it fails, and
// leaves the file as it was and nothing beside it. When the program ignores Ctrl+C, the
// system calls no handler for it.

#include <string>

#include <windows.h>

namespace quorvel {

class ConsoleCleanup {
  public:
    // While a Hold lives, the handler waits. A thread may hold more than one.
    class Hold {
      public:
        Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold();
    };

    ConsoleCleanup() = default;
    ConsoleCleanup(const ConsoleCleanup&) = delete;
    ConsoleCleanup& operator=(const ConsoleCleanup&) = delete;
    ~ConsoleCleanup() { disarm(); }

    // Arms for the file `name`, which need not exist yet; a new name takes the old one's place.
    // The writer opens the file with FILE_SHARE_DELETE, so the handler can remove it while it
    // is open: it goes when its last handle is closed, at the latest when the process ends.
    void arm(const std::wstring& name);
    // False when nothing is armed: disarmed, or the handler removed the file.
    bool armed() const;
    // False when nothing was armed any more: the handler had removed the file.
    bool disarm();

    // The console control handler: removes every armed file (all saves in progress) and
    // returns FALSE, so that the event goes on to the next handler.
    static BOOL WINAPI handler(DWORD event);

  private:
    std::wstring name_; // empty: not armed
};

} // namespace quorvel
