#pragma once

// A named temporary file of the POSIX writer (file_write.cpp) that is removed when SIGINT,
// SIGTERM or SIGHUP ends the process, so that a save leaves nothing behind. POSIX only, like
// the writer.

#include <csignal>
#include <cstddef>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>

namespace quorvel {

// While armed, a signal that would end the process (its action is the default) first removes
// the named file. A signal the program handles or ignores does not end it: the save finishes
// and cleans up as usual. One save at a time arms it.
class SignalCleanup {
  public:
    SignalCleanup() = default;
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;
    ~SignalCleanup() { disarm(); }

    // Arms for the file `name`, disarming first; a name longer than a path may be stays
    // unarmed.
    void arm(const std::string& name);
    void disarm();

  private:
    static constexpr int cleanup_signals[] = {SIGINT, SIGTERM, SIGHUP};

    static std::mutex& mutex();
    std::optional<std::unique_lock<std::mutex>> lock_;
    bool installed_[std::size(cleanup_signals)] = {};
};

} // namespace quorvel
