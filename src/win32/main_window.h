#pragma once

// The main window, bound to the program's Form1: its controls, menus and shortcut keys, built
// from the window's tables, and the secondary windows the program opens. It takes files
// dropped on it, and the reports of the program's speech engine.

#include "speech/speech.h"
#include "ui/face_sync.h"
#include "ui/forms.h"
#include "win32/form_window.h"
#include "win32/secondary_windows.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quorvel::win32 {

class MainWindow final : public FormWindow {
  public:
    MainWindow(ui::Form1& form, ui::Host& host);
    ~MainWindow() override;

    // Brings every control up to date with the program, and opens, closes and raises the
    // secondary windows as the program has them.
    void sync();
    // A key before its window gets it: the menus' shortcut keys in the main window, and in
    // every window of the program the dialog keys (Tab, Return, Escape, arrows). True when the
    // key was used here.
    bool translate(MSG& message);
    // Opens the file as File > Open opens the path its dialog returned, once the window is
    // shown and the messages before run.
    void open_when_shown(const std::string& path);
    // Where the speech engine's reports go: called on the engine's thread, it hands each one
    // to the window's thread, where the program takes it. Valid while this window exists.
    speech::Speech::Reporter reporter();

  private:
    LRESULT handle(UINT message, WPARAM w, LPARAM l) override;
    // The menu bar and the shortcut keys, from the menu table.
    HMENU build_menus_and_keys();
    void run(void (ui::Form1::*handler)());
    void run(void (ui::Form1::*choose)(int), int i);
    // A menu entry the program put there, chosen; false for another id.
    bool choose_entry(int id);
    // The files dropped on the window, given to the program.
    void dropped(HDROP drop);
    // The speech engine's reports that reached the window's thread, each given to the program.
    void take_speech_reports();
    // After every gesture: one sync, then the end of the program once it closed.
    void after_event();
    // Runs the handler of a list's double-click or Return, with the selection the user left.
    bool list_gesture(HWND list, void (ui::Form1::*handler)());

    template <class Window, class Model>
    void sync_window(std::unique_ptr<Window>& window, ui::WindowFollower& follower, Model* model,
                     bool shown);

    struct MenuList {
        const MenuListBinding* binding;
        void (ui::Form1::*choose)(int);
    };

    ui::Form1& form_;
    HACCEL keys_ = nullptr;
    std::vector<MenuList> menu_lists_;
    std::mutex reports_mutex_;
    std::deque<speech::SpeechReport> reports_;
    std::unique_ptr<Form2Window> form2_window_;
    std::unique_ptr<FindWindow> find_window_;
    std::unique_ptr<AboutWindow> about_window_;
    ui::WindowFollower form2_follower_;
    ui::WindowFollower find_follower_;
    ui::WindowFollower about_follower_;
    // Discarded windows, deleted once the message that discarded them has been handled.
    std::vector<std::unique_ptr<SecondaryWindow>> discarded_;
    std::string file_to_open_;
};

} // namespace quorvel::win32
