#include "win32/binding.h"

#include "win32/text.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace quorvel::win32 {

std::wstring menu_caption(const char* caption, char mnemonic, const ui::Shortcut& shortcut) {
    std::wstring text = shown(ui::mnemonic_caption(caption, mnemonic));
    if (shortcut) {
        text += L"\t" + wide(ui::shortcut_text(shortcut));
    }
    return text;
}

void ControlBinding::show_control_state() const {
    const bool visible = (::GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != control_.visible()) {
        ::ShowWindow(window_, control_.visible() ? SW_SHOWNA : SW_HIDE);
    }
    ::EnableWindow(window_, control_.enabled());
}

void LabelBinding::show() {
    ::SetWindowTextW(window(), shown(label_.caption()).c_str());
    show_control_state();
}

void TextBoxBinding::show() {
    ::SendMessageW(window(), EM_SETREADONLY, box_.read_only(), 0);
    // The box still shows a character it could not hand over to the program: keep it.
    if (!box_.unencodable()) {
        set_text(shown(box_.text()));
    }
    show_control_state();
}

void TextBoxBinding::set_text(const std::wstring& text) {
    taken_ = text;
    if (window_text(window()) != text) {
        showing_ = true;
        ::SetWindowTextW(window(), text.c_str());
        showing_ = false;
    }
}

