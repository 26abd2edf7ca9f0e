#include "ui/forms.h"

#include "ui/messages.h"
#include "ui/window_tables.h"

namespace quorvel::ui {

Form2::Form2(Form1& owner) : owner_(owner) {
    apply_start_state(*this, form2_window);
}

Find_Form::Find_Form(Form1& owner) : owner_(owner) {
    apply_start_state(*this, find_window);
}

About_Form::About_Form() {
    apply_start_state(*this, about_window);
}

void Form2::fill(int target, const std::string& current_text) {
    target_ = target;
    Current.set_text(current_text);
}

void Form2::Command3_Click() {
    if (new_.unencodable()) {
        owner_.host().message_box(unencodable_message("new text", *new_.unencodable()));
        // The window stays, in front, with the user's text, so it can be corrected.
        bring_forward();
        return;
    }
    owner_.apply_phrase_change(target_, Current.text(), new_.text());
    close();
}

void Form2::Command1_Click() {
    owner_.refresh_char_left();
    close();
}

void Form2::close_box() {
    close();
}

void Form2::Speak_Click() {
    owner_.speak_text(new_.text().empty() ? Current.text() : new_.text());
}

void Find_Form::Command1_Click() {
    owner_.find_first(Text2Find);
    close();
}

void Find_Form::Command2_Click() {
    close();
}

void Find_Form::close_box() {
    close();
}

void About_Form::Command1_Click() {
    close();
}

void About_Form::close_box() {
    close();
}

} // namespace quorvel::ui
