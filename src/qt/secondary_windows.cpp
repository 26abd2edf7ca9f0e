#include "qt/secondary_windows.h"

#include "ui/window_tables.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace quorvel::qt {

SecondaryWindow::SecondaryWindow(ui::Form1& owner, ui::Window& model,
                                 std::function<void()> after_event, QWidget* parent)
    : QDialog(parent), owner_(owner), model_(&model), after_event_(std::move(after_event)) {
    setModal(false);
    setFont(form_font());
}

void SecondaryWindow::frame(ui::FrameKind kind, const QSize& client) {
    if (kind == ui::FrameKind::fixed_dialog) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        setFixedSize(client);
    } else {
        setWindowFlags(Qt::Window);
        resize(client);
    }
}

void SecondaryWindow::sync(bool bring_forward) {
    if (!attached()) {
        return;
    }
    bindings_.sync();
    if (bring_forward) {
        show();
        raise();
        activateWindow();
    }
}

void SecondaryWindow::detach() {
    model_ = nullptr;
    hide();
    deleteLater();
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    close_box_();
    event->accept();
}

void SecondaryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !ui::escape_closes_a_window) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

Form2Window::Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                         QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent) {
    build(form, ui::form2_window);
}

FindWindow::FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
                       QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent) {
    build(form, ui::find_window);
}

AboutWindow::AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                         QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent) {
    build(form, ui::about_window);
}

} // namespace quorvel::qt
