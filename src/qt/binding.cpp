#include "qt/binding.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>
#include <QValidator>

namespace quorvel::qt {

namespace {

// Visibility and enabled state, which every control has.
void show_control_state(const ui::Control& control, QWidget* widget) {
    widget->setEnabled(control.enabled());
    widget->setHidden(!control.visible());
}

// The box's typing limit, as the program's text box keeps it: a text set by the program is
// shown whole, however long, and an edit the box would not take is refused. (QLineEdit's own
// limit would cut a longer text and count UTF-16 units.)
class TypingLimit final : public QValidator {
  public:
    TypingLimit(const ui::TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}
    State validate(QString& input, int& /*pos*/) const override {
        const ui::Encoded typed = from_qstring(input);
        return box_.takes(typed.bytes, typed.unencodable) ? Acceptable : Invalid;
    }

  private:
    const ui::TextBox& box_;
};

} // namespace

QString to_qstring(std::string_view single_byte) {
    return QString::fromStdString(ui::to_utf8(single_byte));
}

ui::Encoded from_qstring(const QString& text) {
    return ui::from_utf8(text.toStdString());
}

LabelBinding::LabelBinding(const ui::Label& label, QLabel* widget)
    : Binding(label), label_(label), widget_(widget) {}

void LabelBinding::show() {
    widget_->setText(to_qstring(label_.caption()));
    show_control_state(label_, widget_);
}

TextBoxBinding::TextBoxBinding(ui::TextBox& box, QLineEdit* widget)
    : Binding(box), box_(box), widget_(widget) {
    widget_->setValidator(new TypingLimit(box_, widget_));
    QObject::connect(widget_, &QLineEdit::textEdited, widget_, [this](const QString& text) {
        auto typed = from_qstring(text);
        box_.type(typed.bytes, std::move(typed.unencodable));
        mark_shown();
    });
}

void TextBoxBinding::show() {
    const QSignalBlocker blocker(widget_);
    widget_->setReadOnly(box_.read_only());
    // The box still shows a character it could not hand over to the program: keep it.
    const QString text = box_.unencodable() ? widget_->text() : to_qstring(box_.text());
    if (widget_->text() != text) {
        widget_->setText(text);
    }
    show_control_state(box_, widget_);
}

ScrollBarBinding::ScrollBarBinding(ui::ScrollBar& bar, QScrollBar* widget,
                                   std::function<void()> after_change)
    : Binding(bar), bar_(bar), widget_(widget), after_change_(std::move(after_change)) {
    QObject::connect(widget_, &QScrollBar::valueChanged, widget_, [this](int value) {
        bar_.set_value(value);
        after_change_();
    });
}

void ScrollBarBinding::show() {
    const QSignalBlocker blocker(widget_);
    widget_->setRange(bar_.minimum(), bar_.maximum());
    widget_->setValue(bar_.value());
    show_control_state(bar_, widget_);
}

ListBinding::ListBinding(ui::ListBox& list, QListWidget* widget)
    : Binding(list), list_(list), widget_(widget) {
    widget_->setSelectionMode(QAbstractItemView::SingleSelection);
    widget_->setSortingEnabled(false);
    QObject::connect(widget_, &QListWidget::itemSelectionChanged, widget_,
                     [this] { take_selection(); });
}

void ListBinding::show() {
    const QSignalBlocker blocker(widget_);
    show_items();
    show_selection();
    show_control_state(list_, widget_);
    if (focus_requests_.pending(list_)) {
        widget_->setFocus();
    }
}

void ListBinding::show_items() {
    const auto& items = list_.items();
    if (items == shown_items_) {
        return;
    }
    widget_->setUpdatesEnabled(false);
    const ui::ListUpdate update = ui::list_update(shown_items_, items);
    if (!update.refill) {
        for (const int i : update.changed) {
            widget_->item(i)->setText(to_qstring(items[static_cast<std::size_t>(i)]));
        }
    } else {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(items.size()));
        for (const auto& item : items) {
            texts.append(to_qstring(item));
        }
        widget_->clear();
        widget_->addItems(texts);
    }
    widget_->setUpdatesEnabled(true);
    shown_items_ = items;
}

