#pragma once

// The ids of what the Win32 face builds from the tables: a control's id is its row's place in
// its window's table counted from first_control_id, a menu entry's its row's place in the menu
// table counted from first_menu_id. The dialog keys' own ids, IDOK (1) for Return and IDCANCEL
// (2) for Escape, stand below both, so no control answers them by chance. A window's class is
// named after its table ("Form1").

#include <cstddef>

namespace quorvel::win32 {

inline constexpr int first_control_id = 100;
inline constexpr int first_menu_id = 1000;

constexpr int control_id(std::size_t row) {
    return first_control_id + static_cast<int>(row);
}

constexpr int menu_id(std::size_t row) {
    return first_menu_id + static_cast<int>(row);
}

} // namespace quorvel::win32
