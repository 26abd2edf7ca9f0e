#pragma once

// The program's windows without a toolkit: Form1 (the main window, its menus and handlers),
// Form2 (Modify TTS Expression), Find_Form and About_Form. A face shows them and forwards
// the user's input; everything the program does happens here.

#include "common/result.h"
#include "image/voice_image.h"
#include "layout/open_voice.h"
#include "speech/speech.h"
#include "ui/controls.h"
#include "ui/host.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::ui {

inline constexpr const char* application_name = "Quorvel";
inline constexpr const char* save_reminder = "You are about to save your modified TTS voice file. "
                                             "Please use the original .vpm file name for this to "
                                             "work.";

class Form1;

// Modify TTS Expression. Its target (list position and current text) is fixed when it is
// filled, so a later change of the list's selection cannot redirect its OK. Its buttons are
// clicked through Form1::click, which discards the window once a handler closed it.
class Form2 : public Window {
  public:
    explicit Form2(Form1& owner);

    Label N;
    TextBox Current;
    Label Label1;
    TextBox new_; // the toolkit's "new"
    Button Speak;
    // False while the import uses the window without showing it.
    bool shown() const { return shown_; }
    void show() {
        shown_ = true;
        bring_forward();
    }

    void fill(int target, const std::string& current_text);
    void Command3_Click(); // OK; stays open when New holds a character it cannot store
    void Command1_Click(); // Cancel
    void close_box();      // the frame's close button
    void Speak_Click();    // speaks New's text, or Current's while New is empty

  private:
    Form1& owner_;
    int target_ = -1;
    bool shown_ = false;
};

class Find_Form : public Window {
  public:
    explicit Find_Form(Form1& owner);

    Label Label1;
    TextBox Text2Find;

    void Command1_Click(); // Find
    void Command2_Click(); // Cancel
    void close_box();

  private:
    Form1& owner_;
};

class About_Form : public Window {
  public:
    About_Form();

    Label Label1;
    Label Label2;
    Label Label3;
    Label Label4;

    void Command1_Click(); // Close
    void close_box();
};

class Form1 {
  public:
    // Without a speech engine (no_speech()): Speak says why it cannot speak.
    explicit Form1(Host& host);
    Form1(Host& host, speech::Speech& speech);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1();

    // Controls; ui/window_tables.h gives their start state.
    Label Label4;
    Label voice_name;
    Label Label5;
    Label nuvi_model;
    Label Label1;
    Label voice_rate;
    ScrollBar HScroll1;
    Label Label2;
    Label voice_vol;
    ScrollBar HScroll2;
    Label Label6;
    TextBox screen_name;
    Label Label3;
    Label char_left;
    ListBox List1;
    // The Speech menu's entries that change; ui/window_tables.h names them.
    MenuEntry Speak;
    MenuEntry Stop;
    MenuEntry Automatic;
    MenuList Languages;

    // Menu entries.
    void Open_Click();
    void Save_Click();
    void Import_Click();
    void Export_Click();
    void Exit_Click();
    void Find_Click();
    void FindNext_Click();
    void About_Click();
    void Speak_Click(); // speaks the selected phrase's text
    void Stop_Click();
    void Automatic_Click();
    void Languages_Click(int i);

    // Events of the controls.
    void List1_DblClick();
    void HScroll1_Change();
    void HScroll2_Change();

    // The user's gestures beyond a menu entry, as operations the face, the import, the
    // command line and the tests share.