void ListBinding::show_selection() {
    const int row = list_.selected();
    if (row < 0) {
        widget_->setCurrentRow(-1);
        widget_->clearSelection();
        return;
    }
    widget_->setCurrentRow(row);
    widget_->scrollToItem(widget_->item(row));
}

void ListBinding::take_selection() {
    const auto selected = widget_->selectedItems();
    list_.select(selected.isEmpty() ? -1 : widget_->row(selected.front()));
    mark_shown();
}

ButtonBinding::ButtonBinding(const ui::Button& button, QPushButton* widget)
    : Binding(button), button_(button), widget_(widget) {}

void ButtonBinding::show() {
    show_control_state(button_, widget_);
}

MenuEntryBinding::MenuEntryBinding(const ui::MenuEntry& entry, QAction* action, char mnemonic)
    : Binding(entry), entry_(entry), action_(action), mnemonic_(mnemonic) {}

void MenuEntryBinding::show() {
    action_->setEnabled(entry_.enabled());
    action_->setVisible(entry_.visible());
    action_->setCheckable(entry_.checkable());
    action_->setChecked(entry_.checked());
    if (!entry_.caption().empty()) {
        action_->setText(to_qstring(ui::mnemonic_caption(entry_.caption().c_str(), mnemonic_)));
    }
}

MenuListBinding::MenuListBinding(const ui::MenuList& list, QMenu* menu, QAction* anchor,
                                 std::function<void(int)> choose)
    : Binding(list), list_(list), menu_(menu), anchor_(anchor), choose_(std::move(choose)) {
    anchor_->setVisible(false);
}

void MenuListBinding::show() {
    if (list_.items() != shown_items_) {
        for (QAction* action : actions_) {
            menu_->removeAction(action);
            action->deleteLater();
        }
        actions_.clear();
        for (const auto& item : list_.items()) {
            auto* action = new QAction(to_qstring(item), menu_);
            action->setCheckable(true);
            const int i = static_cast<int>(actions_.size());
            QObject::connect(action, &QAction::triggered, menu_, [this, i] { choose_(i); });
            menu_->insertAction(anchor_, action);
            actions_.push_back(action);
        }
        shown_items_ = list_.items();
    }
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        actions_[i]->setChecked(static_cast<int>(i) == list_.checked());
        actions_[i]->setEnabled(list_.enabled());
    }
}

void Bindings::bind(const ui::Button& button, QPushButton* widget) {
    bindings_.push_back(std::make_unique<ButtonBinding>(button, widget));
}

void Bindings::bind(const ui::MenuEntry& entry, QAction* action, char mnemonic) {
    bindings_.push_back(std::make_unique<MenuEntryBinding>(entry, action, mnemonic));
}

void Bindings::bind(const ui::MenuList& list, QMenu* menu, QAction* anchor,
                    std::function<void(int)> choose) {
    bindings_.push_back(std::make_unique<MenuListBinding>(list, menu, anchor, std::move(choose)));
}

void Bindings::bind(const ui::Label& label, QLabel* widget) {
    bindings_.push_back(std::make_unique<LabelBinding>(label, widget));
}

void Bindings::bind(ui::TextBox& box, QLineEdit* widget) {
    bindings_.push_back(std::make_unique<TextBoxBinding>(box, widget));
}

void Bindings::bind(ui::ScrollBar& bar, QScrollBar* widget, std::function<void()> after_change) {
    bindings_.push_back(std::make_unique<ScrollBarBinding>(bar, widget, std::move(after_change)));
}

void Bindings::bind(ui::ListBox& list, QListWidget* widget) {
    bindings_.push_back(std::make_unique<ListBinding>(list, widget));
}

void Bindings::sync() {
    for (const auto& binding : bindings_) {
        binding->sync();
    }
}

} // namespace quorvel::qt
