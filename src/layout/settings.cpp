#include "layout/settings.h"

#include <cmath>

namespace quorvel {

namespace {

constexpr std::int32_t window_above = 1024; // every settings window ends at base + 1025
constexpr std::int32_t window_below = 512;  // the name and volume windows start at base - 512

// The value of a two-digit field, (first - 48) * 10 + (second - 48), when both bytes lie in
// the image and the value is one a scroll bar can take (0 to 99).
std::optional<int> two_digit_field(const Bytes& image, std::int32_t pos) {
    const auto tens = byte_at(image, pos);
    const auto units = byte_at(image, std::int64_t{pos} + 1);
    if (!tens || !units) {
        return std::nullopt;
    }
    const int value = (*tens - 48) * 10 + (*units - 48);
    if (value < 0 || value > 99) {
        return std::nullopt;
    }
    return value;
}

struct TextField {
    std::int32_t pos = 0;
    std::string text; // the field's bytes, untrimmed
};

// The text behind a tag searched from base - 512, up to the byte before the next "<".
std::optional<TextField> text_field(const Bytes& image, std::int32_t base, std::string_view tag) {
    const std::int32_t r = find_forward(image, base - window_below, base + window_above, tag);
    if (r == 0) {
        return std::nullopt;
    }
    const std::int32_t s = r + static_cast<std::int32_t>(tag.size());
    const std::int32_t e = find_forward(image, s, base + window_above, "<");
    if (e == 0) {
        return std::nullopt;
    }
    return TextField{s, std::string(image.begin() + s, image.begin() + e)};
}

std::string without_trailing_blanks(std::string text) {
    const auto last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

// settings_base = 2^model_flag x (w x 512), when it lies where every window fits below it
// and it starts inside the image.
Result<std::int32_t> settings_base(const Bytes& image, std::uint8_t model_flag) {
    const std::int32_t p = find_forward(image, 1, 65536, "DLLINFO");
    const auto low = byte_at(image, std::int64_t{p} + 31);
    const auto high = byte_at(image, std::int64_t{p} + 32);
    if (p == 0 || !low || !high) {
        return failure("The settings block number (\"DLLINFO\") could not be found.");
    }
    const std::int32_t w = *low + 256 * *high;
    const double base = std::pow(2.0, model_flag) * static_cast<double>(w * 512);
    if (base < window_below || base >= static_cast<double>(image.size())) {
        return failure("The settings block lies outside the file.");
    }
    return static_cast<std::int32_t>(std::lround(base));
}

} // namespace

Result<VoiceSettings> find_settings(const Bytes& image) {
    VoiceSettings settings;
    const auto model = byte_at(image, 98);
    if (!model) {
        return failure("The file ends inside its header.");
    }
    settings.model_flag = *model;
    const auto base = settings_base(image, settings.model_flag);
    if (!base) {
        return failure(base.message());
    }

    const std::int32_t r = find_forward(image, *base, *base + window_above, "<voice_rate>");
    const bool rate_field = r != 0 && byte_at(image, std::int64_t{r} + 13).has_value();
    if (rate_field) {
        settings.rate_pos = r + 12;
    }
    if (settings.model_flag != 0) {
        if (!rate_field) {
            return failure("The voice rate field could not be found.");
        }
        settings.rate = two_digit_field(image, *settings.rate_pos);
        if (!settings.rate) {
            return failure("The voice rate is not a number from 0 to 99.");
        }
        settings.family_caption = std::string(family_7x0_caption);
    } else {
        settings.family_caption = std::string(family_255w_caption);
    }

    const auto screen = text_field(image, *base, "<screen_name>");
    if (!screen) {
        return failure("The screen name field could not be found.");
    }
    settings.screen_name_pos = screen->pos;
    settings.screen_name_width = static_cast<std::int32_t>(screen->text.size());
    settings.screen_name = without_trailing_blanks(screen->text);

    const auto voice = text_field(image, *base, "<tny_screen_name>");
    if (!voice) {
        return failure("The voice name field could not be found.");
    }
    settings.voice_name = voice->text;

    const std::int32_t v =
        find_forward(image, *base - window_below, *base + window_above, "<voice_volume>");
    if (v == 0) {
        return failure("The voice volume field could not be found.");
    }
    settings.vol_pos = v + 14;
    const auto volume = two_digit_field(image, settings.vol_pos);
    if (!volume) {
        return failure("The voice volume is not a number from 0 to 99.");
    }
    settings.volume = *volume;
    return settings;
}

} // namespace quorvel
