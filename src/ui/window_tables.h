#pragma once

// The program's windows, control by control, and the main window's menu tree: every caption,
// size, place, tab index and start state, written once. The program's windows take their
// start state from here, and every face builds its widgets from here; moving a control is
// editing its row.

#include "ui/forms.h"
#include "ui/window_rows.h"

#include <string_view>
#include <type_traits>
#include <variant>

// A row gives its facts without braces around the ControlFacts part it begins with: clang
// asks for them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wmissing-braces"
#endif

namespace quorvel::ui {

// clang-format off

// The main window: four frames and the phrase list. Each row: name, container, caption, place
// (left, top, width, height), tab index, traits, what a screen reader says, the control.
inline constexpr ControlRow<Form1> form1_controls[] = {
    {"List1", "", "", {8, 144, 585, 303}, 0, plain, "Phrases", &Form1::List1},
    {"Frame1", "", "Voice Parameters", {224, 8, 209, 65}, 1, plain, "", {}},
    {"Label1", "Frame1", "Rate:", {8, 16, 89, 17}, 2, plain, "", &Form1::Label1},
    {"voice_rate", "Frame1", "45", {80, 16, 33, 17}, 3, hidden, "Rate", &Form1::voice_rate},
    {"Label2", "Frame1", "Volume:", {8, 40, 57, 17}, 4, plain, "", &Form1::Label2},
    {"voice_vol", "Frame1", "80", {80, 40, 17, 17}, 5, hidden, "Volume", &Form1::voice_vol},
    {"HScroll2", "Frame1", "", {120, 40, 73, 17}, 6, disabled, "Volume", &Form1::HScroll2},
    {"Frame2", "", "VPM Info", {8, 8, 209, 65}, 7, plain, "", {}},
    {"Label4", "Frame2", "Voice Name:", {8, 16, 73, 17}, 8, plain, "", &Form1::Label4},
    {"Label5", "Frame2", "VPM Type:", {8, 40, 81, 17}, 9, plain, "", &Form1::Label5},
    {"voice_name", "Frame2", "", {80, 16, 113, 17}, 10, plain, "Voice Name", &Form1::voice_name},
    {"nuvi_model", "Frame2", "", {80, 40, 121, 17}, 11, plain, "VPM Type", &Form1::nuvi_model},
    {"HScroll1", "Frame1", "", {120, 16, 73, 17}, 12, disabled, "Rate", &Form1::HScroll1},
    {"Frame3", "", "Displayed Voice Name", {8, 80, 425, 57}, 13, plain, "", {}},
    {"screen_name", "Frame3", "", {80, 24, 329, 19}, 14, hidden, "Screen Name",
     &Form1::screen_name},
    {"Label6", "Frame3", "Screen Name:", {8, 24, 73, 17}, 15, plain, "", &Form1::Label6},
    {"Frame4", "", "Buffer", {448, 80, 137, 57}, 16, plain, "", {}},
    {"char_left", "Frame4", "", {64, 24, 41, 17}, 17, hidden, "Chars left", &Form1::char_left},
    {"Label3", "Frame4", "Chars left:", {8, 24, 57, 17}, 18, hidden, "", &Form1::Label3},
};

inline constexpr WindowTable<Form1> form1_window{
    "Form1", "Quorvel v" QUORVEL_CAPTION_VERSION, {601, 456}, FrameKind::resizable,
    Placement::centred, form1_controls};

// Modify TTS Expression. No button answers Enter: a phrase changes only when OK itself is
// pressed. Speak stands in the buttons' row, its right edge on the text boxes' one.
inline constexpr ControlRow<Form2> form2_controls[] = {
    {"N", "", "Current:", {24, 40, 105, 17}, 0, plain, "", &Form2::N},
    {"Current", "", "", {24, 64, 577, 19}, 1, read_only, "Current", &Form2::Current},
    {"Label1", "", "New:", {24, 144, 81, 17}, 2, plain, "", &Form2::Label1},
    {"new", "", "", {24, 168, 577, 19}, 3, plain, "New", &Form2::new_},
    {"Command1", "", "Cancel", {136, 232, 97, 25}, 4, no_enter, "", &Form2::Command1_Click},
    {"Command3", "", "OK", {352, 232, 97, 25}, 5, no_enter, "", &Form2::Command3_Click},
    {"Speak", "", "Speak", {504, 232, 97, 25}, 6, no_enter, "", &Form2::Speak_Click, 'S',
     &Form2::Speak},
};

inline constexpr WindowTable<Form2> form2_window{
    "Form2", "Modify TTS Expression", {626, 287}, FrameKind::resizable, Placement::system,
    form2_controls};

inline constexpr ControlRow<Find_Form> find_controls[] = {
    {"Label1", "", "Find what:", {8, 16, 65, 17}, 0, plain, "", &Find_Form::Label1},
    {"Text2Find", "", "", {64, 16, 145, 19}, 1, plain, "Find what", &Find_Form::Text2Find},
    {"Command1", "", "Find", {232, 16, 73, 17}, 2, default_button, "",
     &Find_Form::Command1_Click},
    {"Command2", "", "Cancel", {232, 40, 73, 17}, 3, plain, "", &Find_Form::Command2_Click},
};

inline constexpr WindowTable<Find_Form> find_window{
    "Find_Form", "Find", {312, 81}, FrameKind::resizable, Placement::system, find_controls};

// The Close button is the only control that takes the keyboard, so it has it from the start.
inline constexpr ControlRow<About_Form> about_controls[] = {
    {"Label1", "", "Garmin Quorvel v" QUORVEL_CAPTION_VERSION, {8, 8, 225, 17}, 0,
     centred_text | title_font, "", &About_Form::Label1},
    {"Label2", "", "Quorvel, a voice file editor by the Quorvel developers", {8, 32, 233, 25}, 1,
     centred_text | wraps, "", &About_Form::Label2},
    {"Command1", "", "Close", {72, 112, 97, 25}, 2, plain, "", &About_Form::Command1_Click},
    {"Label3", "", "Find latest version here:", {56, 64, 137, 17}, 3, plain, "",
     &About_Form::Label3},
    {"Label4", "", QUORVEL_HOME_PAGE, {40, 80, 185, 33}, 4, wraps, "", &About_Form::Label4},
};

inline constexpr WindowTable<About_Form> about_window{
    "About_Form", "About Quorvel", {243, 148}, FrameKind::fixed_dialog, Placement::centred,
    about_controls};

// The menu bar, left to right, each menu's entries top to bottom. Each row: the menu it
// belongs to, name, caption, mnemonic, shortcut, the operation it starts.
inline constexpr MenuRow<Form1> form1_menus[] = {
    {"", "File", "File", 'F', {}, nullptr},
    {"File", "Open", "Open", 'O', {}, &Form1::Open_Click},
    {"File", "Save", "Save", 'S', {}, &Form1::Save_Click},
    {"File", "sep1", "-", 0, {}, nullptr},
    {"File", "Import", "Import", 'I', {}, &Form1::Import_Click},
    {"File", "Export", "Export", 'E', {}, &Form1::Export_Click},
    {"File", "sep2", "-", 0, {}, nullptr},
    {"File", "Exit", "Exit", 'x', {}, &Form1::Exit_Click},
    {"", "Edit", "Edit", 'E', {}, nullptr},
    {"Edit", "Find", "Find", 'F', {.ctrl = true, .letter = 'F'}, &Form1::Find_Click},
    {"Edit", "FindNext", "Find Next", 'N', {.function_key = 3}, &Form1::FindNext_Click},
    {"", "Speech", "Speech", 'S', {}, nullptr},
    {"Speech", "Speak", "Speak", 'S', {.function_key = 5}, &Form1::Speak_Click, &Form1::Speak},
    {"Speech", "Stop", "Stop", 't', {.shift = true, .function_key = 5}, &Form1::Stop_Click,
     &Form1::Stop},
    {"Speech", "sep3", "-", 0, {}, nullptr},
    {"Speech", "Language", "Language", 'L', {}, nullptr},
    {"Language", "Automatic", "Automatic", 'A', {}, &Form1::Automatic_Click, &Form1::Automatic},
    {"Language", "sep4", "-", 0, {}, nullptr},
    // The engine's languages, once it told them.
    {"Language", "Languages", "", 0, {}, nullptr, nullptr, &Form1::Languages,
     &Form1::Languages_Click},
    {"", "Help", "Help", 'H', {}, nullptr},
    {"Help", "About", "About", 'A', {}, &Form1::About_Click},
};

// clang-format on

// Return and keypad Enter on the phrase list: the list's double-click.
inline constexpr void (Form1::*return_on_list)() = &Form1::List1_DblClick;

// Where a control stands in its window's client area: its row places it inside its container.
template <class Form>
Rect client_place(const WindowTable<Form>& window, const ControlRow<Form>& row) {
    Rect place = row.place;
    for (const auto& frame : window.controls) {
        if (std::string_view(frame.name) == row.container) {
            place.left += frame.place.left;
            place.top += frame.place.top;
        }
    }
    return place;
}

// Puts the program's controls of a window in their start state: captions, visibility,
// enabled state and read-only boxes, as the rows give them.
template <class Form> void apply_start_state(Form& form, const WindowTable<Form>& window) {
    for (const auto& row : window.controls) {
        std::visit(
            [&](auto member) {
                using Member = decltype(member);
                if constexpr (std::is_same_v<Member, Label Form::*>) {
                    (form.*member).set_caption(row.caption);
                }
                if constexpr (std::is_same_v<Member, TextBox Form::*>) {
                    (form.*member).set_read_only(row.has(read_only));
                }
                if constexpr (std::is_member_object_pointer_v<Member>) {
                    (form.*member).set_visible(!row.has(hidden));
                    (form.*member).set_enabled(!row.has(disabled));
                }
            },
            row.bound);
        if (row.state != nullptr) {
            (form.*row.state).set_visible(!row.has(hidden));
            (form.*row.state).set_enabled(!row.has(disabled));
        }
    }
}

// The menu row named `name`; none when the tree has no such row.
template <class Form, std::size_t n>
const MenuRow<Form>* menu_row_named(const MenuRow<Form> (&rows)[n], std::string_view name) {
    for (const auto& row : rows) {
        if (name == row.name) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace quorvel::ui

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
