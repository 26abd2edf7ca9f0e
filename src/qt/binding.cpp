#include "qt/binding.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>
#include <QValidator>

namespace quorvel::qt {

namespace {

// The characters of a text, a character outside the Basic Multilingual Plane counted once.
int characters(const QString& text) {
    return static_cast<int>(text.toUcs4().size());
}

// Visibility and enabled state, which every control has.
void show_control_state(const ui::Control& control, QWidget* widget) {
    widget->setEnabled(control.enabled());
    widget->setHidden(!control.visible());
}

} // namespace

// The box's length limit, for typing only: a text set by the program is shown whole, however
// long, and an edit that would make the text longer than the limit and longer than before
// is refused. (QLineEdit's own limit would cut a longer text and count UTF-16 units.)
class TypingLimit final : public QValidator {
  public:
    explicit TypingLimit(QObject* parent) : QValidator(parent) {}
    void set(std::optional<int> limit, const QString& text) {
        limit_ = limit;
        before_ = characters(text);
    }
    void accepted(const QString& text) { before_ = characters(text); }
    State validate(QString& input, int& /*pos*/) const override {
        const int n = characters(input);
        return limit_ && n > *limit_ && n > before_ ? Invalid : Acceptable;
    }

  private:
    std::optional<int> limit_;
    int before_ = 0;
};

QString to_qstring(std::string_view single_byte) {
    return QString::fromStdString(ui::to_utf8(single_byte));
}

ui::Encoded from_qstring(const QString& text) {
    return ui::from_utf8(text.toStdString());
}

void Binding::sync() {
    if (shown_ == control_.revision()) {
        return;
    }
    shown_ = control_.revision();
    show();
}

LabelBinding::LabelBinding(const ui::Label& label, QLabel* widget)
    : Binding(label), label_(label), widget_(widget) {}

void LabelBinding::show() {
    widget_->setText(to_qstring(label_.caption()));
    show_control_state(label_, widget_);
}

TextBoxBinding::TextBoxBinding(ui::TextBox& box, QLineEdit* widget)
    : Binding(box), box_(box), widget_(widget), limit_(new TypingLimit(widget)) {
    widget_->setValidator(limit_);
    QObject::connect(widget_, &QLineEdit::textEdited, widget_, [this](const QString& text) {
        limit_->accepted(text);
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
    // A limit of 0 accepts nothing, as the program means it.
    limit_->set(box_.max_length(), text);
    if (widget_->text() != text) {
        widget_->setText(text);
    }
    show_control_state(box_, widget_);
}

ScrollBarBinding::ScrollBarBinding(ui::ScrollBar& bar, QScrollBar* widget,
                                   std::function<void()> after_change)
    : Binding(bar), bar_(bar), widget_(widget), after_change_(std::move(after_change)) {
    // A dragged thumb reports once, when it is released.
    widget_->setTracking(false);
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
    if (list_.focus_requests() != focus_requests_) {
        focus_requests_ = list_.focus_requests();
        widget_->setFocus();
    }
}

void ListBinding::show_items() {
    const auto& items = list_.items();
    if (items == shown_items_) {
        return;
    }
    widget_->setUpdatesEnabled(false);
    if (items.size() == shown_items_.size()) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] != shown_items_[i]) {
                widget_->item(static_cast<int>(i))->setText(to_qstring(items[i]));
            }
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
