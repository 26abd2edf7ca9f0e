#pragma once

// Widgets made from the tables of the program's windows (ui/window_tables.h): one widget per
// row, named as the control, placed by absolute geometry as drawn and scaled, bound to the
// program's control. No layouts: a window that grows leaves them in place.

#include "qt/binding.h"
#include "ui/window_rows.h"

#include <QFont>
#include <QList>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <string>
#include <type_traits>
#include <variant>

namespace quorvel::qt {

// The factor of the desktop's font size over the size the placement is drawn for (a desktop
// font given in pixels leaves the placement as drawn).
double form_scale();
QRect scaled(const ui::Rect& place);
QSize scaled(const ui::Size& size);

// The windows' font: the desktop's family (Linux desktops have no MS Sans Serif) at the
// drawn size scaled, semi-condensed, so that every caption fits the fixed width of its
// control; and the title font of the About window.
QFont form_font();
QFont title_font();

// Moves a window so that it stands in the middle of its screen's available area.
void centre_on_screen(QWidget* window);

// The widget of one row whose program control is a frame (nothing), a label, a text box, a
// list or a scroll bar; a button is made by make_button, with its caption as the toolkit
// takes it ("&Speak") and bound to its state in `bindings` when it has one. The widget is placed
// inside `parent` and bound to the control in `bindings`; a scroll bar runs `after_change` after
// the user moved it.
QWidget* make_frame(QWidget* parent, const ui::ControlFacts& row);
QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     const ui::Label& label);
QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::TextBox& box);
QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::ListBox& list);
QWidget* make_widget(QWidget* parent, const ui::ControlFacts& row, Bindings& bindings,
                     ui::ScrollBar& bar, std::function<void()> after_change);
QWidget* make_button(QWidget* parent, const ui::ControlFacts& row, const std::string& caption,
                     std::function<void()> click);

// Tab visits the widgets in this order, and the first has the keyboard when the window opens.
void set_tab_order(const QList<QWidget*>& focusable);

// Builds every control of a window from its table into `client`, in tab order: a button's
// click goes to `click` with its handler, a moved scroll bar runs `after_change`.
template <class Form>
void build_controls(QWidget* client, Form& form, const ui::WindowTable<Form>& window,
                    Bindings& bindings, const std::function<void()>& after_change,
                    const std::function<void(void (Form::*)())>& click) {
    QList<QWidget*> focusable;
    for (const auto& row : window.controls) {
        QWidget* parent = client;
        if (*row.container != '\0') {
            parent = client->findChild<QWidget*>(QString::fromLatin1(row.container));
        }
        QWidget* widget = std::visit(
            [&](auto member) -> QWidget* {
                using Member = decltype(member);
                if constexpr (std::is_same_v<Member, std::monostate>) {
                    return make_frame(parent, row);
                } else if constexpr (std::is_same_v<Member, ui::ScrollBar Form::*>) {
                    return make_widget(parent, row, bindings, form.*member, after_change);
                } else if constexpr (std::is_member_object_pointer_v<Member>) {
                    return make_widget(parent, row, bindings, form.*member);
                } else {
                    QWidget* button =
                        make_button(parent, row, ui::mnemonic_caption(row.caption, row.mnemonic),
                                    [click, member] { click(member); });
                    if (row.state != nullptr) {
                        bindings.bind(form.*row.state, static_cast<QPushButton*>(button));
                    }
                    return button;
                }
            },
            row.bound);
        if (row.takes_focus()) {
            focusable << widget;
        }
    }
    set_tab_order(focusable);
}

} // namespace quorvel::qt
