#include "win32/main_window.h"

#include "ui/window_tables.h"
#include "win32/text.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace quorvel::win32 {

namespace {

// Posted to the main window to delete the windows discarded while handling a message, to
// open the file named on the command line, and when the speech engine reported.
constexpr UINT delete_discarded = WM_APP;
constexpr UINT open_file = WM_APP + 1;
constexpr UINT speech_reported = WM_APP + 2;

static_assert(menu_list_id(std::size(ui::form1_menus)) <= 0x10000);

ACCEL accelerator(const ui::Shortcut& key, int id) {
    const auto flags =
        static_cast<BYTE>(FVIRTKEY | (key.ctrl ? FCONTROL : 0) | (key.shift ? FSHIFT : 0));
    const auto virtual_key =
        static_cast<WORD>(key.letter != 0 ? key.letter : VK_F1 + key.function_key - 1);
    return {flags, virtual_key, static_cast<WORD>(id)};
}

bool key_held(int virtual_key) {
    return (::GetKeyState(virtual_key) & 0x8000) != 0;
}

// The paths of the files dropped, one per item, and the drop's memory given back. The shell's
// library is loaded at the first drop, as the common dialogs' at the first dialog: loaded with
// the program, it would slow its start.
std::vector<std::string> dropped_paths(HDROP drop) {
    using QueryFile = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
    using Finish = void(WINAPI*)(HDROP);
    static const HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    const auto query = reinterpret_cast<QueryFile>(
        reinterpret_cast<void (*)()>(::GetProcAddress(shell, "DragQueryFileW")));
    const auto finish = reinterpret_cast<Finish>(
        reinterpret_cast<void (*)()>(::GetProcAddress(shell, "DragFinish")));
    std::vector<std::string> paths;
    if (query == nullptr || finish == nullptr) {
        return paths;
    }
    const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(query(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(query(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(utf8(path));
    }
    finish(drop);
    return paths;
}

} // namespace

MainWindow::MainWindow(ui::Form1& form, ui::Host& host)
    : FormWindow(host, [this] { after_event(); }), form_(form) {
    build<ui::Form1>(form_, ui::form1_window, nullptr, build_menus_and_keys(),
                     [](void (ui::Form1::*)()) {});
    // Files dropped on the window arrive as WM_DROPFILES.
    ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                        ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    sync();
}

MainWindow::~MainWindow() {
    ::DestroyAcceleratorTable(keys_);
}

HMENU MainWindow::build_menus_and_keys() {
    const HMENU bar = ::CreateMenu();
    std::map<std::string, HMENU> menus{{"", bar}};
    std::vector<ACCEL> keys;
    for (std::size_t i = 0; i < std::size(ui::form1_menus); ++i) {
        const auto& row = ui::form1_menus[i];
        const HMENU parent = menus.at(row.parent);
        const std::wstring caption = menu_caption(row.caption, row.mnemonic, row.shortcut);
        if (row.shortcut) {
            keys.push_back(accelerator(row.shortcut, menu_id(i)));
        }
        if (row.separator()) {
            ::AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
        } else if (row.entries != nullptr) {
            menu_lists_.push_back(
                {&bindings_.bind(form_.*row.entries, parent, ::GetMenuItemCount(parent),
                                 menu_list_id(i), menu_list_size),
                 row.choose});
        } else if (row.menu()) {
            const HMENU menu = ::CreatePopupMenu();
            ::AppendMenuW(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption.c_str());
            menus[row.name] = menu;
        } else {
            ::AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(menu_id(i)), caption.c_str());
        }
        if (row.state != nullptr) {
            bindings_.bind(form_.*row.state, parent, menu_id(i), row.mnemonic, row.shortcut);
        }
    }
    keys_ = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    return bar;
}

bool MainWindow::translate(MSG& message) {
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr) {
        return false;
    }
    if (root == hwnd() && ::TranslateAcceleratorW(hwnd(), keys_, &message)) {
        return true;
    }
    return ::IsDialogMessageW(root, &message) != FALSE;
}

void MainWindow::open_when_shown(const std::string& path) {
    file_to_open_ = path;
    ::PostMessageW(hwnd(), open_file, 0, 0);
}

bool MainWindow::list_gesture(HWND list, void (ui::Form1::*handler)()) {
    auto* binding = dynamic_cast<ListBinding*>(bindings_.of(list));
    if (binding == nullptr) {
        return false;
    }
    binding->take_selection();
    run(handler);
    return true;
}

void MainWindow::run(void (ui::Form1::*handler)()) {
    (form_.*handler)();
    after_event();
}

void MainWindow::run(void (ui::Form1::*choose)(int), int i) {
    (form_.*choose)(i);
    after_event();
}

bool MainWindow::choose_entry(int id) {
    for (const MenuList& list : menu_lists_) {
        if (const std::optional<int> i = list.binding->entry(id)) {
            run(list.choose, *i);
            return true;
        }
    }
    return false;
}

void MainWindow::dropped(HDROP drop) {
    form_.drop(dropped_paths(drop));
    after_event();
}

speech::Speech::Reporter MainWindow::reporter() {
    return [this, window = hwnd()](const speech::SpeechReport& report) {
        {
            const std::lock_guard lock(reports_mutex_);
            reports_.push_back(report);
        }
        ::PostMessageW(window, speech_reported, 0, 0);
    };
}

void MainWindow::take_speech_reports() {
    // One at a time: the program may show a message box, whose wait takes the next ones.
    for (;;) {
        std::unique_lock lock(reports_mutex_);
        if (reports_.empty()) {
            return;
        }
        const speech::SpeechReport report = std::move(reports_.front());
        reports_.pop_front();
        lock.unlock();
        form_.speech_report(report);
        after_event();
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND: {
        const auto row = static_cast<std::size_t>(LOWORD(w) - first_menu_id);
        if (l == 0 && LOWORD(w) >= first_menu_id && row < std::size(ui::form1_menus)) {
            if (ui::form1_menus[row].operation != nullptr) {
                run(ui::form1_menus[row].operation);
            }
            return 0;
        }
        if (l == 0 && choose_entry(LOWORD(w))) {
            return 0;
        }
        // Return or keypad Enter reaches the main window, which has no default button, as
        // IDOK (IsDialogMessageW); on the phrase list it does what the double-click does.
        if (LOWORD(w) == IDOK && HIWORD(w) == 0 && !key_held(VK_CONTROL) && !key_held(VK_SHIFT)) {
            list_gesture(::GetFocus(), ui::return_on_list);
            return 0;
        }
        if (HIWORD(w) == LBN_DBLCLK) {
            list_gesture(reinterpret_cast<HWND>(l), &ui::Form1::List1_DblClick);
            return 0;
        }
        break;
    }
    case WM_CLOSE:
        // The close box ends the program as Exit does, without a question.
        if (!form_.closed()) {
            form_.Exit_Click();
        }
        after_event();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    case delete_discarded:
        discarded_.clear();
        return 0;
    case open_file:
        form_.open_chosen(file_to_open_);
        after_event();
        return 0;
    case speech_reported:
        take_speech_reports();
        return 0;
    case WM_DROPFILES:
        dropped(reinterpret_cast<HDROP>(w));
        return 0;
    default:
        break;
    }
    return FormWindow::handle(message, w, l);
}

template <class Window, class Model>
void MainWindow::sync_window(std::unique_ptr<Window>& window, ui::WindowFollower& follower,
                             Model* model, bool shown) {
    const ui::WindowFollower::Step step = follower.follow(model, shown);
    if (step.discard && window) {
        window->detach();
        discarded_.push_back(std::move(window));
        ::PostMessageW(hwnd(), delete_discarded, 0, 0);
    }
    if (step.create) {
        window = std::make_unique<Window>(form_, *model, after_event_, hwnd());
    }
    if (window) {
        window->sync(step.bring_forward);
    }
}

void MainWindow::sync() {
    bindings_.sync();
    ui::Form2* form2 = form_.form2();
    sync_window(form2_window_, form2_follower_, form2, form2 != nullptr && form2->shown());
    sync_window(find_window_, find_follower_, form_.find_form(), true);
    sync_window(about_window_, about_follower_, form_.about_form(), true);
}

void MainWindow::after_event() {
    sync();
    if (form_.closed() && hwnd() != nullptr) {
        ::DestroyWindow(hwnd());
    }
}

} // namespace quorvel::win32
