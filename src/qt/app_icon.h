#pragma once

// The program's icon, drawn at start-up in the three sizes the desktop asks for.

#include <QIcon>

namespace quorvel::qt {

inline constexpr int icon_sizes[] = {16, 32, 48};

QIcon app_icon();

} // namespace quorvel::qt
