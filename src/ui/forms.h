#pragma once

// The program's windows without a toolkit: Form1 (the main window, its menus and handlers),
// Form2 (Modify TTS Expression), Find_Form and About_Form. A face shows them and forwards
// the user's input; everything the program does happens here.

#include "image/voice_image.h"
#include "layout/open_voice.h"
#include "ui/controls.h"
#include "ui/host.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::ui {

inline constexpr const char* main_caption = "Quorvel v" QUORVEL_CAPTION_VERSION;
inline constexpr const char* application_name = "Quorvel";
inline constexpr const char* save_reminder = "You are about to save your modified TTS voice file. "
                                             "Please use the original .vpm file name for this to "
                                             "work.";

class Form1;

// Modify TTS Expression. Its target (list position and current text) is fixed when it is
// filled, so a later change of the list's selection cannot redirect its OK.
class Form2 : public Window {
  public:
    explicit Form2(Form1& owner) : owner_(owner) { Current.set_read_only(true); }

    Label N{"Current:"};
    TextBox Current;
    Label Label1{"New:"};
    TextBox new_; // the toolkit's "new"
    int target() const { return target_; }
    // False while the import uses the window without showing it.
    bool shown() const { return shown_; }
    void show() {
        shown_ = true;
        bring_forward();
    }

    void fill(int target, const std::string& current_text);
    void Command3_Click(); // OK
    void Command1_Click(); // Cancel
    void close_box();      // the frame's close button

  private:
    Form1& owner_;
    int target_ = -1;
    bool shown_ = false;
};

class Find_Form : public Window {
  public:
    explicit Find_Form(Form1& owner) : owner_(owner) {}

    Label Label1{"Find what:"};
    TextBox Text2Find;

    void Command1_Click(); // Find
    void Command2_Click(); // Cancel
    void close_box();

  private:
    Form1& owner_;
};

class About_Form : public Window {
  public:
    explicit About_Form(Form1& owner) : owner_(owner) {}

    Label Label1{"Garmin Quorvel v" QUORVEL_CAPTION_VERSION};
    Label Label2{"Quorvel, a voice file editor by the Quorvel developers"};
    Label Label3{"Find latest version here:"};
    Label Label4{"https://quorvel.example.org/releases"};

    void Command1_Click(); // Close
    void close_box();

  private:
    Form1& owner_;
};

// The voice file that is open: its image and everything opening found in it.
struct OpenVoice {
    Bytes image;
    VoiceSettings settings;
    PhraseTable table;
};

class Form1 {
  public:
    explicit Form1(Host& host);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1();

    // Controls, in the state the program starts with.
    Label Label4{"Voice Name:"};
    Label voice_name;
    Label Label5{"VPM Type:"};
    Label nuvi_model;
    Label Label1{"Rate:"};
    Label voice_rate{"45"};
    ScrollBar HScroll1;
    Label Label2{"Volume:"};
    Label voice_vol{"80"};
    ScrollBar HScroll2;
    Label Label6{"Screen Name:"};
    TextBox screen_name;
    Label Label3{"Chars left:"};
    Label char_left;
    ListBox List1;

    // Menu entries.
    void Open_Click();
    void Save_Click();
    void Import_Click();
    void Export_Click();
    void Exit_Click();
    void Find_Click();
    void FindNext_Click();
    void About_Click();

    // Events of the controls.
    void List1_DblClick();
    void HScroll1_Change();
    void HScroll2_Change();

    // File > Open after its dialog: load `path`, or report why it cannot be read.
    void open_path(const std::string& path);
    // File > Open from the identity check on, for bytes already read.
    void open_image(Bytes bytes);
    // File > Import after its dialog: the text file's bytes, or empty after a message
    // naming the file and the reason it cannot be read.
    std::optional<std::string> read_text_file(const std::string& path);
    // File > Import from the read text on.
    void import_text_content(std::string_view text);

    // The secondary windows, each present only while open.
    Form2* form2() { return form2_.get(); }
    Find_Form* find_form() { return find_form_.get(); }
    About_Form* about_form() { return about_form_.get(); }

    // True once Exit ran or the main window was closed: every window is gone.
    bool closed() const { return closed_; }

    // Program-wide state.
    const std::string& file_name() const { return file_name_; }
    const std::optional<OpenVoice>& voice() const { return voice_; }
    const std::string& find_text() const { return find_text_; }
    int find_pos() const { return find_pos_; }

    // Used by the secondary windows.
    Host& host() { return host_; }
    void apply_phrase_change(int target, const std::string& current, const std::string& text);
    void refresh_char_left();
    void find_first(const TextBox& text);
    void discard_form2();
    void discard_find_form();
    void discard_about_form();

  private:
    friend class ImportDriver;

    void reject(const std::string& message);
    void show_voice();
    bool require_voice(const char* action);

    Host& host_;
    std::string file_name_;
    std::optional<OpenVoice> voice_;
    std::string find_text_;
    int find_pos_ = 0;
    bool closed_ = false;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Find_Form> find_form_;
    std::unique_ptr<About_Form> about_form_;
};

} // namespace quorvel::ui
