#pragma once

// The windows besides the main one: Modify TTS Expression (Form2), Find and About, each built
// from its table and owned by the main window. Each shows one window of the program layer
// while that window exists; when the program discards it, the face detaches it and never
// touches the program's window again.

#include "ui/forms.h"
#include "win32/form_window.h"

#include <functional>

namespace quorvel::win32 {

class SecondaryWindow : public FormWindow {
  public:
    bool attached() const { return model_ != nullptr; }
    // Shows the program's state; `bring_forward` also shows the window and makes it active.
    void sync(bool bring_forward);
    // The program discarded the window: it goes from the screen, and its buttons and close
    // box do nothing more.
    void detach();

  protected:
    SecondaryWindow(ui::Form1& owner, ui::Window& model, std::function<void()> after_event)
        : FormWindow(owner.host(), std::move(after_event)), owner_(owner), model_(&model) {}

    template <class Form>
    void build(Form& form, const ui::WindowTable<Form>& table, HWND owner_window) {
        FormWindow::build<Form>(form, table, owner_window, nullptr,
                                [this, &form](void (Form::*handler)()) { click(form, handler); });
        close_box_ = [this, &form] { click(form, &Form::close_box); };
    }

  private:
    // Clicks a button of the program's window through its owner, which discards the window
    // when the handler closed it; nothing once detached.
    template <class W> void click(W& model, void (W::*handler)()) {
        if (attached()) {
            owner_.click(model, handler);
        }
    }
    LRESULT handle(UINT message, WPARAM w, LPARAM l) override;

    ui::Form1& owner_;
    ui::Window* model_;
    std::function<void()> close_box_;
};

class Form2Window final : public SecondaryWindow {
  public:
    Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                HWND owner_window);
};

class FindWindow final : public SecondaryWindow {
  public:
    FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
               HWND owner_window);
};

class AboutWindow final : public SecondaryWindow {
  public:
    AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                HWND owner_window);
};

} // namespace quorvel::win32
