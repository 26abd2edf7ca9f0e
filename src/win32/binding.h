#pragma once

// Binds the controls of the program layer to their Win32 controls and menu entries. A binding
// shows a control's state whenever the control's revision moved since the window last showed
// it; what it sets while showing never reads as user input. User input goes the other way: into
// the control, and the binding marks that state as shown.

#include "ui/controls.h"
#include "ui/face_sync.h"
#include "ui/window_rows.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::win32 {

// A menu entry's caption: its mnemonic marked, and the shortcut key after a tab ("&Speak\tF5").
std::wstring menu_caption(const char* caption, char mnemonic, const ui::Shortcut& shortcut);

using ui::Binding;

// A binding to a Win32 control, a child window of one of the program's windows.
class ControlBinding : public Binding {
  public:
    HWND window() const { return window_; }
    // A notification of the Win32 control (WM_COMMAND's code), and a scroll request
    // (WM_HSCROLL's request and thumb position).
    virtual void notified(int /*code*/) {}
    virtual void scrolled(int /*request*/, int /*position*/) {}

  protected:
    ControlBinding(const ui::Control& control, HWND window)
        : Binding(control), control_(control), window_(window) {}
    // Visibility and enabled state, which every control has.
    void show_control_state() const;

  private:
    const ui::Control& control_;
    HWND window_;
};

class LabelBinding final : public ControlBinding {
  public:
    LabelBinding(const ui::Label& label, HWND window)
        : ControlBinding(label, window), label_(label) {}

  private:
    void show() override;
    const ui::Label& label_;
};

// A button whose enabled state the program changes.
class ButtonBinding final : public ControlBinding {
  public:
    ButtonBinding(const ui::Button& button, HWND window) : ControlBinding(button, window) {}

  private:
    void show() override { show_control_state(); }
};

// What the user types reaches the control when the box takes it (TextBox::takes, the program's
// typing limit); an edit it does not take is undone at once. A character the code page cannot
// hold is reported to the control, so the program can refuse the change it feeds.
class TextBoxBinding final : public ControlBinding {
  public:
    TextBoxBinding(ui::TextBox& box, HWND window) : ControlBinding(box, window), box_(box) {}
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
class ScrollBarBinding final : public ControlBinding {
  public:
    ScrollBarBinding(ui::ScrollBar& bar, HWND window) : ControlBinding(bar, window), bar_(bar) {}
    void scrolled(int request, int position) override;

  private:
    void show() override;
    std::optional<int> requested(int request, int position) const;
    ui::ScrollBar& bar_;
};

// The user's selection reaches the list without a handler. A full refill adds every item in
// one go; when only texts changed, only those items change (ui::list_update).
class ListBinding final : public ControlBinding {
  public:
    ListBinding(ui::ListBox& list, HWND window) : ControlBinding(list, window), list_(list) {}
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

// A menu entry's enabled state, check mark and caption; the caption keeps the entry's mnemonic
// and its shortcut key.
class MenuEntryBinding final : public Binding {
  public:
    MenuEntryBinding(const ui::MenuEntry& entry, HMENU menu, int id, char mnemonic,
                     const ui::Shortcut& shortcut)
        : Binding(entry), entry_(entry), menu_(menu), id_(id), mnemonic_(mnemonic),
          shortcut_(shortcut) {}

  private:
    void show() override;
    const ui::MenuEntry& entry_;
    HMENU menu_;
    int id_;
    char mnemonic_;
    ui::Shortcut shortcut_;
};

// The program's entries of a menu, from the place `position` on, the i-th with the id
// `first_id` + i (at most `most` of them).
class MenuListBinding final : public Binding {
  public:
    MenuListBinding(const ui::MenuList& list, HMENU menu, int position, int first_id, int most)
        : Binding(list), list_(list), menu_(menu), position_(position), first_id_(first_id),
          most_(most) {}
    // The entry a menu id stands for; none when it is not one of these.
    std::optional<int> entry(int id) const;

  private:
    void show() override;
    const ui::MenuList& list_;
    HMENU menu_;
    int position_;
    int first_id_;
    int most_;
    std::vector<std::string> shown_items_;
};

class Bindings {
  public:
    void bind(const ui::Label& label, HWND window);
    void bind(const ui::Button& button, HWND window);
    void bind(ui::TextBox& box, HWND window);
    void bind(ui::ScrollBar& bar, HWND window);
    ListBinding& bind(ui::ListBox& list, HWND window);
    void bind(const ui::MenuEntry& entry, HMENU menu, int id, char mnemonic,
              const ui::Shortcut& shortcut);
    const MenuListBinding& bind(const ui::MenuList& list, HMENU menu, int position, int first_id,
                                int most);
    // The binding of a Win32 control; none for a frame or a button without one.
    ControlBinding* of(HWND window) const;
    void sync();

  private:
    template <class B, class... Arguments> B& add(Arguments&&... arguments);

    std::vector<std::unique_ptr<Binding>> bindings_;
    std::vector<ControlBinding*> controls_;
};

} // namespace quorvel::win32
