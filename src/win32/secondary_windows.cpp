#include "win32/secondary_windows.h"

#include "ui/window_tables.h"

namespace quorvel::win32 {

void SecondaryWindow::sync(bool bring_forward) {
    if (!attached()) {
        return;
    }
    bindings_.sync();
    if (bring_forward) {
        FormWindow::bring_forward();
    }
}

void SecondaryWindow::detach() {
    model_ = nullptr;
    ::DestroyWindow(hwnd());
}

LRESULT SecondaryWindow::handle(UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        close_box_();
        after_event_();
        return 0;
    }
    return FormWindow::handle(message, w, l);
}

Form2Window::Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                         HWND owner_window)
    : SecondaryWindow(owner, form, std::move(after_event)) {
    build(form, ui::form2_window, owner_window);
}

FindWindow::FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
                       HWND owner_window)
    : SecondaryWindow(owner, form, std::move(after_event)) {
    build(form, ui::find_window, owner_window);
}

AboutWindow::AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                         HWND owner_window)
    : SecondaryWindow(owner, form, std::move(after_event)) {
    build(form, ui::about_window, owner_window);
}

} // namespace quorvel::win32
