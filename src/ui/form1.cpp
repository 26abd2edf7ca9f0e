#include "ui/forms.h"

#include "common/file_path.h"
#include "common/wide_path.h"
#include "edit/phrase_edit.h"
#include "edit/rate_volume.h"
#include "exchange/file_write.h"
#include "exchange/text_exchange.h"
#include "exchange/text_file.h"
#include "exchange/voice_save.h"
#include "layout/list_entry.h"
#include "search/find.h"
#include "speech/language_guess.h"
#include "ui/codepage.h"
#include "ui/messages.h"
#include "ui/window_tables.h"

#include <algorithm>
#include <cctype>

namespace quorvel::ui {

namespace {

const char* const not_a_tts_file = "not a TTS file";
const char* const modify_first_refusal = "Sorry! You can't modify string 1 in this release.";
const char* const not_found = "Search item not found";
const char* const not_found_again = "Search item not found. Hit F3 again to search from top";
const char* const drop_refusal = "Drop one file on the window: a voice file to open it, or a "
                                 "text file (.txt) to import it into the open voice.";
const char* const speech_not_available = "Speech is not available: ";

std::string no_voice_message(const char* action) {
    return std::string("No voice file is open. Open a voice file before you ") + action + ".";
}

// Whether a text (UTF-8) holds anything an engine would say: a letter, a digit or a sign
// such as the euro's; spaces and punctuation alone are not spoken.
bool speakable(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (std::isalnum(c) != 0) {
            return true;
        }
        // A character beyond ASCII: U+00A0 to U+00BF are signs and punctuation, so is most of
        // U+2000 to U+206F (E2 80 80 to E2 81 AF); the currency signs from U+20A0 on are not.
        if (c == 0xC2) {
            const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
            if (next >= 0xA2 && next <= 0xA5) {
                return true;
            }
        } else if (c == 0xE2 && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            if (next != 0x80 && next != 0x81) {
                return true;
            }
        } else if (c >= 0xC3 && c != 0xE2) {
            return true;
        }
    }
    return false;
}

enum class DropAction { refuse, open, import };

bool names_a_text_file(const std::string& path) {
    static constexpr std::string_view extension = ".txt";
    if (path.size() < extension.size()) {
        return false;
    }
    return std::equal(
        extension.begin(), extension.end(), path.end() - extension.size(),
        [](char wanted, char c) { return wanted == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

DropAction drop_action(const std::vector<std::string>& paths) {
    if (paths.size() != 1 || paths.front().empty()) {
        return DropAction::refuse;
    }
    if (is_folder(paths.front())) {
        return DropAction::refuse;
    }
    return names_a_text_file(paths.front()) ? DropAction::import : DropAction::open;
}

FileDialogRequest voice_dialog(const char* title, std::uint32_t flags) {
    return {title, "Garmin VPM (*.vpm)", "*.vpm", flags, current_folder()};
}

FileDialogRequest text_dialog(const char* title, std::uint32_t flags) {
    return {title, "Text TXT (*.txt)", "*.txt", flags, current_folder()};
}

// Drives the window for the import, through its controls and the Modify window's OK.
class ImportDriver : public ImportTarget {
  public:
    explicit ImportDriver(Form1& form) : f_(form) {}

    std::string voice_name() const override { return f_.voice_name.caption(); }
    std::string nuvi_model() const override { return f_.nuvi_model.caption(); }
    std::optional<int> rate_maximum() const override {
        if (!f_.voice() || !f_.voice()->settings.rate_pos) {
            return std::nullopt;
        }
        return f_.HScroll1.maximum();
    }
    int rate() const override { return f_.HScroll1.value(); }
    void set_rate(int value) override {
        f_.HScroll1.set_value(value);
        f_.voice_rate.set_caption(signed_number(f_.HScroll1.value()));
    }
    void set_volume(int value) override {
        f_.HScroll2.set_value(value);
        f_.voice_vol.set_caption(signed_number(f_.HScroll2.value()));
    }
    void set_screen_name(const std::string& text) override { f_.screen_name.set_text(text); }
    int phrase_count() const override { return f_.List1.count(); }
    std::string entry(int position) const override {
        return f_.List1.items()[static_cast<std::size_t>(position)];
    }
    void apply_phrase(int position, const std::string& new_text) override {
        f_.List1.set_focus();
        f_.List1.select(position);
        Form2& modify = f_.modify_window(position);
        modify.new_.set_text(new_text);
        f_.click(modify, &Form2::Command3_Click);
    }

  private:
    Form1& f_;
};

} // namespace

Form1::Form1(Host& host) : Form1(host, speech::no_speech()) {}

Form1::Form1(Host& host, speech::Speech& speech) : host_(host), speech_(speech) {
    apply_start_state(*this, form1_window);
    show_language_choice();
    HScroll1.on_change = [this] { HScroll1_Change(); };
    HScroll2.on_change = [this] { HScroll2_Change(); };
}

Form1::~Form1() = default;

void Form1::Open_Click() {
    open_chosen(
        host_.open_file_dialog(voice_dialog("Open Garmin TTS Voice File...", hide_read_only)));
}

void Form1::open_chosen(const std::string& path) {
    file_name_ = path;
    if (file_name_.empty()) {
        return;
    }
    open_path(file_name_);
}

void Form1::open_path(const std::string& path) {
    auto loaded = load_file(path);
    if (!loaded) {
        host_.message_box("The file " + quoted_path(path) +
                          " cannot be opened: " + loaded.message());
        return;
    }
    open_image(std::move(*loaded));
}

void Form1::open_image(Bytes bytes) {
    // A Modify window belongs to the voice it was opened on.
    form2_.reset();
    auto opened = open_voice(std::move(bytes));
    if (!opened) {
        reject(opened.message());
        return;
    }
    voice_ = std::move(*opened);
    show_voice();
}

void Form1::reject(const std::string& message) {
    host_.message_box(message);
    voice_.reset();
    language_guess_.clear();
    show_language_choice();
    Label3.set_visible(false);
    char_left.set_visible(false);
    voice_rate.set_visible(false);
    voice_vol.set_visible(false);
    screen_name.set_visible(false);
    voice_name.set_caption("");
    HScroll1.set_enabled(false);
    HScroll2.set_enabled(false);
    nuvi_model.set_caption(not_a_tts_file);
    List1.clear();
}

void Form1::show_voice() {
    const VoiceSettings& s = voice_->settings;
    Label3.set_visible(true);
    char_left.set_visible(true);
    voice_rate.set_visible(true);
    voice_vol.set_visible(true);

    HScroll1.set_enabled(true);
    if (s.model_flag != 0) {
        HScroll1.set_maximum(99);
        HScroll1.set_value(*s.rate);
        voice_rate.set_caption(signed_number(*s.rate));
    } else {
        // The rate of this family is fixed: the bar stands disabled at 100, which its
        // change handling never writes.
        HScroll1.set_maximum(100);
        HScroll1.set_value(100);
        HScroll1.set_enabled(false);
        voice_rate.set_caption(signed_number(100));
    }
    nuvi_model.set_caption(s.family_caption);

    screen_name.set_text(s.screen_name);
    screen_name.set_max_length(s.screen_name_width);
    screen_name.set_visible(true);
    voice_name.set_caption(s.voice_name);

    HScroll2.set_enabled(true);
    HScroll2.set_value(s.volume);
    voice_vol.set_caption(signed_number(s.volume));

    refresh_char_left();
    List1.set_items(voice_->table.entries);

    std::vector<std::string> phrases;
    for (int t = 0; t < List1.count(); ++t) {
        phrases.push_back(to_utf8(phrase_text(t)));
    }
    language_guess_ = speech::guess_language(phrases);
    show_language_choice();
}

void Form1::HScroll1_Change() {
    const int v = HScroll1.value();
    if (v >= 100 || !voice_ || !voice_->settings.rate_pos) {
        return;
    }
    voice_rate.set_caption(signed_number(v));
    write_two_digits(voice_->image, *voice_->settings.rate_pos, v);
}

void Form1::HScroll2_Change() {
    if (!voice_) {
        return;
    }
    const int v = HScroll2.value();
    voice_vol.set_caption(signed_number(v));
    write_two_digits(voice_->image, voice_->settings.vol_pos, v);
}

bool Form1::require_voice(const char* action) {
    if (voice_) {
        return true;
    }
    host_.message_box(no_voice_message(action));
    return false;
}

void Form1::Save_Click() {
    if (!require_voice("save")) {
        return;
    }
    host_.message_box(save_reminder);
    // Refused before the dialog, so the user does not pick a file for nothing.
    if (const auto savable = check_savable(); !savable) {
        host_.message_box(savable.message());
        return;
    }
    file_name_ = host_.save_file_dialog(
        voice_dialog("Save Garmin TTS Voice File...", overwrite_prompt | hide_read_only));
    if (file_name_.empty()) {
        return;
    }
    put_screen_name();
    if (const auto saved = save_image(file_name_, voice_->image); !saved) {
        host_.message_box("The voice file " + quoted_path(file_name_) +
                          " could not be saved: " + saved.message());
    }
}

Result<std::span<const std::uint8_t>> Form1::image_to_save() {
    if (const auto savable = check_savable(); !savable) {
        return failure(savable.message());
    }
    put_screen_name();
    return std::span<const std::uint8_t>(voice_->image);
}

Result<> Form1::check_savable() const {
    if (!voice_) {
        return failure(no_voice_message("save"));
    }
    if (screen_name.unencodable()) {
        return failure(unencodable_message("screen name", *screen_name.unencodable()));
    }
    // The screen-name field ends at the next "<": the next opening would read a shorter
    // field, or a tag inside it.
    if (screen_name.text().find('<') != std::string::npos) {
        return failure("The screen name holds \"<\", which would end its field in the voice "
                       "file. Nothing was saved.");
    }
    return {};
}

void Form1::put_screen_name() {
    const VoiceSettings& s = voice_->settings;
    write_screen_name(voice_->image, s.screen_name_pos, s.screen_name_width, screen_name.text());
}

void Form1::Export_Click() {
    // Refused before the dialog, so the user does not pick a file for nothing.
    if (screen_name.unencodable()) {
        host_.message_box(unencodable_message("screen name", *screen_name.unencodable()));
        return;
    }
    file_name_ =
        host_.save_file_dialog(text_dialog("Export Text...", overwrite_prompt | hide_read_only));
    if (file_name_.empty()) {
        return;
    }
    const auto text = export_text_content();
    if (!text) {
        host_.message_box(text.message());
        return;
    }
    if (const auto written = write_file_atomically(file_name_, *text); !written) {
        host_.message_box("The text file " + quoted_path(file_name_) +
                          " could not be written: " + written.message());
    }
}

Result<std::string> Form1::export_text_content() const {
    if (screen_name.unencodable()) {
        return failure(unencodable_message("screen name", *screen_name.unencodable()));
    }
    return export_text({voice_name.caption(), nuvi_model.caption(), voice_rate.caption(),
                        voice_vol.caption(), screen_name.text(), List1.items()});
}

void Form1::Import_Click() {
    if (!require_voice("import a text file")) {
        return;
    }
    import_chosen(host_.open_file_dialog(text_dialog("Import Text...", hide_read_only)));
}

void Form1::import_chosen(const std::string& path) {
    if (!require_voice("import a text file")) {
        return;
    }
    file_name_ = path;
    if (file_name_.empty()) {
        return;
    }
    const auto text = read_text_file(file_name_);
    if (!text) {
        host_.message_box(text.message());
        return;
    }
    import_text_content(*text, file_name_);
}

bool Form1::accepts_drop(const std::vector<std::string>& paths) {
    return drop_action(paths) != DropAction::refuse;
}

void Form1::drop(const std::vector<std::string>& paths) {
    switch (drop_action(paths)) {
    case DropAction::open:
        open_chosen(paths.front());
        return;
    case DropAction::import:
        import_chosen(paths.front());
        return;
    case DropAction::refuse:
        host_.message_box(drop_refusal);
        return;
    }
}

void Form1::import_text_content(std::string_view file, const std::string& path) {
    if (!require_voice("import a text file")) {
        return;
    }
    const Encoded text = text_file_to_code_page(file);
    if (text.unencodable) {
        host_.message_box("The text file " + quoted_path(path) + " holds at line " +
                          std::to_string(line_at(text.bytes, text.unencodable_at)) +
                          " the character " + code_point_name(*text.unencodable) +
                          ", which a voice file cannot store. Nothing was imported.");
        return;
    }
    // The import replaces what a Modify window shows: close it first.
    form2_.reset();
    ImportDriver driver(*this);
    if (const auto imported = import_text(text.bytes, driver); !imported) {
        host_.message_box(imported.message());
    }
}

Result<std::string> Form1::read_text_file(const std::string& path) {
    auto loaded = load_text(path);
    if (!loaded) {
        return failure("The text file " + quoted_path(path) +
                       " cannot be read: " + loaded.message());
    }
    return loaded;
}

void Form1::Exit_Click() {
    speech_.stop();
    form2_.reset();
    find_form_.reset();
    about_form_.reset();
    closed_ = true;
}

void Form1::List1_DblClick() {
    open_modify_window();
}

Form2* Form1::open_modify_window() {
    const int t = List1.selected();
    if (t < 0) {
        return nullptr;
    }
    if (t == 0) {
        host_.message_box(modify_first_refusal);
        return nullptr;
    }
    if (t > List1.count() - 1 || !voice_) {
        return nullptr;
    }
    Form2& modify = modify_window(t);
    modify.show();
    find_pos_ = t;
    return &modify;
}

Form2& Form1::modify_window(int t) {
    if (!form2_) {
        form2_ = std::make_unique<Form2>(*this);
        form2_->Speak.set_enabled(Speak.enabled());
    }
    form2_->fill(t, phrase_text(t));
    form2_->new_.set_text("");
    return *form2_;
}

std::string Form1::phrase_text(int t) const {
    return std::string(entry_text(List1.items().at(static_cast<std::size_t>(t))));
}

void Form1::modify_phrase(int t, const std::string& text, std::optional<std::string> unencodable) {
    List1.select(t);
    if (Form2* modify = open_modify_window()) {
        modify->new_.type(text, std::move(unencodable));
        click(*modify, &Form2::Command3_Click);
    }
}

void Form1::apply_phrase_change(int target, const std::string& current, const std::string& text) {
    if (!require_voice("change a phrase")) {
        return;
    }
    if (const auto written = write_phrase(voice_->image, voice_->table, target, current, text);
        !written) {
        host_.message_box(written.message());
        return;
    }
    List1.set_item(target, list_entry(target + 1, text));
    refresh_char_left();
}

void Form1::refresh_char_left() {
    if (voice_) {
        char_left.set_caption(std::to_string(voice_->table.bytes_left()));
    }
}

void Form1::Find_Click() {
    if (!find_form_) {
        find_form_ = std::make_unique<Find_Form>(*this);
    }
    find_form_->bring_forward();
}

void Form1::find_first(const TextBox& text) {
    find_text_ = to_lower(text.text());
    find_text_unmatchable_ = text.unencodable().has_value();
    find_pos_ = 0;
    const int i =
        find_text_unmatchable_ ? -1 : find_entry(List1.items(), 0, find_text_, lower_case());
    if (i < 0) {
        host_.message_box(not_found);
        return;
    }
    find_pos_ = i;
    List1.select(i);
}

void Form1::FindNext_Click() {
    const int i = find_text_unmatchable_
                      ? -1
                      : find_entry(List1.items(), find_pos_ + 1, find_text_, lower_case());
    if (i < 0) {
        host_.message_box(not_found_again);
        find_pos_ = -1; // the next Find Next searches from the top, index 0 included
        return;
    }
    find_pos_ = i;
    List1.select(i);
}

void Form1::About_Click() {
    if (!about_form_) {
        about_form_ = std::make_unique<About_Form>();
    }
    about_form_->bring_forward();
}

void Form1::Speak_Click() {
    const int t = List1.selected();
    if (t >= 0 && voice_) {
        speak_text(phrase_text(t));
    }
}

void Form1::speak_text(const std::string& text) {
    if (speech_problem_) {
        speech_unavailable();
        return;
    }
    const std::string utf8 = to_utf8(text);
    if (!speakable(utf8)) {
        speech_.stop();
        return;
    }
    spoken_ = true;
    speech_.speak(utf8, speech_language());
}

void Form1::Stop_Click() {
    speech_.stop();
}

void Form1::Automatic_Click() {
    language_choice_ = -1;
    show_language_choice();
}

void Form1::Languages_Click(int i) {
    if (languages_ && i >= 0 && i < static_cast<int>(languages_->list.size())) {
        language_choice_ = i;
        show_language_choice();
    }
}

void Form1::speech_report(const speech::SpeechReport& report) {
    if (report.languages) {
        languages_ = report.languages;
        std::vector<std::string> names;
        for (const auto& language : languages_->list) {
            names.push_back(from_utf8(language.name).bytes);
        }
        Languages.set_items(std::move(names));
        language_choice_ = -1;
        show_language_choice();
    }
    if (!report.unavailable.empty()) {
        speech_problem_ = report.unavailable;
        if (spoken_) {
            speech_unavailable();
        }
    }
}

void Form1::speech_unavailable() {
    Speak.set_enabled(false);
    Stop.set_enabled(false);
    if (form2_) {
        form2_->Speak.set_enabled(false);
    }
    if (!speech_message_shown_) {
        speech_message_shown_ = true;
        host_.message_box(speech_not_available + from_utf8(*speech_problem_).bytes);
    }
}

std::optional<std::size_t> Form1::language_index(const std::string& code) const {
    if (!languages_ || code.empty()) {
        return std::nullopt;
    }
    const auto& list = languages_->list;
    const std::string first = code.substr(0, code.find('-'));
    for (const std::string& wanted : {code, first}) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].code == wanted) {
                return i;
            }
        }
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].code.rfind(first + "-", 0) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

