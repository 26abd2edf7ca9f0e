#pragma once

// Widgets placed as the program's windows place their controls: by absolute geometry, with
// the control's name as object name. No layouts: a window that grows leaves them in place.

#include <QFont>
#include <QRect>
#include <QSize>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace quorvel::qt {

// The windows' pixel placement is drawn for a desktop font of 8.25 points; with a larger or
// smaller desktop font every position and size grows or shrinks in proportion. A desktop font
// given in pixels leaves the placement as drawn.
double form_scale();
QRect scaled(const QRect& geometry);
QSize scaled(const QSize& size);

// The windows' font: the desktop's family and size, semi-condensed, so that every caption
// fits the fixed width of its control.
QFont form_font();

// Gives `widget` its name and its geometry, as drawn, inside its parent.
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
