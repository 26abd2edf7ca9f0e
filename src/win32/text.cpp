#include "win32/text.h"

namespace quorvel::win32 {

// wchar_t is UTF-16 on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring wide(std::string_view utf8) {
    const std::u16string text = ui::utf16_from_utf8(utf8);
    return {text.begin(), text.end()};
}

std::string utf8(std::wstring_view wide) {
    return ui::utf8_from_utf16(std::u16string(wide.begin(), wide.end()));
}

std::wstring shown(std::string_view single_byte) {
    return wide(ui::to_utf8(single_byte));
}

ui::Encoded typed(std::wstring_view text) {
    return ui::from_utf8(utf8(text));
}

std::wstring window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace quorvel::win32
