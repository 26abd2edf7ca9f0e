#pragma once

// The program's icon, drawn at start-up in the three sizes the desktop asks for.

#include <QIcon>

class QPainter;

namespace quorvel::qt {

inline constexpr int icon_sizes[] = {16, 32, 48};

QIcon app_icon();

// Paints the icon onto `painter` as a square of `size` pixels from its origin.
void paint_icon(QPainter& painter, int size);

} // namespace quorvel::qt
