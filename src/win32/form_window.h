#pragma once

// A top-level window built from the table of one of the program's windows
// (ui/window_tables.h): its caption, frame, client size and placement, and one Win32 control
// per row, in the table's tab order, placed as drawn and scaled by the monitor's DPI / 96,
// bound to the program's control. Controls inside a frame are the window's own children,
// placed inside the frame's rectangle. Nothing is laid out again when the window grows.

#include "ui/host.h"
#include "ui/window_rows.h"
#include "ui/window_tables.h"
#include "win32/binding.h"
#include "win32/control_ids.h"

#include <windows.h>

#include <functional>
#include <type_traits>
#include <variant>
#include <vector>

namespace quorvel::win32 {

class FormWindow {
  public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    HWND hwnd() const { return hwnd_; }
    // Shows the window and makes it the active one.
    void bring_forward();

  protected:
    // `after_event` runs after each handler the user's input called. A message that runs out
    // of memory ends with the program's message about it; the windows stay.
    FormWindow(ui::Host& host, std::function<void()> after_event)
        : host_(host), after_event_(std::move(after_event)) {}

    // Makes the window from its table, owned by `owner` (none for the main window), with the
    // menu bar `menu` (none for a window without one). A button's click goes to `click` with
    // its handler.
    template <class Form>
    void build(Form& form, const ui::WindowTable<Form>& table, HWND owner, HMENU menu,
               const std::function<void(void (Form::*)())>& click) {
        create(table.name, table.caption, table.frame, owner, menu, table.client, table.placement);
        for (std::size_t i = 0; i < table.controls.size(); ++i) {
            const auto& row = table.controls[i];
            const HWND control = add_control(row, row.kind(), ui::client_place(table, row),
                                             control_id(i), row.mnemonic);
            std::visit(
                [&](auto member) {
                    using Member = decltype(member);
                    if constexpr (std::is_member_object_pointer_v<Member>) {
                        bindings_.bind(form.*member, control);
                    } else if constexpr (std::is_member_function_pointer_v<Member>) {
                        controls_.back().click = [click, member] { click(member); };
                        if (row.state != nullptr) {
                            bindings_.bind(form.*row.state, control);
                        }
                    }
                },
                row.bound);
        }
    }

    // What the window does with a message: controls' notifications, scroll bars, the dialog
    // keys, focus, DPI changes. A window with more to do handles those first.
    virtual LRESULT handle(UINT message, WPARAM w, LPARAM l);

    Bindings bindings_;
    ui::Host& host_;
    std::function<void()> after_event_;

  private:
    struct Control {
        const ui::ControlFacts* row;
        ui::Rect drawn; // in the client area, at 96 dpi
        HWND window;
        std::function<void()> click; // a button's
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    // Makes the window, placed and sized as the table says.
    void create(const char* name, const char* caption, ui::FrameKind frame, HWND owner, HMENU menu,
                const ui::Size& client, ui::Placement placement);
    // A button's caption shows its mnemonic, which presses it with Alt.
    HWND add_control(const ui::ControlFacts& row, ui::Kind kind, const ui::Rect& drawn, int id,
                     char mnemonic);
    // Sizes the window for its client area and puts it where the table says, at the DPI it has.
    void place(const ui::Size& client, ui::Placement placement, HWND owner);
    // Places every control anew and gives it its font, for a new DPI.
    void rescale(UINT dpi);
    // The button Return presses: the focused one unless it does not answer Enter, else the
    // window's default button; 0 for none.
    int enter_button() const;
    void command(int id, int code, HWND source);

    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT font_ = nullptr;
    HFONT title_font_ = nullptr;
    HWND last_focus_ = nullptr;
    std::vector<Control> controls_;
};

} // namespace quorvel::win32
