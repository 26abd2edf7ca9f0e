#include "qt/main_window.h"

#include "qt/form_widgets.h"
#include "ui/window_tables.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <vector>

namespace quorvel::qt {

namespace {

// The local file a dragged item names, as the system names it: on Linux byte for byte, a name
// that is not UTF-8 included. Empty for an item that is not a local file.
std::string local_path(const QUrl& url) {
    if (!url.isLocalFile() || !url.host().isEmpty()) {
        return {};
    }
#if defined(Q_OS_UNIX)
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
#else
    return url.toLocalFile().toStdString();
#endif
}

// One path per dragged item, as the program takes a drop.
std::vector<std::string> dropped_paths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        paths.push_back(local_path(url));
    }
    return paths;
}

} // namespace

MainWindow::MainWindow(ui::Form1& form, QWidget* parent) : QMainWindow(parent), form_(form) {
    const auto& window = ui::form1_window;
    setObjectName(QString::fromLatin1(window.name));
    setWindowTitle(QString::fromLatin1(window.caption));
    setFont(form_font());
    build_menus();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    build_controls<ui::Form1>(
        client, form_, window, bindings_, [this] { after_event(); },
        [this](void (ui::Form1::*handler)()) { run(handler); });
    // The list's double-click, and the keys that do what it does.
    auto* list = client->findChild<QListWidget*>();
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this] { run(&ui::Form1::List1_DblClick); });
    list->installEventFilter(this);
    // The window takes every drop itself: none reaches the screen name as text.
    for (auto* widget : client->findChildren<QWidget*>()) {
        widget->setAcceptDrops(false);
    }
    setAcceptDrops(true);

    sync();
    const QSize size = scaled(window.client);
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
    centre_on_screen(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            modifiers == Qt::NoModifier) {
            run(ui::return_on_list);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::build_menus() {
    QMap<QString, QMenu*> menus;
    for (const auto& row : ui::form1_menus) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption =
            QString::fromLatin1(ui::mnemonic_caption(row.caption, row.mnemonic).c_str());
        QMenu* parent = menus.value(QString::fromLatin1(row.parent));
        if (row.menu()) {
            QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            continue;
        }
        QAction* action = row.separator() ? parent->addSeparator() : parent->addAction(caption);
        action->setObjectName(name);
        if (row.shortcut) {
            action->setShortcut(
                QKeySequence(QString::fromLatin1(ui::shortcut_text(row.shortcut).c_str())));
        }
        if (row.operation != nullptr) {
            const auto operation = row.operation;
            connect(action, &QAction::triggered, this, [this, operation] { run(operation); });
        }
        if (row.state != nullptr) {
            bindings_.bind(form_.*row.state, action, row.mnemonic);
        }
        if (row.entries != nullptr) {
            const auto choose = row.choose;
            bindings_.bind(form_.*row.entries, parent, action,
                           [this, choose](int i) { run(choose, i); });
        }
    }
}

void MainWindow::run(void (ui::Form1::*handler)()) {
    (form_.*handler)();
    after_event();
}

void MainWindow::run(void (ui::Form1::*choose)(int), int i) {
    (form_.*choose)(i);
    after_event();
}

template <class Window, class Model>
void MainWindow::sync_window(QPointer<Window>& window, ui::WindowFollower& follower, Model* model,
                             bool shown) {
    const ui::WindowFollower::Step step = follower.follow(model, shown);
    if (step.discard && window) {
        window->detach();
        window = nullptr;
    }
    if (step.create) {
        window = new Window(
            form_, *model, [this] { after_event(); }, this);
    }
    if (window) {
        window->sync(step.bring_forward);
    }
}

void MainWindow::sync() {
    bindings_.sync();
    ui::Form2* form2 = form_.form2();
    sync_window(form2_window_, form2_follower_, form2, form2 != nullptr && form2->shown());
    sync_window(find_window_, find_follower_, form_.find_form(), true);
    sync_window(about_window_, about_follower_, form_.about_form(), true);
}

void MainWindow::speech_report(const speech::SpeechReport& report) {
    form_.speech_report(report);
    after_event();
}

speech::Speech::Reporter MainWindow::reporter() {
    // Called on the engine's thread until the engine is closed, which comes before the window
    // goes: the report waits in the window's event queue, which drops it with the window.
    return [this](const speech::SpeechReport& report) {
        QMetaObject::invokeMethod(
            this, [this, report] { speech_report(report); }, Qt::QueuedConnection);
    };
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

void MainWindow::open_chosen(const std::string& path) {
    form_.open_chosen(path);
    after_event();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (ui::Form1::accepts_drop(dropped_paths(*event->mimeData()))) {
        // A copy: the program that the files come from keeps them.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Once the drop has ended: a message box must not hold up the program it came from.
    QMetaObject::invokeMethod(
        this,
        [this, paths = dropped_paths(*event->mimeData())] {
            form_.drop(paths);
            after_event();
        },
        Qt::QueuedConnection);
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
