#include "bad_input/hostile_input.h"

#include "exchange/text_exchange.h"
#include "layout/list_entry.h"
#include "support/scripted_host.h"
#include "ui/forms.h"

#include <algorithm>
#include <utility>

namespace quorvel::hostile {

namespace {

// The smallest settings block start every family's windows fit behind (DLLINFO stands at
// 600, its block number at 631 and 632).
constexpr std::int32_t small_settings_base = 2048;

test::VoicePlan small(test::VoicePlan shape, std::int32_t total_size) {
    shape.settings_base = small_settings_base;
    shape.total_size = total_size;
    shape.phrases = {"Turn left", "Turn right", "Arrived", "In 300 feet-keep left", ""};
    shape.phrases_ahead = 2;
    return shape;
}

std::vector<test::VoicePlan> make_small_voices() {
    constexpr std::int32_t size_7x0 = 8 * 1024;
    constexpr std::int32_t size_255w = 28 * 1024;
    std::vector<test::VoicePlan> shapes;
    shapes.push_back(small({}, size_7x0));

    test::VoicePlan runs = small({}, size_7x0);
    runs.table = test::TableVariant::cpp_li_nul_runs;
    runs.nul_runs = 3;
    shapes.push_back(runs);

    test::VoicePlan stretch = runs;
    stretch.nul_runs = 4;
    stretch.nul_run_gap = 0;
    shapes.push_back(stretch);

    test::VoicePlan voicefon = small({}, size_7x0);
    voicefon.table = test::TableVariant::voicefon;
    shapes.push_back(voicefon);

    test::VoicePlan walk = small({}, size_7x0);
    walk.model_flag = 1;
    walk.walk_groups = 3;
    walk.ptr_delta = 1000;
    shapes.push_back(walk);

    test::VoicePlan in_area = small({}, size_7x0);
    in_area.phrases_ahead = 0;
    in_area.rate_digits = "07";
    in_area.volume_digits = "00";
    shapes.push_back(in_area);

    shapes.push_back(small(test::plan_255w(), size_255w));

    test::VoicePlan far = small(test::plan_255w(), size_255w);
    far.ptr_delta = -3000000;
    far.voice_name = "Jill  ";
    far.screen_name = "";
    far.screen_name_width = 0;
    shapes.push_back(far);
    return shapes;
}

// The first broken rule of a run.
class Findings {
  public:
    void check(bool ok, std::string_view what) {
        if (!ok) {
            fail(std::string(what));
        }
    }
    void fail(std::string what) {
        if (first_.empty()) {
            first_ = std::move(what);
        }
    }
    const std::string& first() const { return first_; }

