#pragma once

// The main window, bound to the program's Form1: its controls and menus, built from the
// window's table, and the secondary windows the program opens.

#include "qt/binding.h"
#include "qt/secondary_windows.h"
#include "ui/face_sync.h"
#include "ui/forms.h"

#include <QMainWindow>
#include <QPointer>

#include <string>

namespace quorvel::qt {

class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(ui::Form1& form, QWidget* parent = nullptr);

    // Brings every widget up to date with the program, and opens, closes and raises the
    // secondary windows as the program has them.
    void sync();
    // File > Open after its dialog returned `path`: the file named on the command line.
    void open_chosen(const std::string& path);

    // Where the speech engine's reports go: each is handed over to the window's thread, where
    // the program takes it (speech_report).
    speech::Speech::Reporter reporter();
    void speech_report(const speech::SpeechReport& report);

  private:
    void closeEvent(QCloseEvent* event) override;
    // Files dragged over the window and dropped on it, for the program to open or import.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The key rules of the phrase list.
    bool eventFilter(QObject* watched, QEvent* event) override;

    void build_menus();
    // Runs a handler of Form1 for the user's input, then `after_event`.
    void run(void (ui::Form1::*handler)());
    // Runs what choosing the i-th of the program's entries of a menu starts, then `after_event`.
    void run(void (ui::Form1::*choose)(int), int i);
    // Runs after every handler the user's input called: one sync, then the end of the
    // program once it closed.
    void after_event();
    void shut_down();

    template <class Window, class Model>
    void sync_window(QPointer<Window>& window, ui::WindowFollower& follower, Model* model,
                     bool shown);

    ui::Form1& form_;
    Bindings bindings_;
    QPointer<Form2Window> form2_window_;
    QPointer<FindWindow> find_window_;
    QPointer<AboutWindow> about_window_;
    ui::WindowFollower form2_follower_;
    ui::WindowFollower find_follower_;
    ui::WindowFollower about_follower_;
};

} // namespace quorvel::qt
