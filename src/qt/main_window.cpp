#include "qt/main_window.h"

#include "qt/form_widgets.h"
#include "ui/window_tables.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>

namespace quorvel::qt {

namespace {

constexpr int client_width = 601;
constexpr int client_height = 456;

// A horizontal bar whose Left and Right keys move it as its arrow buttons do (Qt's own bar
// reverses them), and which shows a focus mark while it has the keyboard.
class FormScrollBar final : public QScrollBar {
  public:
    explicit FormScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

  private:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Left) {
            triggerAction(SliderSingleStepSub);
        } else if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Right) {
            triggerAction(SliderSingleStepAdd);
        } else {
            QScrollBar::keyPressEvent(event);
        }
    }
    void paintEvent(QPaintEvent* event) override {
        QScrollBar::paintEvent(event);
        if (!hasFocus()) {
            return;
        }
        // The style draws a focus frame only after a keyboard focus change: draw one always.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QScrollBar* add_scroll_bar(QWidget* parent, const char* name, const QRect& geometry) {
    auto* bar = new FormScrollBar(parent);
    // Tab reaches the bar, so rate and volume can be set from the keyboard.
    bar->setFocusPolicy(Qt::StrongFocus);
    place(bar, name, geometry);
    return bar;
}

} // namespace

MainWindow::MainWindow(ui::Form1& form, QWidget* parent) : QMainWindow(parent), form_(form) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ui::form1_window.caption));
    setFont(form_font());
    build_menus();
    build_controls();
    sync();
    const QSize client = scaled(QSize(client_width, client_height));
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    centre_on_screen(this);
}