  private:
    std::string first_;
};

bool inside(const Bytes& image, std::int64_t pos, std::int64_t length) {
    return pos >= 0 && length >= 0 && pos + length <= static_cast<std::int64_t>(image.size());
}

// Whether the image holds `text` and a NUL from `pos` on.
bool holds(const Bytes& image, std::int64_t pos, std::string_view text) {
    const auto length = static_cast<std::int64_t>(text.size());
    return inside(image, pos, length + 1) && image[static_cast<std::size_t>(pos + length)] == 0 &&
           std::equal(text.begin(), text.end(), image.begin() + pos,
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

std::string form_export(const ui::Form1& form) {
    return *form.export_text_content();
}

// Showing a voice sets the scroll bars, whose change handling writes the rate and volume
// back as two digits (a field such as "0:" reads as 10 and is written as "10"). Nothing else
// changes.
void check_opening_writes(const Bytes& input, const OpenVoice& voice, Findings& findings) {
    const auto digits = [](std::int64_t pos, const std::optional<std::int32_t>& field) {
        return field && pos >= *field && pos < std::int64_t{*field} + 2;
    };
    findings.check(voice.image.size() == input.size(), "opening changed the image length");
    for (std::size_t i = 0; i < input.size() && i < voice.image.size(); ++i) {
        const auto pos = static_cast<std::int64_t>(i);
        if (input[i] != voice.image[i] && !digits(pos, voice.settings.rate_pos) &&
            !digits(pos, voice.settings.vol_pos)) {
            findings.fail("opening changed byte " + std::to_string(i));
            return;
        }
    }
}

// Every position opening found lies inside the image, and the list shows what the image
// held at each phrase pointer.
void check_found_positions(const Bytes& image, const OpenVoice& voice, Findings& findings) {
    const VoiceSettings& s = voice.settings;
    const PhraseTable& t = voice.table;
    findings.check(!s.rate_pos || inside(image, *s.rate_pos, 2), "rate digits outside the image");
    findings.check(inside(image, s.vol_pos, 2), "volume digits outside the image");
    findings.check(inside(image, s.screen_name_pos, s.screen_name_width),
                   "screen-name field outside the image");
    findings.check(inside(image, t.ptr_table_pos, 4 * (std::int64_t{t.phrase_count()} + 1)),
                   "phrase table outside the image");
    findings.check(inside(image, t.first_phrase_pos, 1), "first phrase outside the image");
    findings.check(t.text_end > t.text_start, "text_end not behind text_start");
    for (std::int32_t k = 0; k < t.phrase_count(); ++k) {
        const auto stored = byte2long(image, t.ptr_table_pos + 4 * std::int64_t{k});
        const std::string_view text = entry_text(t.entries[static_cast<std::size_t>(k)]);
        const std::int64_t pos = stored ? std::int64_t{*stored} + t.ptr_delta : -1;
        if (!holds(image, pos, text)) {
            findings.fail("phrase " + std::to_string(k + 1) + " (" + std::to_string(text.size()) +
                          " bytes listed from " + std::to_string(pos) +
                          ") is not what the image holds");
        }
    }
}

// After an import: no listed text holds a NUL (it would end the phrase in the image), and
// every listed text is what the image holds at the phrase's pointer.
void check_list_matches_image(const ui::Form1& form, Findings& findings) {
    const OpenVoice& voice = *form.voice();
    const auto& items = form.List1.items();
    findings.check(static_cast<std::int32_t>(items.size()) == voice.table.phrase_count(),
                   "the import changed the number of phrases");
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::string_view text = entry_text(items[k]);
        if (text.find('\0') != std::string_view::npos) {
            findings.fail("list entry " + std::to_string(k + 1) + " holds a NUL byte");
            continue;
        }
        const auto stored =
            byte2long(voice.image, voice.table.ptr_table_pos + 4 * static_cast<std::int64_t>(k));
        const std::int64_t pos = stored ? std::int64_t{*stored} + voice.table.ptr_delta : -1;
        if (!holds(voice.image, pos, text)) {
            findings.fail("list entry " + std::to_string(k + 1) +
                          " is not what the image holds after the import");
        }
    }
}

} // namespace

FoundFields::FoundFields(const Bytes& image, const VoiceSettings& settings,
                         const PhraseTable& table)
    : size_(static_cast<std::int64_t>(image.size())) {
    if (settings.rate_pos) {
        add(*settings.rate_pos, 2);
    }
    add(settings.vol_pos, 2);
    for (std::int32_t k = 0; k < table.phrase_count(); ++k) {
        const std::int64_t entry = std::int64_t{table.ptr_table_pos} + 4 * std::int64_t{k};
        add(entry, 4);
        if (const auto stored = byte2long(image, entry)) {
            const auto& text = table.entries[static_cast<std::size_t>(k)];
            add(std::int64_t{*stored} + table.ptr_delta,
                static_cast<std::int64_t>(entry_text(text).size()) + 1);
        }
    }
    add(table.text_end,
        std::int64_t{table.text_start} + table.buffer_capacity - std::int64_t{table.text_end});
    std::sort(ranges_.begin(), ranges_.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> merged;
    for (const auto& r : ranges_) {
        if (!merged.empty() && r.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, r.second);
        } else {
            merged.push_back(r);
        }
    }
    ranges_ = std::move(merged);
}

void FoundFields::add(std::int64_t begin, std::int64_t length) {
    const std::int64_t from = std::max<std::int64_t>(begin, 0);
    const std::int64_t to = std::min(begin + std::max<std::int64_t>(length, 0), size_);
    if (from < to) {
        ranges_.emplace_back(from, to);
    }
}

bool FoundFields::contains(std::int64_t pos) const {
    const auto after = std::upper_bound(
        ranges_.begin(), ranges_.end(), pos,
        [](std::int64_t p, const std::pair<std::int64_t, std::int64_t>& r) { return p < r.first; });
    return after != ranges_.begin() && pos < std::prev(after)->second;
}

std::string FoundFields::changes_outside(const Bytes& before, const Bytes& after) const {
    if (after.size() != before.size()) {
        return "the image length changed from " + std::to_string(before.size()) + " to " +
               std::to_string(after.size());
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i] && !contains(static_cast<std::int64_t>(i))) {
            return "byte " + std::to_string(i) + " changed outside the fields opening found";
        }
    }
    return {};
}

std::string open_and_reimport(std::span<const std::uint8_t> bytes) {
    const Bytes input(bytes.begin(), bytes.end());
    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_image(input);
    Findings findings;
    if (!form.voice()) {
        findings.check(host.messages.size() == 1 &&
                           host.messages[0].starts_with(not_a_voice_file_message),
                       "a refused file did not end in one refusal message");
        findings.check(form.List1.count() == 0, "a refused file left phrases in the list");
        return findings.first();
    }
    const OpenVoice& voice = *form.voice();
    findings.check(host.messages.empty(), "opening a voice showed a message");
    findings.check(form.List1.items() == voice.table.entries, "the list is not the phrase list");
    check_opening_writes(input, voice, findings);
    check_found_positions(input, voice, findings);
    if (!findings.first().empty()) {
        return findings.first();
    }
    const FoundFields fields(input, voice.settings, voice.table);
    form.import_text_content(form_export(form), "export.txt");
    return fields.changes_outside(input, form.voice()->image);
}

const std::vector<test::VoicePlan>& small_voices() {
    static const std::vector<test::VoicePlan> shapes = make_small_voices();
    return shapes;
}

std::string import_into_small_voice(std::span<const std::uint8_t> input) {
    static const std::vector<Bytes> images = [] {
        std::vector<Bytes> built;
        for (const auto& shape : small_voices()) {
            built.push_back(test::build_voice(shape).image);
        }
        return built;
    }();
    const std::size_t choice = input.empty() ? 0 : input.front() % images.size();
    const Bytes& before = images[choice];
    const std::string_view text =
        input.empty()
            ? std::string_view()
            : std::string_view(reinterpret_cast<const char*>(input.data()) + 1, input.size() - 1);

    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_image(before);
    if (!form.voice()) {
        return "small voice " + std::to_string(choice) + " does not open";
    }
    const FoundFields fields(before, form.voice()->settings, form.voice()->table);
    form.import_text_content(text, "import.txt");
    Findings findings;
    findings.check(form.voice().has_value(), "the import closed the voice");
    if (form.voice()) {
        if (std::string outside = fields.changes_outside(before, form.voice()->image);
            !outside.empty()) {
            findings.fail(std::move(outside));
        }
        check_list_matches_image(form, findings);
    }
    return findings.first();
}

std::string exported_text(const Bytes& bytes) {
    test::ScriptedHost host;
    ui::Form1 form(host);
    form.open_image(bytes);
    return form_export(form);
}

} // namespace quorvel::hostile
