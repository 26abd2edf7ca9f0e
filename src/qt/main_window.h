#pragma once

// The main window, bound to the program's Form1: its controls, its menus, and the secondary
// windows the program opens.

#include "qt/binding.h"
#include "qt/secondary_windows.h"
#include "ui/forms.h"

#include <QMainWindow>
#include <QPointer>

class QMenu;

namespace quorvel::qt {

class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(ui::Form1& form, QWidget* parent = nullptr);

    // Brings every widget up to date with the program, and opens, closes and raises the
    // secondary windows as the program has them.
    void sync();

  private:
    void closeEvent(QCloseEvent* event) override;
    // Return and keypad Enter on the phrase list.
    bool eventFilter(QObject* watched, QEvent* event) override;

    void build_controls();
    void build_menus();
    QAction* add_action(QMenu* menu, const char* name, const QString& text,
                        void (ui::Form1::*handler)());
    // Runs a handler of Form1 for the user's input, then `after_event`.
    void run(void (ui::Form1::*handler)());
    // Runs after every handler the user's input called: one sync, then the end of the
    // program once it closed.
    void after_event();
    void shut_down();

    template <class Window, class Model>
    void sync_window(QPointer<Window>& window, Model* model, bool wanted);

    ui::Form1& form_;
    Bindings bindings_;
    QPointer<Form2Window> form2_window_;
    QPointer<FindWindow> find_window_;
    QPointer<AboutWindow> about_window_;
};

} // namespace quorvel::qt
