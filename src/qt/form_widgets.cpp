#include "qt/form_widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace quorvel::qt {

QFont form_font() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

void place(QWidget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
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
