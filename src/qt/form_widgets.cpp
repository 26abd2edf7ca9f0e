#include "qt/form_widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace quorvel::qt {

namespace {

constexpr double reference_point_size = 8.25;

int scaled(int pixels) {
    return qRound(pixels * form_scale());
}

} // namespace

double form_scale() {
    const double desktop = QApplication::font().pointSizeF();
    return desktop > 0 ? desktop / reference_point_size : 1.0;
}

QRect scaled(const QRect& geometry) {
    return {scaled(geometry.left()), scaled(geometry.top()), scaled(geometry.width()),
            scaled(geometry.height())};
}

QSize scaled(const QSize& size) {
    return {scaled(size.width()), scaled(size.height())};
}

QFont form_font() {
    QFont font = QApplication::font();
    font.setPointSizeF(reference_point_size * form_scale());
    font.setStretch(QFont::SemiCondensed);
    return font;
}

void place(QWidget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(scaled(geometry));
}

QLabel* add_label(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    place(label, name, geometry);
    return label;
}

QLineEdit* add_line_edit(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    place(edit, name, geometry);
    return edit;
}

QPushButton* add_button(QWidget* parent, const char* name, const QRect& geometry,
                        const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    place(button, name, geometry);
    return button;
}

QGroupBox* add_frame(QWidget* parent, const char* name, const QRect& geometry,
                     const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    place(frame, name, geometry);
    return frame;
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

} // namespace quorvel::qt
