#pragma once

// What the tables of the program's windows are made of (ui/window_tables.h holds the tables):
// a window's caption, size, frame and placement; one row per control; the rows of the menu
// tree; and the rules every face keeps for keys, scroll bars, fonts and scale. A face builds
// its widgets from these and states none of these facts itself.

#include <span>
#include <string>
#include <variant>

namespace quorvel::ui {

class Label;
class TextBox;
class ListBox;
class ScrollBar;
class Button;
class MenuEntry;
class MenuList;

// Positions and sizes in pixels at 96 dots per inch, relative to the container.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

enum class FrameKind {
    resizable,    // an ordinary frame with minimise and maximise boxes
    fixed_dialog, // cannot be resized; no minimise or maximise box; not in the taskbar
};

enum class Placement {
    centred, // in the middle of the screen (a secondary window: over the main window)
    system,  // where the system puts new windows
};

enum class Kind { frame, label, text_box, list_box, scroll_bar, button };

// What a control is in the program: nothing for a frame, the program's control for a label,
// text box, list or scroll bar, and the handler its click runs for a button. The row's kind
// follows from it.
template <class Form>
using Bound = std::variant<std::monostate, Label Form::*, TextBox Form::*, ListBox Form::*,
                           ScrollBar Form::*, void (Form::*)()>;

// Traits of a control beyond its kind; a row's `traits` is an or of them.
enum Trait : unsigned {
    plain = 0,
    hidden = 1u << 0,         // at start; the program shows it later
    disabled = 1u << 1,       // at start; the program enables it later
    read_only = 1u << 2,      // a text box the user cannot type into
    default_button = 1u << 3, // Enter anywhere in the window presses it
    no_enter = 1u << 4,       // a button that does not answer Enter, even while focused
    centred_text = 1u << 5,   // a label's text stands in the middle of its width
    wraps = 1u << 6,          // a label's text wraps onto further lines
    title_font = 1u << 7,     // a label in the title font (title_points)
};

// A control's facts, whatever its window.
struct ControlFacts {
    const char* name;
    const char* container; // "" for the window's client area, else the frame's name
    const char* caption;   // "" for none, or one the program fills in later
    Rect place;
    int tab_index;
    unsigned traits;
    // What a screen reader says of it beyond its caption: the name of a list, text box or
    // scroll bar, whose caption says nothing; the description of a value label (the caption
    // of the label in front of it). "" for nothing.
    const char* spoken;

    bool has(Trait t) const { return (traits & t) != 0; }
};

template <class Form> struct ControlRow : ControlFacts {
    Bound<Form> bound;
    // A button's letter that presses it with Alt; 0 for none.
    char mnemonic = 0;
    // A button whose enabled state the program changes: where it keeps it. None for one that
    // stays as built.
    Button Form::*state = nullptr;

    Kind kind() const { return static_cast<Kind>(bound.index()); }
    // Whether Tab reaches the control and it can hold the keyboard focus.
    bool takes_focus() const { return kind() != Kind::frame && kind() != Kind::label; }
};

template <class Form> struct WindowTable {
    const char* name; // the window's name in the program: "Form1"
    const char* caption;
    Size client;
    FrameKind frame;
    Placement placement;
    std::span<const ControlRow<Form>> controls; // in tab order
};

// A key that starts a menu entry from anywhere in the main window.
struct Shortcut {
    bool ctrl = false;
    bool shift = false;
    char letter = 0;      // 'F' for Ctrl+F; 0 for a function key
    int function_key = 0; // 3 for F3; 0 for a letter

    explicit operator bool() const { return letter != 0 || function_key != 0; }
};

// "Ctrl+F", "F3", "Shift+F5": how a menu shows the key, and the form the toolkits read.
std::string shortcut_text(const Shortcut& key);

// One row of the menu tree. A row whose `parent` is "" is a menu of the menu bar; a row
// other rows name as their parent is a submenu; a row captioned "-" is a separator line; a
// row with `entries` stands for the entries the program puts there while it runs.
template <class Form> struct MenuRow {
    const char* parent;
    const char* name;
    const char* caption;
    char mnemonic; // the caption's letter that chooses the entry with Alt or in the open menu
    Shortcut shortcut;
    void (Form::*operation)(); // what choosing the entry starts; none for a menu or separator
    // An entry whose enabled state, check mark or caption the program changes: where it
    // keeps them. None for an entry that stays as built.
    MenuEntry Form::*state = nullptr;
    // The program's entries, and what choosing the i-th of them starts.
    MenuList Form::*entries = nullptr;
    void (Form::*choose)(int) = nullptr;

    bool separator() const { return caption[0] == '-' && caption[1] == '\0'; }
    bool menu() const { return operation == nullptr && !separator() && entries == nullptr; }
};

// The caption as the toolkits take it, with "&" before the mnemonic: "E&xit".
std::string mnemonic_caption(const char* caption, char mnemonic);

// Scroll bars, both alike: their range starts at 0; they start at 10 of 99; an arrow moves
// them by 1 and a click in the track or Page Up and Down by 10; a dragged thumb reports its
// value once, when it is released, never while it moves.
struct ScrollRule {
    int minimum = 0;
    int start_maximum = 99;
    int start_value = 10;
    int arrow_step = 1;
    int page_step = 10;
    bool reports_drag_on_release = true;
};
inline constexpr ScrollRule scroll_rule{};

// Keys no row states: Escape closes no window (no key is bound to Cancel or Close), and
// Return or keypad Enter on the phrase list does what its double-click does (ui/window_tables.h
// names the handler).
inline constexpr bool escape_closes_a_window = false;

// The windows' font, and the size their placement is drawn for: on a desktop whose text is
// larger or smaller, every position, size and font grows or shrinks by the same factor.
inline constexpr const char* font_family = "MS Sans Serif";
inline constexpr double drawn_for_points = 8.25;
inline constexpr double title_points = 9.75;

// The factor for a desktop text size in points (1 when the desktop gives none), and for a
// screen of so many dots per inch (the placement is drawn for 96).
double scale_for_points(double desktop_points);
double scale_for_dpi(int dpi);
// A length as drawn, scaled and rounded to the nearest pixel (a half up).
int scaled(int pixels, double factor);
Rect scaled(const Rect& place, double factor);
Size scaled(const Size& size, double factor);

} // namespace quorvel::ui
