#include "exchange/console_cleanup.h"

#include <vector>

namespace quorvel {

namespace {

struct Saves {
    CRITICAL_SECTION lock;
    std::vector<ConsoleCleanup*> armed; // each with its file's name
    Saves() { ::InitializeCriticalSection(&lock); }
};

// Never destroyed: the handler may run while the process ends.
Saves& saves() {
    static Saves& saves = *new Saves;
    return saves;
}

// Once, at the first arm, which is never made under a Hold: the system's thread calls handlers
// under a lock of its own, which SetConsoleCtrlHandler takes too.
void install_handler() {
    [[maybe_unused]] static const BOOL installed =
        ::SetConsoleCtrlHandler(ConsoleCleanup::handler, TRUE);
}

} // namespace

ConsoleCleanup::Hold::Hold() {
    ::EnterCriticalSection(&saves().lock);
}

ConsoleCleanup::Hold::~Hold() {
    ::LeaveCriticalSection(&saves().lock);
}

void ConsoleCleanup::arm(const std::wstring& name) {
    install_handler();
    const Hold held;
    if (name_.empty()) {
        saves().armed.push_back(this);
    }
    name_ = name;
}

bool ConsoleCleanup::armed() const {
    const Hold held;
    return !name_.empty();
}

bool ConsoleCleanup::disarm() {
    const Hold held;
    if (name_.empty()) {
        return false;
    }
    name_.clear();
    std::erase(saves().armed, this);
    return true;
}

BOOL WINAPI ConsoleCleanup::handler(DWORD) {
    const Hold held;
    for (ConsoleCleanup* save : saves().armed) {
        ::DeleteFileW(save->name_.c_str());
        save->name_.clear();
    }
    saves().armed.clear();
    return FALSE;
}

} // namespace quorvel
