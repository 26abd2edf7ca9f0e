#include "win32/form_window.h"

#include "win32/text.h"

#include <cmath>

namespace quorvel::win32 {

namespace {

DWORD frame_style(ui::FrameKind frame) {
    return frame == ui::FrameKind::fixed_dialog ? WS_POPUP | WS_CAPTION | WS_SYSMENU
                                                : WS_OVERLAPPEDWINDOW;
}

DWORD frame_ex_style(ui::FrameKind frame) {
    return frame == ui::FrameKind::fixed_dialog ? WS_EX_DLGMODALFRAME : 0;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD ex_style;
};

ControlClass control_class(const ui::ControlFacts& row, ui::Kind kind) {
    switch (kind) {
    case ui::Kind::frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case ui::Kind::label: {
        // Labels show their text as it is: never a mnemonic.
        const DWORD align = row.has(ui::centred_text) ? SS_CENTER
                            : row.has(ui::wraps)      ? SS_LEFT
                                                      : SS_LEFTNOWORDWRAP;
        return {L"STATIC", align | SS_NOPREFIX, 0};
    }
    case ui::Kind::text_box:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ui::Kind::list_box:
        return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case ui::Kind::scroll_bar:
        return {L"SCROLLBAR", SBS_HORZ | WS_TABSTOP, 0};
    case ui::Kind::button:
        break;
    }
    return {L"BUTTON",
            static_cast<DWORD>(row.has(ui::default_button) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                WS_TABSTOP,
            0};
}

// A button that does not answer Enter tells the dialog keys it is no push button: else a
// push button with the keyboard becomes the default one, and Return presses it. The button's
// own procedure, which does the rest, is kept in its user data.
LRESULT CALLBACK no_enter_button(HWND button, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_GETDLGCODE) {
        return DLGC_BUTTON;
    }
    const auto own = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button, GWLP_USERDATA));
    return ::CallWindowProcW(own, button, message, w, l);
}

// Shown and enabled as the row has the control at start, as the program's control then is.
DWORD start_state(const ui::ControlFacts& row) {
    return (row.has(ui::hidden) ? 0 : WS_VISIBLE) | (row.has(ui::disabled) ? WS_DISABLED : 0);
}

HFONT make_font(double points, UINT dpi) {
    const int pixels = static_cast<int>(std::lround(points * dpi / 72.0));
    return ::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, wide(ui::font_family).c_str());
}

// The window's place and size for its client area at `dpi`: centred over its owner or on the
// monitor's work area, or (`moves` false) only sized, where the system put it.
struct Frame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool moves = false;
};

Frame frame_for(const ui::Size& client, ui::Placement placement, HWND owner, HMONITOR monitor,
                DWORD style, DWORD ex_style, bool menu, UINT dpi) {
    const ui::Size size = ui::scaled(client, ui::scale_for_dpi(static_cast<int>(dpi)));
    RECT frame{0, 0, size.width, size.height};
    ::AdjustWindowRectExForDpi(&frame, style, menu, ex_style, dpi);
    Frame f;
    f.width = frame.right - frame.left;
    f.height = frame.bottom - frame.top;
    f.moves = placement == ui::Placement::centred;
    if (!f.moves) {
        return f;
    }
    RECT around{};
    if (owner != nullptr) {
        ::GetWindowRect(owner, &around);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(monitor, &info);
        around = info.rcWork;
    }
    f.x = (around.left + around.right - f.width) / 2;
    f.y = (around.top + around.bottom - f.height) / 2;
    return f;
}

} // namespace

FormWindow::~FormWindow() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
    ::DeleteObject(font_);
    ::DeleteObject(title_font_);
}

void FormWindow::create(const char* name, const char* caption, ui::FrameKind frame, HWND owner,
                        HMENU menu, const ui::Size& client, ui::Placement placement) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const std::wstring class_name = wide(name);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    // The program's icon (packaging/windows/quorvel.rc.in), at the sizes Windows shows.
    window_class.hIcon = ::LoadIconW(instance, L"IDI_ICON1");
    window_class.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name.c_str();
    ::RegisterClassExW(&window_class); // once per class; later calls fail harmlessly
    // Made where it goes and as large as it is, for the DPI it most likely gets, its owner's or
    // the main screen's: made elsewhere and then placed, it took longer to show.
    const UINT dpi = owner != nullptr ? ::GetDpiForWindow(owner) : ::GetDpiForSystem();
    const HMONITOR monitor = owner != nullptr ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                              : ::MonitorFromPoint({}, MONITOR_DEFAULTTOPRIMARY);
    const Frame f = frame_for(client, placement, owner, monitor, frame_style(frame),
                              frame_ex_style(frame), menu != nullptr, dpi);
    ::CreateWindowExW(frame_ex_style(frame), class_name.c_str(), shown(caption).c_str(),
                      frame_style(frame), f.moves ? f.x : CW_USEDEFAULT, f.y, f.width, f.height,
                      owner, menu, instance, this);
    dpi_ = ::GetDpiForWindow(hwnd_);
    if (dpi_ != dpi) {
        place(client, placement, owner);
    }
    font_ = make_font(ui::drawn_for_points, dpi_);
    title_font_ = make_font(ui::title_points, dpi_);
}

