#include "cli/info_json.h"

#include "ui/codepage.h"

#include <cstdio>

namespace quorvel::cli {

std::string json_string(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string info_json(const ui::Form1& form, bool with_phrases) {
    const auto text = [](const std::string& single_byte) {
        return json_string(ui::to_utf8(single_byte));
    };
    std::string out =
        "{\"family\":" + text(form.nuvi_model.caption()) +
        ",\"voice_name\":" + text(form.voice_name.caption()) +
        ",\"screen_name\":" + text(form.screen_name.text()) +
        ",\"field_width\":" + std::to_string(form.screen_name.max_length().value_or(0)) +
        ",\"rate\":" + (form.HScroll1.enabled() ? std::to_string(form.HScroll1.value()) : "null") +
        ",\"volume\":" + std::to_string(form.HScroll2.value()) +
        ",\"phrase_count\":" + std::to_string(form.List1.count()) +
        ",\"bytes_left\":" + form.char_left.caption() +
        ",\"language\":" + json_string(form.language_guess());
    if (with_phrases) {
        out += ",\"phrases\":[";
        for (int t = 0; t < form.List1.count(); ++t) {
            out += (t == 0 ? "" : ",") + text(form.phrase_text(t));
        }
        out += "]";
    }
    return out + "}";
}

} // namespace quorvel::cli