std::string Form1::speech_language() const {
    const std::string guess =
        language_guess_ == speech::unknown_language ? std::string() : language_guess_;
    if (!languages_ || languages_->list.empty()) {
        return guess;
    }
    if (language_choice_ >= 0) {
        return languages_->list[static_cast<std::size_t>(language_choice_)].code;
    }
    for (const std::string& code : {guess, languages_->desktop, std::string("en")}) {
        if (const auto i = language_index(code)) {
            return languages_->list[*i].code;
        }
    }
    return languages_->list.front().code;
}

void Form1::show_language_choice() {
    Automatic.set_checked(language_choice_ < 0);
    Languages.set_checked(language_choice_);
    std::string caption = menu_row_named(form1_menus, "Automatic")->caption;
    if (const auto i = language_index(speech_language()); i && language_choice_ < 0) {
        caption += " (" + from_utf8(languages_->list[*i].name).bytes + ")";
    }
    Automatic.set_caption(caption);
}

Result<std::string> Form1::phrase_wav(int t, const std::string& language) {
    const std::string utf8 = to_utf8(phrase_text(t));
    auto wav = speech_.wav(speakable(utf8) ? utf8 : std::string(),
                           language.empty() ? speech_language() : language);
    if (!wav) {
        return failure(speech_not_available + from_utf8(wav.message()).bytes);
    }
    return wav;
}

Result<> Form1::write_sound_file(const std::string& path, std::string_view wav) {
    if (const auto written = write_file_atomically(path, wav); !written) {
        return failure("The sound file " + quoted_path(path) +
                       " could not be written: " + written.message());
    }
    return {};
}

void Form1::discard_closed_windows() {
    if (form2_ && form2_->closed()) {
        form2_.reset();
    }
    if (find_form_ && find_form_->closed()) {
        find_form_.reset();
    }
    if (about_form_ && about_form_->closed()) {
        about_form_.reset();
    }
}

} // namespace quorvel::ui
