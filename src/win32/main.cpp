// quorvel.exe: the editor's windows on Windows. Everything the program does lives in the
// program layer; this reads the command line, binds the main window to Form1, starts the
// speech engine once the window is shown, opens the file named on the command line, and runs
// until the window closes.

#include "speech/speech.h"
#include "ui/forms.h"
#include "ui/start_up.h"
#include "win32/main_window.h"
#include "win32/text.h"
#include "win32/win32_host.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The arguments without the program's name, as the C library split the command line.
std::vector<std::string> arguments() {
    std::vector<std::string> utf8;
    for (int i = 1; i < __argc; ++i) {
        utf8.push_back(quorvel::win32::utf8(__wargv[i]));
    }
    return utf8;
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*arguments*/, int show) {
    const quorvel::ui::StartUp start = quorvel::ui::read_start_arguments(arguments());
    if (const auto status = quorvel::ui::end_without_window(start)) {
        return *status;
    }
    // The controls are those of common controls 6, as the manifest asks: Windows loads that
    // library when the first of them is made.
    quorvel::win32::Win32Host host;
    const auto speech = quorvel::speech::make_system_speech();
    quorvel::ui::Form1 form(host, *speech);
    quorvel::win32::MainWindow window(form, host);
    if (window.hwnd() == nullptr) {
        return 1;
    }
    host.attach(window.hwnd(), [&window] { window.sync(); });
    ::ShowWindow(window.hwnd(), show);
    // On a thread of its own, started once the window is up: the engine's libraries load
    // while the window draws, not before it shows.
    speech->start(window.reporter());
    if (!start.voice.empty()) {
        window.open_when_shown(start.voice);
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.translate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    // No report reaches the window after this, and an engine that hangs does not hold up the
    // end.
    speech->close();
    return 0;
}
