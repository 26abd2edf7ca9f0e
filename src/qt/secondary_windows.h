#pragma once

// The windows besides the main one: Modify TTS Expression (Form2), Find and About, each built
// from its table. Each shows one window of the program layer while that window exists; when
// the program discards it, the face detaches it and never touches it again. The references
// kept to the program's window are used only through `click` and the close box, which never
// run once detached.

#include "qt/binding.h"
#include "qt/form_widgets.h"
#include "ui/forms.h"
#include "ui/window_rows.h"

#include <QDialog>

#include <functional>

namespace quorvel::qt {

class SecondaryWindow : public QDialog {
    Q_OBJECT

  public:
    bool attached() const { return model_ != nullptr; }
    // Shows the program's state; `bring_forward` also shows the window and brings it to the
    // front.
    void sync(bool bring_forward);
    // The program discarded the window: hides it, forgets the program's window and deletes
    // itself once control is back in the event loop.
    void detach();

  protected:
    // `after_event` runs after each handler this window calls.
    SecondaryWindow(ui::Form1& owner, ui::Window& model, std::function<void()> after_event,
                    QWidget* parent);

    // Names, frames and sizes the window and builds its controls from its table.
    template <class Form> void build(Form& form, const ui::WindowTable<Form>& window) {
        setObjectName(QString::fromLatin1(window.name));
        setWindowTitle(QString::fromLatin1(window.caption));
        frame(window.frame, scaled(window.client));
        build_controls<Form>(this, form, window, bindings_, after_event_,
                             [this, &form](void (Form::*handler)()) { click(form, handler); });
        close_box_ = [this, &form] { click(form, &Form::close_box); };
    }

  private:
    void frame(ui::FrameKind kind, const QSize& client);
    // Clicks a button of the program's window (through its owner, which discards the window
    // when the handler closed it), then runs `after_event`; nothing once detached.
    template <class W> void click(W& model, void (W::*handler)()) {
        if (!attached()) {
            return;
        }
        owner_.click(model, handler);
        after_event_();
    }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Bindings bindings_;
    ui::Form1& owner_;
    ui::Window* model_;
    std::function<void()> after_event_;
    std::function<void()> close_box_;
};

class Form2Window final : public SecondaryWindow {
    Q_OBJECT

  public:
    Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                QWidget* parent);
};

class FindWindow final : public SecondaryWindow {
    Q_OBJECT

  public:
    FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
               QWidget* parent);
};

class AboutWindow final : public SecondaryWindow {
    Q_OBJECT

  public:
    AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                QWidget* parent);
};

} // namespace quorvel::qt
