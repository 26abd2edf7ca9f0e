#include "win32/win32_host.h"

#include "ui/forms.h"
#include "win32/text.h"

#include <commdlg.h>

#include <vector>

namespace quorvel::win32 {

namespace {

// While a box or dialog waits for the user, no window of the program takes input: Windows
// disables the owner, this the program's other windows (Find, Modify, About), so that no
// handler runs inside another one.
class OtherWindowsDisabled {
  public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner) {
        ::EnumThreadWindows(::GetCurrentThreadId(), disable, reinterpret_cast<LPARAM>(this));
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    ~OtherWindowsDisabled() {
        for (const HWND window : disabled_) {
            ::EnableWindow(window, TRUE);
        }
    }

  private:
    static BOOL CALLBACK disable(HWND window, LPARAM self_pointer) {
        auto* self = reinterpret_cast<OtherWindowsDisabled*>(self_pointer);
        if (window != self->owner_ && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            self->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

// The longest path Windows takes, with its terminating NUL.
constexpr std::size_t longest_path = 32768;

// GetOpenFileNameW or GetSaveFileNameW. The common dialogs' library is loaded at the first
// dialog: loaded with the program, with the libraries it brings along, it made the start-up
// a third slower.
using FileDialog = BOOL(WINAPI*)(OPENFILENAMEW*);
FileDialog file_dialog_call(bool save) {
    static const HMODULE library = ::LoadLibraryW(L"comdlg32.dll");
    const FARPROC call = ::GetProcAddress(library, save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    return reinterpret_cast<FileDialog>(reinterpret_cast<void (*)()>(call));
}

} // namespace

void Win32Host::attach(HWND owner, std::function<void()> sync) {
    owner_ = owner;
    sync_ = std::move(sync);
}

void Win32Host::message_box(const std::string& text) {
    sync_();
    const OtherWindowsDisabled others(owner_);
    ::MessageBoxW(owner_, shown(text).c_str(), shown(ui::application_name).c_str(), MB_OK);
}

std::string Win32Host::open_file_dialog(const ui::FileDialogRequest& request) {
    return file_dialog(request, false);
}

std::string Win32Host::save_file_dialog(const ui::FileDialogRequest& request) {
    return file_dialog(request, true);
}

std::string Win32Host::file_dialog(const ui::FileDialogRequest& request, bool save) {
    sync_();
    // One filter pair, each text ended by a NUL, the list by a second one.
    std::wstring filter = shown(request.filter_description);
    filter += L'\0';
    filter += shown(request.filter_pattern);
    filter += L'\0';
    const std::wstring title = shown(request.title);
    const std::wstring folder = wide(request.initial_dir);
    std::vector<wchar_t> path(longest_path, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.hInstance = ::GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    // The program's flags as they are; without OFN_NOCHANGEDIR a confirmed choice makes the
    // file's folder the current one, where the next dialog starts.
    dialog.Flags = request.flags;

    const FileDialog call = file_dialog_call(save);
    const OtherWindowsDisabled others(owner_);
    if (call == nullptr || !call(&dialog)) {
        return {};
    }
    // The chosen path without leading and trailing blanks, as the program takes it.
    std::wstring chosen(path.data());
    const auto first = chosen.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    chosen = chosen.substr(first, chosen.find_last_not_of(L' ') - first + 1);
    return utf8(chosen);
}

} // namespace quorvel::win32
