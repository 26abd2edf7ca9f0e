#pragma once

// Binds the controls of the program layer to their widgets. A binding shows a control's
// state whenever the control's revision moved since the widget last showed it, with the
// widget's signals blocked, so showing never reads as user input. User input goes the
// other way: into the control, and the binding marks that state as shown.

#include "ui/codepage.h"
#include "ui/controls.h"
#include "ui/face_sync.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;

namespace quorvel::qt {

// Texts of the controls are in the voice file's single-byte code page; widgets show Unicode.
QString to_qstring(std::string_view single_byte);
ui::Encoded from_qstring(const QString& text);

using ui::Binding;

class LabelBinding final : public Binding {
  public:
    LabelBinding(const ui::Label& label, QLabel* widget);

  private:
    void show() override;
    const ui::Label& label_;
    QLabel* widget_;
};

// The user's edits reach the control as typed text; a character the code page cannot hold
// is reported to it, so the program can refuse the change it feeds.
class TextBoxBinding final : public Binding {
  public:
    TextBoxBinding(ui::TextBox& box, QLineEdit* widget);

  private:
    void show() override;
    ui::TextBox& box_;
    QLineEdit* widget_;
};

// A value the user sets runs the program's change handler (nested in set_value), then
// `after_change`.
class ScrollBarBinding final : public Binding {
  public:
    ScrollBarBinding(ui::ScrollBar& bar, QScrollBar* widget, std::function<void()> after_change);

  private:
    void show() override;
    ui::ScrollBar& bar_;
    QScrollBar* widget_;
    std::function<void()> after_change_;
};

// The user's selection reaches the list without a handler. A full refill adds every item
// in one go; when only texts changed, only those items change (ui::list_update).
class ListBinding final : public Binding {
  public:
    ListBinding(ui::ListBox& list, QListWidget* widget);

  private:
    void show() override;
    void show_items();
    void show_selection();
    void take_selection();
    ui::ListBox& list_;
    QListWidget* widget_;
    std::vector<std::string> shown_items_;
    ui::FocusRequests focus_requests_;
};

// A button's enabled state and visibility.
class ButtonBinding final : public Binding {
  public:
    ButtonBinding(const ui::Button& button, QPushButton* widget);

  private:
    void show() override;
    const ui::Button& button_;
    QPushButton* widget_;
};

// A menu entry's enabled state, check mark and caption (`mnemonic` marks its letter).
class MenuEntryBinding final : public Binding {
  public:
    MenuEntryBinding(const ui::MenuEntry& entry, QAction* action, char mnemonic);

  private:
    void show() override;
    const ui::MenuEntry& entry_;
    QAction* action_;
    char mnemonic_;
};

// The program's entries of a menu, standing in front of `anchor` (an entry never shown);
// choosing the i-th runs `choose` with i.
class MenuListBinding final : public Binding {
  public:
    MenuListBinding(const ui::MenuList& list, QMenu* menu, QAction* anchor,
                    std::function<void(int)> choose);

  private:
    void show() override;
    const ui::MenuList& list_;
    QMenu* menu_;
    QAction* anchor_;
    std::function<void(int)> choose_;
    std::vector<std::string> shown_items_;
    std::vector<QAction*> actions_;
};

class Bindings {
  public:
    void bind(const ui::Button& button, QPushButton* widget);
    void bind(const ui::MenuEntry& entry, QAction* action, char mnemonic);
    void bind(const ui::MenuList& list, QMenu* menu, QAction* anchor,
              std::function<void(int)> choose);
    void bind(const ui::Label& label, QLabel* widget);
    void bind(ui::TextBox& box, QLineEdit* widget);
    void bind(ui::ScrollBar& bar, QScrollBar* widget, std::function<void()> after_change);
    void bind(ui::ListBox& list, QListWidget* widget);
    void sync();

  private:
    std::vector<std::unique_ptr<Binding>> bindings_;
};

} // namespace quorvel::qt