    // File > Open after its dialog returned `path`, also for a file named on the command line
    // or dropped: `path` becomes the file name and is opened; an empty one (the dialog was
    // cancelled) does nothing further.
    void open_chosen(const std::string& path);
    // File > Open after its dialog: load `path`, or report why it cannot be read.
    void open_path(const std::string& path);
    // File > Open from the identity check on, for bytes already read.
    void open_image(Bytes bytes);
    // File > Import after its dialog: the text file's bytes, or the message naming the file
    // and the reason it cannot be read.
    Result<std::string> read_text_file(const std::string& path);
    // File > Import after its dialog returned `path`, also for a dropped text file: refused
    // as Import refuses without a voice open, else `path` becomes the file name, is read and
    // imported.
    void import_chosen(const std::string& path);
    // Files dropped on the main window, one path per item (empty for an item that is not a
    // local file). One text file (a name ending in ".txt", in any case) is imported, one other
    // file is opened as a voice; anything else (several items, a folder, no local file) is
    // refused with one message that says what can be dropped, and nothing changes.
    void drop(const std::vector<std::string>& paths);
    // Whether `drop` imports or opens these paths rather than refusing them: the pointer shows
    // it while they are dragged over the window.
    static bool accepts_drop(const std::vector<std::string>& paths);
    // File > Import from the text file's bytes on; `path` names the file in a message. A
    // Unicode file is converted to the code page first; a character it cannot hold refuses
    // the whole import.
    void import_text_content(std::string_view file, const std::string& path);
    // File > Save after its dialog: the image as Save writes it, the screen name put into its
    // field; or the message why Save refuses (no voice open, a screen name it cannot store).
    // The bytes are the voice's own, valid until the voice next changes.
    Result<std::span<const std::uint8_t>> image_to_save();
    // File > Export before its file is written: the text, or the message why none can be.
    Result<std::string> export_text_content() const;
    // The text of phrase t (a list position), as the Modify window shows it in Current.
    std::string phrase_text(int t) const;
    // Phrase t (a list position) selected and double-clicked; then, when the Modify window
    // opened, `text` typed into New (with the first character a face could not convert, if
    // any) and OK clicked.
    void modify_phrase(int t, const std::string& text,
                       std::optional<std::string> unencodable = std::nullopt);
    // The Modify window for list position t, filled as the double-click fills it but not
    // shown: the import types into it and clicks its OK.
    Form2& modify_window(int t);
    // What the speech engine tells, on the window's thread: its languages fill the Language
    // menu; a reason it cannot speak is shown once, at the first Speak, and disables Speak.
    void speech_report(const speech::SpeechReport& report);
    // The language the voice's phrases speak, guessed when it was opened: a code of the
    // guess ("de"), "unknown" when the phrases do not make it clear, "" with no voice open.
    const std::string& language_guess() const { return language_guess_; }
    // The engine's code of the language Speak speaks in now: the one chosen in the Language
    // menu; under Automatic the guess, else the desktop's language, else English. Before the
    // engine told its languages, the guess ("" without one: the engine's own choice).
    std::string speech_language() const;
    // For the command line: phrase t (a list position) spoken in `language` ("" for
    // speech_language()) as a WAV file, or the message why not; a phrase with no speakable
    // text gives a file without sound.
    Result<std::string> phrase_wav(int t, const std::string& language);
    // Writes a sound file made by phrase_wav, or says why it could not.
    Result<> write_sound_file(const std::string& path, std::string_view wav);

    // A click on a button or the close box of a secondary window: the window's handler runs,
    // then the window is discarded when the handler closed it.
    template <class W> void click(W& window, void (W::*handler)()) {
        (window.*handler)();
        discard_closed_windows();
    }

    // The secondary windows, each present only while open.
    Form2* form2() { return form2_.get(); }
    Find_Form* find_form() { return find_form_.get(); }
    About_Form* about_form() { return about_form_.get(); }

    // True once Exit ran or the main window was closed: every window is gone.
    bool closed() const { return closed_; }

    // Program-wide state.
    const std::string& file_name() const { return file_name_; }
    const std::optional<OpenVoice>& voice() const { return voice_; }
    bool voice_open() const { return voice_.has_value(); }
    const std::string& find_text() const { return find_text_; }
    int find_pos() const { return find_pos_; }

    // Used by the secondary windows' handlers.
    Host& host() { return host_; }
    void apply_phrase_change(int target, const std::string& current, const std::string& text);
    void refresh_char_left();
    void find_first(const TextBox& text);
    // Speaks a text of the code page unless speech is known not to work.
    void speak_text(const std::string& text);

  private:
    void reject(const std::string& message);
    void show_voice();
    bool require_voice(const char* action);
    // Save's refusals of the voice as it stands, checked before its dialog.
    Result<> check_savable() const;
    void put_screen_name();
    // The double-click: the Modify window it opened, or none after a refusal.
    Form2* open_modify_window();
    void discard_closed_windows();
    // Speech cannot work: says why, the first time, and disables Speak everywhere.
    void speech_unavailable();
    // The index of the engine's language for `code`, matched in full, else by its first part.
    std::optional<std::size_t> language_index(const std::string& code) const;
    // The Language menu's check marks and Automatic's caption, which names its language.
    void show_language_choice();

    Host& host_;
    speech::Speech& speech_;
    std::optional<speech::SpeechLanguages> languages_;
    int language_choice_ = -1; // -1 for Automatic
    std::string language_guess_;
    std::optional<std::string> speech_problem_;
    bool spoken_ = false; // a Speak reached the engine
    bool speech_message_shown_ = false;
    std::string file_name_;
    std::optional<OpenVoice> voice_;
    std::string find_text_;
    // The last Find text held a character the code page cannot hold: it stands in no phrase,
    // so Find Next finds nothing either until the next Find.
    bool find_text_unmatchable_ = false;
    int find_pos_ = 0;
    bool closed_ = false;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Find_Form> find_form_;
    std::unique_ptr<About_Form> about_form_;
};

} // namespace quorvel::ui
