#include "ui/window_rows.h"

#include <cctype>

namespace quorvel::ui {

std::string shortcut_text(const Shortcut& key) {
    std::string text;
    if (key.ctrl) {
        text += "Ctrl+";
    }
    if (key.shift) {
        text += "Shift+";
    }
    if (key.letter != 0) {
        text += key.letter;
    } else if (key.function_key != 0) {
        text += "F" + std::to_string(key.function_key);
    }
    return text;
}

std::string mnemonic_caption(const char* caption, char mnemonic) {
    const std::string text = caption;
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (mnemonic != 0 && lower(text[i]) == lower(mnemonic)) {
            return text.substr(0, i) + "&" + text.substr(i);
        }
    }
    return text;
}

double scale_for_points(double desktop_points) {
    return desktop_points > 0 ? desktop_points / drawn_for_points : 1.0;
}

double scale_for_dpi(int dpi) {
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

int scaled(int pixels, double factor) {
    const double exact = pixels * factor;
    return static_cast<int>(exact >= 0 ? exact + 0.5 : exact - 0.5);
}

Rect scaled(const Rect& place, double factor) {
    return {scaled(place.left, factor), scaled(place.top, factor), scaled(place.width, factor),
            scaled(place.height, factor)};
}

Size scaled(const Size& size, double factor) {
    return {scaled(size.width, factor), scaled(size.height, factor)};
}

} // namespace quorvel::ui