void MainWindow::build_controls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    const auto after_change = [this] { after_event(); };

    // Controls are created in tab order: the list first, with the keyboard at start-up.
    auto* list = new QListWidget(client);
    place(list, "List1", {8, 144, 585, 303});
    bindings_.bind(form_.List1, list);
    connect(list, &QListWidget::itemDoubleClicked, this, [this] {
        form_.List1_DblClick();
        after_event();
    });
    // Return and keypad Enter do what the double-click does, for the keyboard.
    list->installEventFilter(this);
    list->setAccessibleName(QStringLiteral("Phrases"));
    list->setFocus();

    auto* info = add_frame(client, "Frame2", {8, 8, 209, 65}, QStringLiteral("VPM Info"));
    bindings_.bind(form_.Label4, add_label(info, "Label4", {8, 16, 73, 17}));
    bindings_.bind(form_.voice_name, add_label(info, "voice_name", {80, 16, 113, 17}));
    bindings_.bind(form_.Label5, add_label(info, "Label5", {8, 40, 81, 17}));
    bindings_.bind(form_.nuvi_model, add_label(info, "nuvi_model", {80, 40, 121, 17}));

    auto* parameters =
        add_frame(client, "Frame1", {224, 8, 209, 65}, QStringLiteral("Voice Parameters"));
    bindings_.bind(form_.Label1, add_label(parameters, "Label1", {8, 16, 89, 17}));
    bindings_.bind(form_.voice_rate, add_label(parameters, "voice_rate", {80, 16, 33, 17}));
    auto* rate = add_scroll_bar(parameters, "HScroll1", {120, 16, 73, 17});
    bindings_.bind(form_.HScroll1, rate, after_change);
    bindings_.bind(form_.Label2, add_label(parameters, "Label2", {8, 40, 57, 17}));
    bindings_.bind(form_.voice_vol, add_label(parameters, "voice_vol", {80, 40, 17, 17}));
    auto* volume = add_scroll_bar(parameters, "HScroll2", {120, 40, 73, 17});
    bindings_.bind(form_.HScroll2, volume, after_change);

    auto* displayed =
        add_frame(client, "Frame3", {8, 80, 425, 57}, QStringLiteral("Displayed Voice Name"));
    bindings_.bind(form_.Label6, add_label(displayed, "Label6", {8, 24, 73, 17}));
    auto* screen_name = add_line_edit(displayed, "screen_name", {80, 24, 329, 19});
    bindings_.bind(form_.screen_name, screen_name);

    auto* buffer = add_frame(client, "Frame4", {448, 80, 137, 57}, QStringLiteral("Buffer"));
    bindings_.bind(form_.Label3, add_label(buffer, "Label3", {8, 24, 57, 17}));
    bindings_.bind(form_.char_left, add_label(buffer, "char_left", {64, 24, 41, 17}));

    // The window's tab order: the list, the volume, the rate, the screen name.
    setTabOrder(list, volume);
    setTabOrder(volume, rate);
    setTabOrder(rate, screen_name);

    // What a screen reader says: each value by its name, each value label with its caption.
    rate->setAccessibleName(QStringLiteral("Rate"));
    volume->setAccessibleName(QStringLiteral("Volume"));
    screen_name->setAccessibleName(QStringLiteral("Screen Name"));
    for (const auto& [value, caption] :
         {std::pair{"voice_name", "Voice Name"}, std::pair{"nuvi_model", "VPM Type"},
          std::pair{"voice_rate", "Rate"}, std::pair{"voice_vol", "Volume"},
          std::pair{"char_left", "Chars left"}}) {
        client->findChild<QLabel*>(QString::fromLatin1(value))
            ->setAccessibleDescription(QString::fromLatin1(caption));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            modifiers == Qt::NoModifier) {
            form_.List1_DblClick();
            after_event();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::build_menus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    add_action(file, "Open", QStringLiteral("&Open"), &ui::Form1::Open_Click);
    add_action(file, "Save", QStringLiteral("&Save"), &ui::Form1::Save_Click);
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    add_action(file, "Import", QStringLiteral("&Import"), &ui::Form1::Import_Click);
    add_action(file, "Export", QStringLiteral("&Export"), &ui::Form1::Export_Click);
    file->addSeparator()->setObjectName(QStringLiteral("sep2"));
    add_action(file, "Exit", QStringLiteral("E&xit"), &ui::Form1::Exit_Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit"));
    add_action(edit, "Find", QStringLiteral("&Find"), &ui::Form1::Find_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    add_action(edit, "FindNext", QStringLiteral("Find &Next"), &ui::Form1::FindNext_Click)
        ->setShortcut(QKeySequence(Qt::Key_F3));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    add_action(help, "About", QStringLiteral("&About"), &ui::Form1::About_Click);
}

QAction* MainWindow::add_action(QMenu* menu, const char* name, const QString& text,
                                void (ui::Form1::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { run(handler); });
    return action;
}

void MainWindow::run(void (ui::Form1::*handler)()) {
    (form_.*handler)();
    after_event();
}

template <class Window, class Model>
void MainWindow::sync_window(QPointer<Window>& window, Model* model, bool wanted) {
    // A window of the program layer is bound to one instance: a new instance gets a new window.
    if (window && (!wanted || window->id() != model->id())) {
        window->detach();
        window = nullptr;
    }
    if (wanted && !window) {
        window = new Window(
            form_, *model, [this] { after_event(); }, this);
    }
    if (window) {
        window->sync();
    }
}

void MainWindow::sync() {
    bindings_.sync();
    ui::Form2* form2 = form_.form2();
    sync_window(form2_window_, form2, form2 != nullptr && form2->shown());
    sync_window(find_window_, form_.find_form(), form_.find_form() != nullptr);
    sync_window(about_window_, form_.about_form(), form_.about_form() != nullptr);
}

void MainWindow::after_event() {
    sync();
    if (form_.closed()) {
        shut_down();
    }
}

void MainWindow::shut_down() {
    close();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box ends the program as Exit does, without a question.
    if (!form_.closed()) {
        form_.Exit_Click();
        sync();
    }
    event->accept();
}

} // namespace quorvel::qt
