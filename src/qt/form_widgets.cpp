#include "qt/form_widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace quorvel::qt {

namespace {

// A horizontal bar whose Left and Right keys move it as its arrow buttons do (Qt's own bar
// reverses them), and which shows a focus mark while it has the keyboard.
class FormScrollBar final : public QScrollBar {
  public:
    explicit FormScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

  private:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Left) {
            triggerAction(SliderSingleStepSub);
        } else if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Right) {
            triggerAction(SliderSingleStepAdd);
        } else {
            QScrollBar::keyPressEvent(event);
        }
    }
    void paintEvent(QPaintEvent* event) override {
        QScrollBar::paintEvent(event);
        if (!hasFocus()) {
            return;
        }
        // The style draws a focus frame only after a keyboard focus change: draw one always.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// Names the widget after its control, places it as drawn and gives it what a screen reader
// says of it.
QWidget* place(QWidget* widget, const ui::ControlFacts& row) {
    widget->setObjectName(QString::fromLatin1(row.name));
    widget->setGeometry(scaled(row.place));
    if (*row.spoken != '\0') {
        const QString spoken = QString::fromLatin1(row.spoken);
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            widget->setAccessibleDescription(spoken);
        } else {
            widget->setAccessibleName(spoken);
        }
    }
    return widget;
}

} // namespace

double form_scale() {
    return ui::scale_for_points(QApplication::font().pointSizeF());
}

QRect scaled(const ui::Rect& place) {
    const ui::Rect r = ui::scaled(place, form_scale());
    return {r.left, r.top, r.width, r.height};
}

QSize scaled(const ui::Size& size) {
    const ui::Size s = ui::scaled(size, form_scale());
    return {s.width, s.height};
}

QFont form_font() {
    QFont font = QApplication::font();
    font.setPointSizeF(ui::drawn_for_points * form_scale());
    font.setStretch(QFont::SemiCondensed);
    return font;
}

QFont title_font() {
    QFont font = form_font();
    font.setPointSizeF(ui::title_points * form_scale());
    return font;
}

void centre_on_screen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QWidget* make_frame(QWidget* parent, const ui::ControlFacts& row) {
    return place(new QGroupBox(QString::fromLatin1(row.caption), parent), row);
}

QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     const ui::Label& label) {
    // Labels show their text as it is: never rich text, never a mnemonic.
    auto* widget = new QLabel(parent);
    widget->setTextFormat(Qt::PlainText);
    if (row.has(ui::centred_text)) {
        widget->setAlignment(Qt::AlignCenter);
    }
    widget->setWordWrap(row.has(ui::wraps));
    if (row.has(ui::title_font)) {
        widget->setFont(title_font());
    }
    bindings.bind(label, widget);
    return place(widget, row);
}

QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::TextBox& box) {
    auto* widget = new QLineEdit(parent);
    bindings.bind(box, widget);
    return place(widget, row);
}

QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::ListBox& list) {
    auto* widget = new QListWidget(parent);
    bindings.bind(list, widget);
    return place(widget, row);
}

QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::ScrollBar& bar, std::function<void()> after_change) {
    auto* widget = new FormScrollBar(parent);
    // Tab reaches the bar, so rate and volume can be set from the keyboard.
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->setSingleStep(ui::scroll_rule.arrow_step);
    widget->setPageStep(ui::scroll_rule.page_step);
    widget->setTracking(!ui::scroll_rule.reports_drag_on_release);
    bindings.bind(bar, widget, std::move(after_change));
    return place(widget, row);
}

QWidget* make_button(QWidget* parent, const ui::ControlFacts& row, const std::string& caption,
                     std::function<void()> click) {
    auto* button = new QPushButton(QString::fromLatin1(caption.c_str()), parent);
    button->setDefault(row.has(ui::default_button));
    if (row.has(ui::no_enter)) {
        button->setAutoDefault(false);
    }
    QObject::connect(button, &QPushButton::clicked, button, std::move(click));
    return place(button, row);
}

void set_tab_order(const QList<QWidget*>& focusable) {
    for (qsizetype i = 1; i < focusable.size(); ++i) {
        QWidget::setTabOrder(focusable[i - 1], focusable[i]);
    }
    if (!focusable.isEmpty()) {
        focusable.front()->setFocus();
    }
}

} // namespace quorvel::qt
