#pragma once

// The ids of what the Win32 face builds from the tables: a control's id is its row's place in
// its window's table counted from first_control_id, a menu entry's its row's place in the menu
// table counted from first_menu_id, and the i-th of the entries the program puts in a menu
// while it runs i past the first id of its row's block (menu_list_id). The dialog keys' own ids,
// IDOK (1) for Return and IDCANCEL (2) for Escape, stand below both, so no control answers them by
// chance. A window's class is named after its table ("Form1").

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

// A block of ids for each row of the menu table, of which a row that stands for the program's
// entries uses up to menu_list_size; the last block ends below 0x10000, the end of a menu id.
inline constexpr int first_menu_list_id = 0x2000;
inline constexpr int menu_list_size = 0x200;

constexpr int menu_list_id(std::size_t row) {
    return first_menu_list_id + static_cast<int>(row) * menu_list_size;
}

} // namespace quorvel::win32