HWND FormWindow::add_control(const ui::ControlFacts& row, ui::Kind kind, const ui::Rect& drawn,
                             int id, char mnemonic) {
    const ControlClass c = control_class(row, kind);
    const bool captioned = kind == ui::Kind::frame || kind == ui::Kind::button;
    const ui::Rect r = ui::scaled(drawn, ui::scale_for_dpi(static_cast<int>(dpi_)));
    const HWND control = ::CreateWindowExW(
        c.ex_style, c.name,
        captioned ? shown(ui::mnemonic_caption(row.caption, mnemonic)).c_str() : L"",
        WS_CHILD | start_state(row) | c.style, r.left, r.top, r.width, r.height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(row.has(ui::title_font) ? title_font_ : font_), FALSE);
    if (kind == ui::Kind::button && row.has(ui::no_enter)) {
        ::SetWindowLongPtrW(control, GWLP_USERDATA,
                            ::SetWindowLongPtrW(control, GWLP_WNDPROC,
                                                reinterpret_cast<LONG_PTR>(no_enter_button)));
    }
    controls_.push_back({&row, drawn, control, {}});
    return control;
}

void FormWindow::place(const ui::Size& client, ui::Placement placement, HWND owner) {
    const Frame f =
        frame_for(client, placement, owner, ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY),
                  static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)),
                  static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)),
                  ::GetMenu(hwnd_) != nullptr, dpi_);
    ::SetWindowPos(hwnd_, nullptr, f.x, f.y, f.width, f.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | (f.moves ? 0 : SWP_NOMOVE));
}

void FormWindow::rescale(UINT dpi) {
    dpi_ = dpi;
    const HFONT old_font = font_;
    const HFONT old_title_font = title_font_;
    font_ = make_font(ui::drawn_for_points, dpi_);
    title_font_ = make_font(ui::title_points, dpi_);
    const double factor = ui::scale_for_dpi(static_cast<int>(dpi_));
    for (const Control& c : controls_) {
        const ui::Rect r = ui::scaled(c.drawn, factor);
        ::SetWindowPos(c.window, nullptr, r.left, r.top, r.width, r.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        const HFONT font = c.row->has(ui::title_font) ? title_font_ : font_;
        ::SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::DeleteObject(old_font);
    ::DeleteObject(old_title_font);
}

void FormWindow::bring_forward() {
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd_);
}

int FormWindow::enter_button() const {
    const HWND focus = ::GetFocus();
    for (const Control& c : controls_) {
        if (c.click && c.window == focus && !c.row->has(ui::no_enter)) {
            return ::GetDlgCtrlID(c.window);
        }
    }
    for (const Control& c : controls_) {
        if (c.click && c.row->has(ui::default_button)) {
            return ::GetDlgCtrlID(c.window);
        }
    }
    return 0;
}

void FormWindow::command(int id, int code, HWND source) {
    const auto index = static_cast<std::size_t>(id - first_control_id);
    if (id < first_control_id || index >= controls_.size() || controls_[index].window != source) {
        return; // IDOK and IDCANCEL of the dialog keys among them
    }
    // A button may be bound too, for its enabled state: its click goes to its handler.
    if (controls_[index].click) {
        if (code == BN_CLICKED) {
            controls_[index].click();
            after_event_();
        }
    } else if (ControlBinding* binding = bindings_.of(source)) {
        binding->notified(code);
    }
}

LRESULT FormWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(w) == IDCANCEL && !ui::escape_closes_a_window) {
            return 0; // Escape
        }
        command(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
        return 0;
    case WM_HSCROLL:
        if (ControlBinding* binding = bindings_.of(reinterpret_cast<HWND>(l))) {
            binding->scrolled(LOWORD(w), static_cast<short>(HIWORD(w)));
            after_event_();
        }
        return 0;
    case DM_GETDEFID:
        if (const int id = enter_button()) {
            return MAKELRESULT(id, DC_HASDEFID);
        }
        return 0;
    case WM_ACTIVATE:
        // The control that had the keyboard gets it back, the first in tab order at first.
        if (LOWORD(w) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            last_focus_ = ::IsChild(hwnd_, focus) ? focus : nullptr;
        } else {
            ::SetFocus(last_focus_ != nullptr ? last_focus_
                                              : ::GetNextDlgTabItem(hwnd_, nullptr, FALSE));
        }
        return 0;
    case WM_DPICHANGED: {
        rescale(HIWORD(w));
        const auto* suggested = reinterpret_cast<const RECT*>(l);
        ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        return ::DefWindowProcW(hwnd_, message, w, l);
    }
}

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, w, l);
    }
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return ::DefWindowProcW(window, message, w, l);
    }
    LRESULT result = 0;
    ui::run_gesture(
        self->host_,
        [&] {
            result = self->handle(message, w, l);
            return true;
        },
        false);
    return result;
}

} // namespace quorvel::win32
