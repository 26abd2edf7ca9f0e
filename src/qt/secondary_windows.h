#pragma once

// The windows besides the main one: Modify TTS Expression (Form2), Find and About. Each
// shows one window of the program layer while that window exists; when the program
// discards it, the face detaches it and never touches it again. The references the
// subclasses keep to the program's window are used only through `click` and `close_box`,
// which never run once detached.

#include "qt/binding.h"
#include "ui/forms.h"

#include <QDialog>

#include <cstdint>
#include <functional>

namespace quorvel::qt {

class SecondaryWindow : public QDialog {
    Q_OBJECT

  public:
    std::uint64_t id() const { return id_; }
    bool attached() const { return model_ != nullptr; }
    // Shows the program's state and brings the window forward when the program asks.
    void sync();
    // The program discarded the window: hides it, forgets the program's window and deletes
    // itself once control is back in the event loop.
    void detach();

  protected:
    // `after_event` runs after each handler this window calls.
    SecondaryWindow(ui::Form1& owner, ui::Window& model, std::function<void()> after_event,
                    QWidget* parent, Qt::WindowFlags flags);
    // Clicks a button of the program's window (through its owner, which discards the window
    // when the handler closed it), then runs `after_event`; nothing once detached.
    template <class W> void click(W& model, void (W::*handler)()) {
        if (!attached()) {
            return;
        }
        owner_.click(model, handler);
        after_event_();
    }
    virtual void close_box() = 0;

    Bindings bindings_;

  private:
    void closeEvent(QCloseEvent* event) override;
    // No key is bound to Cancel or Close: Escape does not close the window.
    void keyPressEvent(QKeyEvent* event) override;

    ui::Form1& owner_;
    ui::Window* model_;
    std::uint64_t id_;
    std::uint64_t raise_requests_ = 0;
    std::function<void()> after_event_;
};

class Form2Window final : public SecondaryWindow {
    Q_OBJECT

  public:
    Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                QWidget* parent);

  private:
    void close_box() override;
    ui::Form2& form_;
};

class FindWindow final : public SecondaryWindow {
    Q_OBJECT

  public:
    FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
               QWidget* parent);

  private:
    void close_box() override;
    ui::Find_Form& form_;
};

class AboutWindow final : public SecondaryWindow {
    Q_OBJECT

  public:
    AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                QWidget* parent);

  private:
    void close_box() override;
    ui::About_Form& form_;
};

} // namespace quorvel::qt