void TextBoxBinding::notified(int code) {
    if (code != EN_CHANGE || showing_) {
        return;
    }
    const std::wstring text = window_text(window());
    auto typed_text = typed(text);
    if (box_.type(typed_text.bytes, std::move(typed_text.unencodable))) {
        taken_ = text;
        mark_shown();
        return;
    }
    // Not taken: the box shows what it showed before, the caret where the edit began.
    DWORD caret = 0;
    ::SendMessageW(window(), EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::size_t grown = text.size() - std::min(text.size(), taken_.size());
    const std::size_t at = std::min(caret >= grown ? caret - grown : 0, taken_.size());
    const auto back = static_cast<LPARAM>(at);
    set_text(taken_);
    ::SendMessageW(window(), EM_SETSEL, back, back);
}

void ScrollBarBinding::show() {
    // The bar reaches nMax - nPage + 1: the maximum with a page of the rule's page step.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = bar_.minimum();
    info.nMax = bar_.maximum() + ui::scroll_rule.page_step - 1;
    info.nPage = static_cast<UINT>(ui::scroll_rule.page_step);
    info.nPos = bar_.value();
    ::SetScrollInfo(window(), SB_CTL, &info, TRUE);
    show_control_state();
}

std::optional<int> ScrollBarBinding::requested(int request, int position) const {
    const auto& rule = ui::scroll_rule;
    switch (request) {
    case SB_LINELEFT:
        return bar_.value() - rule.arrow_step;
    case SB_LINERIGHT:
        return bar_.value() + rule.arrow_step;
    case SB_PAGELEFT:
        return bar_.value() - rule.page_step;
    case SB_PAGERIGHT:
        return bar_.value() + rule.page_step;
    case SB_LEFT:
        return bar_.minimum();
    case SB_RIGHT:
        return bar_.maximum();
    case SB_THUMBPOSITION:
        return position;
    case SB_THUMBTRACK:
        if (rule.reports_drag_on_release) {
            return std::nullopt;
        }
        return position;
    default:
        return std::nullopt; // SB_ENDSCROLL
    }
}

void ScrollBarBinding::scrolled(int request, int position) {
    const std::optional<int> value = requested(request, position);
    if (!value) {
        return;
    }
    bar_.set_value(std::clamp(*value, bar_.minimum(), bar_.maximum()));
    // A thumb let go where it started changes nothing, and goes back to its place.
    show();
}

void ListBinding::show() {
    show_items();
    ::SendMessageW(window(), LB_SETCURSEL, static_cast<WPARAM>(list_.selected()), 0);
    show_control_state();
    if (focus_requests_.pending(list_)) {
        ::SetFocus(window());
    }
}

void ListBinding::show_items() {
    const auto& items = list_.items();
    if (items == shown_items_) {
        return;
    }
    const ui::ListUpdate update = ui::list_update(shown_items_, items);
    ::SendMessageW(window(), WM_SETREDRAW, FALSE, 0);
    if (update.refill) {
        ::SendMessageW(window(), LB_RESETCONTENT, 0, 0);
        for (const auto& item : items) {
            ::SendMessageW(window(), LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(shown(item).c_str()));
        }
    }
    for (const int i : update.changed) {
        ::SendMessageW(window(), LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        ::SendMessageW(window(), LB_INSERTSTRING, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(shown(items[static_cast<std::size_t>(i)]).c_str()));
    }
    ::SendMessageW(window(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window(), nullptr, TRUE);
    shown_items_ = items;
}

void ListBinding::notified(int code) {
    if (code == LBN_SELCHANGE) {
        take_selection();
    }
}

void ListBinding::take_selection() {
    list_.select(static_cast<int>(::SendMessageW(window(), LB_GETCURSEL, 0, 0)));
    mark_shown();
}

void MenuEntryBinding::show() {
    ::EnableMenuItem(menu_, static_cast<UINT>(id_),
                     MF_BYCOMMAND | (entry_.enabled() ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu_, static_cast<UINT>(id_),
                    MF_BYCOMMAND | (entry_.checked() ? MF_CHECKED : MF_UNCHECKED));
    if (!entry_.caption().empty()) {
        std::wstring caption = menu_caption(entry_.caption().c_str(), mnemonic_, shortcut_);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = caption.data();
        ::SetMenuItemInfoW(menu_, static_cast<UINT>(id_), FALSE, &info);
    }
}

std::optional<int> MenuListBinding::entry(int id) const {
    if (id < first_id_ || id >= first_id_ + static_cast<int>(shown_items_.size())) {
        return std::nullopt;
    }
    return id - first_id_;
}

void MenuListBinding::show() {
    const auto& items = list_.items();
    const std::size_t count = std::min(items.size(), static_cast<std::size_t>(most_));
    if (!std::equal(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(count),
                    shown_items_.begin(), shown_items_.end())) {
        for (std::size_t i = 0; i < shown_items_.size(); ++i) {
            ::DeleteMenu(menu_, static_cast<UINT>(first_id_) + i, MF_BYCOMMAND);
        }
        shown_items_.assign(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            ::InsertMenuW(menu_, static_cast<UINT>(position_) + i, MF_BYPOSITION | MF_STRING,
                          static_cast<UINT_PTR>(first_id_) + i, shown(items[i]).c_str());
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto id = static_cast<UINT>(first_id_) + i;
        ::EnableMenuItem(menu_, id, MF_BYCOMMAND | (list_.enabled() ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu_, id,
                        MF_BYCOMMAND |
                            (static_cast<int>(i) == list_.checked() ? MF_CHECKED : MF_UNCHECKED));
    }
}

template <class B, class... Arguments> B& Bindings::add(Arguments&&... arguments) {
    auto binding = std::make_unique<B>(std::forward<Arguments>(arguments)...);
    B& bound = *binding;
    bindings_.push_back(std::move(binding));
    if constexpr (std::is_base_of_v<ControlBinding, B>) {
        controls_.push_back(&bound);
    }
    return bound;
}

void Bindings::bind(const ui::Label& label, HWND window) {
    add<LabelBinding>(label, window);
}

void Bindings::bind(const ui::Button& button, HWND window) {
    add<ButtonBinding>(button, window);
}

void Bindings::bind(ui::TextBox& box, HWND window) {
    add<TextBoxBinding>(box, window);
}

void Bindings::bind(ui::ScrollBar& bar, HWND window) {
    add<ScrollBarBinding>(bar, window);
}

ListBinding& Bindings::bind(ui::ListBox& list, HWND window) {
    return add<ListBinding>(list, window);
}

void Bindings::bind(const ui::MenuEntry& entry, HMENU menu, int id, char mnemonic,
                    const ui::Shortcut& shortcut) {
    add<MenuEntryBinding>(entry, menu, id, mnemonic, shortcut);
}

const MenuListBinding& Bindings::bind(const ui::MenuList& list, HMENU menu, int position,
                                      int first_id, int most) {
    return add<MenuListBinding>(list, menu, position, first_id, most);
}

ControlBinding* Bindings::of(HWND window) const {
    for (ControlBinding* binding : controls_) {
        if (binding->window() == window) {
            return binding;
        }
    }
    return nullptr;
}

void Bindings::sync() {
    for (const auto& binding : bindings_) {
        binding->sync();
    }
}

} // namespace quorvel::win32
