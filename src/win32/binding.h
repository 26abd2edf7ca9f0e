#pragma once

// Binds the controls of the program layer to their Win32 controls. A binding shows a control's
// state whenever the control's revision moved since the window last showed it; what it sets
// while showing never reads as user input. User input goes the other way: into the control,
// and the binding marks that state as shown.

#include "ui/controls.h"
#include "ui/face_sync.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::win32 {

class Binding {
  public:
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;
    virtual ~Binding() = default;

    HWND window() const { return window_; }
    // Shows the control's state when it changed since the window last showed it.
    void sync();
    // A notification of the Win32 control (WM_COMMAND's code), and a scroll request
    // (WM_HSCROLL's request and thumb position).
    virtual void notified(int /*code*/) {}
    virtual void scrolled(int /*request*/, int /*position*/) {}

  protected:
    Binding(const ui::Control& control, HWND window) : control_(control), window_(window) {}
    void mark_shown() { shown_.mark_shown(control_); }
    virtual void show() = 0;
    // Visibility and enabled state, which every control has.
    void show_control_state() const;

  private:
    const ui::Control& control_;
    HWND window_;
    ui::ShownRevision shown_;
};

class LabelBinding final : public Binding {
  public:
    LabelBinding(const ui::Label& label, HWND window) : Binding(label, window), label_(label) {}

  private:
    void show() override;
    const ui::Label& label_;
};

// A button whose enabled state the program changes.
class ButtonBinding final : public Binding {
  public:
    ButtonBinding(const ui::Button& button, HWND window) : Binding(button, window) {}

  private:
    void show() override { show_control_state(); }
};

// What the user types reaches the control when the box takes it (TextBox::takes, the program's
// typing limit); an edit it does not take is undone at once. A character the code page cannot
// hold is reported to the control, so the program can refuse the change it feeds.
class TextBoxBinding final : public Binding {
  public:
    TextBoxBinding(ui::TextBox& box, HWND window) : Binding(box, window), box_(box) {}
    void notified(int code) override;

  private:
    void show() override;
    void set_text(const std::wstring& text);
    ui::TextBox& box_;
    std::wstring taken_; // what the box showed when it last agreed with the control
    bool showing_ = false;
};

// Arrows move the bar by the rule's arrow step, the track and Page Up and Down by its page
// step; a dragged thumb reports once, where it is released. A value the user sets runs the
// program's change handler (nested in set_value).
class ScrollBarBinding final : public Binding {
  public:
    ScrollBarBinding(ui::ScrollBar& bar, HWND window) : Binding(bar, window), bar_(bar) {}
    void scrolled(int request, int position) override;

  private:
    void show() override;
    std::optional<int> requested(int request, int position) const;
    ui::ScrollBar& bar_;
};

// The user's selection reaches the list without a handler. A full refill adds every item in
// one go; when only texts changed, only those items change (ui::list_update).
class ListBinding final : public Binding {
  public:
    ListBinding(ui::ListBox& list, HWND window) : Binding(list, window), list_(list) {}
    void notified(int code) override;
    // The selection as the user left it, taken before a handler reads it.
    void take_selection();

  private:
    void show() override;
    void show_items();
    ui::ListBox& list_;
    std::vector<std::string> shown_items_;
    ui::FocusRequests focus_requests_;
};

class Bindings {
  public:
    void bind(const ui::Label& label, HWND window);
    void bind(const ui::Button& button, HWND window);
    void bind(ui::TextBox& box, HWND window);
    void bind(ui::ScrollBar& bar, HWND window);
    ListBinding& bind(ui::ListBox& list, HWND window);
    // The binding of a Win32 control; none for a frame or a button.
    Binding* of(HWND window) const;
    void sync();

  private:
    std::vector<std::unique_ptr<Binding>> bindings_;
};

} // namespace quorvel::win32
