#include "exchange/signal_cleanup.h"

#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace quorvel {

namespace {

char doomed_name[PATH_MAX];
volatile std::sig_atomic_t doomed = 0;

extern "C" void remove_doomed_and_end(int signal) {
    if (doomed != 0) {
        ::unlink(doomed_name);
    }
    // The handler was reset to the default on entry, and the signal is not blocked.
    ::raise(signal);
}

} // namespace

void SignalCleanup::arm(const std::string& name) {
    disarm();
    if (name.size() >= sizeof doomed_name) {
        return;
    }
    lock_.emplace(mutex());
    std::memcpy(doomed_name, name.c_str(), name.size() + 1);
    doomed = 1;
    for (std::size_t i = 0; i < std::size(cleanup_signals); ++i) {
        struct sigaction current {};
        installed_[i] = false;
        if (::sigaction(cleanup_signals[i], nullptr, &current) == 0 &&
            !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL) {
            struct sigaction action {};
            action.sa_handler = remove_doomed_and_end;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND | SA_NODEFER;
            installed_[i] = ::sigaction(cleanup_signals[i], &action, nullptr) == 0;
        }
    }
}

void SignalCleanup::disarm() {
    if (!lock_) {
        return;
    }
    for (std::size_t i = 0; i < std::size(cleanup_signals); ++i) {
        if (installed_[i]) {
            ::signal(cleanup_signals[i], SIG_DFL);
        }
    }
    doomed = 0;
    lock_.reset();
}

std::mutex& SignalCleanup::mutex() {
    static std::mutex m;
    return m;
}

} // namespace quorvel
