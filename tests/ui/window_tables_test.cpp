// The window tables hold together: rows stand in tab order, each container is a frame named
// before the controls it holds, and no two controls of a window share a name.

#include "ui/window_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quorvel::ui {
namespace {

template <class Form> void expect_well_formed(const WindowTable<Form>& window) {
    std::set<std::string> names;
    std::set<std::string> frames;
    int tab_index = 0;
    for (const auto& row : window.controls) {
        EXPECT_EQ(row.tab_index, tab_index++) << window.name << " " << row.name;
        EXPECT_TRUE(names.insert(row.name).second) << window.name << " " << row.name;
        if (*row.container != '\0') {
            EXPECT_TRUE(frames.count(row.container)) << window.name << " " << row.name;
        }
        if (row.kind() == Kind::frame) {
            frames.insert(row.name);
        }
    }
}

TEST(WindowTables, rows_stand_in_tab_order_inside_frames_named_before_them) {
    expect_well_formed(form1_window);
    expect_well_formed(form2_window);
    expect_well_formed(find_window);
    expect_well_formed(about_window);
}

TEST(WindowTables, every_menu_entry_belongs_to_a_menu_above_it) {
    std::set<std::string> menus{""};
    for (const auto& row : form1_menus) {
        EXPECT_TRUE(menus.count(row.parent)) << row.name;
        if (row.menu()) {
            menus.insert(row.name);
        }
    }
}

} // namespace
} // namespace quorvel::ui
