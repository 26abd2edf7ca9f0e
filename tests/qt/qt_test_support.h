#pragma once

// What the Qt tests share: the main window over a Form1 whose dialogs a script answers, a
// voice written to a temporary file, lookups by object name, and answers to real modal
// dialogs.

#include "qt/main_window.h"
#include "support/scripted_host.h"
#include "support/voice_builder.h"
#include "ui/window_tables.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <string>

namespace quorvel::test {

// The named descendant of `parent`; throws when there is none, which fails the test.
template <class T = QWidget> T* child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (found == nullptr) {
        throw std::runtime_error("no child named " + name.toStdString());
    }
    return found;
}

// The windows of the program that are alive: detached ones are deleted first.
template <class Window> QList<Window*> live_windows(const QWidget* main) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return main->findChildren<Window*>();
}

// What a widget shows as its caption: a label's or a button's text, a frame's title, a
// line edit's text.
inline QString caption_of(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->title();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text();
    }
    return {};
}

// The named widgets that take the keyboard by Tab, in the order Tab visits them.
inline QStringList tab_order(QWidget* window) {
    QStringList names;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && !w->objectName().isEmpty()) {
            names << w->objectName();
        }
    }
    return names;
}

inline QRect qrect(const ui::Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

// Checks each widget that `client` holds against its row of the window's table, as built and
// before the program changed anything: name, container, place (scaled by `scale`), caption,
// start state, text look, Enter, what a screen reader says; and Tab's order. A failed check
// is recorded in the test.
template <class Form>
void compare_with_table(QWidget* client, const ui::WindowTable<Form>& window, double scale = 1.0) {
    QStringList focusable;
    for (const auto& row : window.controls) {
        const QString name = QString::fromLatin1(row.name);
        QWidget* widget = child(client, name);
        const char* container = *row.container != '\0' ? row.container : nullptr;
        QCOMPARE(widget->parentWidget()->objectName(),
                 container ? QString::fromLatin1(container) : client->objectName());
        QCOMPARE(widget->geometry(), qrect(ui::scaled(row.place, scale)));
        if (row.kind() == ui::Kind::button) {
            QCOMPARE(caption_of(widget),
                     QString::fromLatin1(ui::mnemonic_caption(row.caption, row.mnemonic).c_str()));
        } else if (row.kind() != ui::Kind::text_box && row.kind() != ui::Kind::list_box) {
            QCOMPARE(caption_of(widget), QString::fromLatin1(row.caption));
        }
        QCOMPARE(widget->isHidden(), row.has(ui::hidden));
        QCOMPARE(widget->isEnabled(), !row.has(ui::disabled));
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            QCOMPARE(label->alignment() == Qt::AlignCenter, row.has(ui::centred_text));
            QCOMPARE(label->wordWrap(), row.has(ui::wraps));
            QCOMPARE(label->font().pointSizeF(),
                     (row.has(ui::title_font) ? ui::title_points : ui::drawn_for_points) * scale);
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            // A focused button of a dialog is its default too: only the row's default is fixed.
            QVERIFY(button->isDefault() || !row.has(ui::default_button));
            QCOMPARE(button->autoDefault(), !row.has(ui::no_enter));
        }
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(widget);
        const QString spoken = QString::fromLatin1(row.spoken);
        if (row.kind() == ui::Kind::label) {
            QCOMPARE(reader->text(QAccessible::Description), spoken);
        } else if (!spoken.isEmpty()) {
            QCOMPARE(reader->text(QAccessible::Name), spoken);
        }
        if (row.takes_focus()) {
            focusable << name;
        }
    }
    QCOMPARE(tab_order(client->window()), focusable);
}

struct Editor {
    QTemporaryDir folder;
    ScriptedHost host;
    ui::Form1 form{host};
    qt::MainWindow window{form};

    // Writes `voice` to a file and returns its path.
    std::string write_voice(const VoicePlan& voice, const char* name = "voice.vpm") const {
        const std::string path = folder.filePath(QString::fromLatin1(name)).toStdString();
        write_file(path, build_voice(voice).image);
        return path;
    }
    // Opens `voice` through File > Open.
    void open(const VoicePlan& voice = {}) {
        host.answers.push_back(write_voice(voice));
        trigger("Open");
    }
    void trigger(const char* action) const { child<QAction>(&window, action)->trigger(); }
    // A control of the main window (the secondary windows have names of their own).
    template <class T = QWidget> T* control(const char* name) const {
        return child<T>(window.centralWidget(), QString::fromLatin1(name));
    }
    // Shows the main window and waits until it is the active window.
    bool show_active() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

// Answers the next modal dialog of type `Dialog` from inside its event loop. A modal widget
// of another type is closed and counted in `strays`.
template <class Dialog>
void answer_modal(std::function<void(Dialog*)> answer, int* strays = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, strays] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            answer(dialog);
        } else {
            if (strays != nullptr) {
                ++*strays;
            }
            modal->close();
        }
    });
    timer->start();
}

} // namespace quorvel::test
