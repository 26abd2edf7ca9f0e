#pragma once

// Widgets placed as the program's windows place their controls: by absolute geometry, with
// the control's name as object name. No layouts: a window that grows leaves them in place.

#include <QFont>
#include <QRect>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace quorvel::qt {

// The windows' font: the system's family at 8.25 points, semi-condensed, so that every
// caption fits the fixed width of its control.
QFont form_font();

// Gives `widget` its name and geometry inside its parent.
void place(QWidget* widget, const char* name, const QRect& geometry);

// Labels show their text as it is: never rich text, never a mnemonic.
QLabel* add_label(QWidget* parent, const char* name, const QRect& geometry);
QLineEdit* add_line_edit(QWidget* parent, const char* name, const QRect& geometry);
QPushButton* add_button(QWidget* parent, const char* name, const QRect& geometry,
                        const QString& caption);
QGroupBox* add_frame(QWidget* parent, const char* name, const QRect& geometry,
                     const QString& caption);

// Moves a window so that it stands in the middle of its screen's available area.
void centre_on_screen(QWidget* window);

} // namespace quorvel::qt
