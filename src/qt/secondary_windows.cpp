#include "qt/secondary_windows.h"

#include "qt/form_widgets.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quorvel::qt {

SecondaryWindow::SecondaryWindow(ui::Form1& owner, ui::Window& model,
                                 std::function<void()> after_event, QWidget* parent,
                                 Qt::WindowFlags flags)
    : QDialog(parent, flags), owner_(owner), model_(&model), id_(model.id()),
      after_event_(std::move(after_event)) {
    setModal(false);
    setFont(form_font());
}

void SecondaryWindow::sync() {
    if (!attached()) {
        return;
    }
    bindings_.sync();
    if (isHidden() || model_->raise_requests() != raise_requests_) {
        raise_requests_ = model_->raise_requests();
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
    close_box();
    event->accept();
}

void SecondaryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

Form2Window::Form2Window(ui::Form1& owner, ui::Form2& form, std::function<void()> after_event,
                         QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Modify TTS Expression"));
    resize(scaled(QSize(626, 287)));

    // Controls are created in tab order.
    bindings_.bind(form_.N, add_label(this, "N", {24, 40, 105, 17}));
    auto* current = add_line_edit(this, "Current", {24, 64, 577, 19});
    current->setAccessibleName(QStringLiteral("Current"));
    bindings_.bind(form_.Current, current);
    bindings_.bind(form_.Label1, add_label(this, "Label1", {24, 144, 81, 17}));
    auto* new_text = add_line_edit(this, "new", {24, 168, 577, 19});
    new_text->setAccessibleName(QStringLiteral("New"));
    bindings_.bind(form_.new_, new_text);
    auto* cancel = add_button(this, "Command1", {136, 232, 97, 25}, QStringLiteral("Cancel"));
    auto* ok = add_button(this, "Command3", {352, 232, 97, 25}, QStringLiteral("OK"));

    // Neither button answers Enter: a phrase is changed by pressing OK itself.
    cancel->setAutoDefault(false);
    ok->setAutoDefault(false);
    current->setFocus();

    connect(ok, &QPushButton::clicked, this, [this] { click(form_, &ui::Form2::Command3_Click); });
    connect(cancel, &QPushButton::clicked, this,
            [this] { click(form_, &ui::Form2::Command1_Click); });
}

void Form2Window::close_box() {
    click(form_, &ui::Form2::close_box);
}

FindWindow::FindWindow(ui::Form1& owner, ui::Find_Form& form, std::function<void()> after_event,
                       QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("Find_Form"));
    setWindowTitle(QStringLiteral("Find"));
    resize(scaled(QSize(312, 81)));

    // Controls are created in tab order.
    bindings_.bind(form_.Label1, add_label(this, "Label1", {8, 16, 65, 17}));
    auto* text = add_line_edit(this, "Text2Find", {64, 16, 145, 19});
    text->setAccessibleName(QStringLiteral("Find what"));
    bindings_.bind(form_.Text2Find, text);
    auto* find = add_button(this, "Command1", {232, 16, 73, 17}, QStringLiteral("Find"));
    auto* cancel = add_button(this, "Command2", {232, 40, 73, 17}, QStringLiteral("Cancel"));

    find->setDefault(true);
    text->setFocus();

    connect(find, &QPushButton::clicked, this,
            [this] { click(form_, &ui::Find_Form::Command1_Click); });
    connect(cancel, &QPushButton::clicked, this,
            [this] { click(form_, &ui::Find_Form::Command2_Click); });
}

void FindWindow::close_box() {
    click(form_, &ui::Find_Form::close_box);
}

AboutWindow::AboutWindow(ui::Form1& owner, ui::About_Form& form, std::function<void()> after_event,
                         QWidget* parent)
    : SecondaryWindow(owner, form, std::move(after_event), parent,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      form_(form) {
    setObjectName(QStringLiteral("About_Form"));
    setWindowTitle(QStringLiteral("About Quorvel"));
    setFixedSize(scaled(QSize(243, 148)));

    auto* title = add_label(this, "Label1", {8, 8, 225, 17});
    QFont title_font = form_font();
    title_font.setPointSizeF(9.75 * form_scale());
    title->setFont(title_font);
    title->setAlignment(Qt::AlignCenter);
    bindings_.bind(form_.Label1, title);
    auto* author = add_label(this, "Label2", {8, 32, 233, 25});
    author->setAlignment(Qt::AlignCenter);
    author->setWordWrap(true);
    bindings_.bind(form_.Label2, author);
    bindings_.bind(form_.Label3, add_label(this, "Label3", {56, 64, 137, 17}));
    auto* address = add_label(this, "Label4", {40, 80, 185, 33});
    address->setWordWrap(true);
    bindings_.bind(form_.Label4, address);
    auto* close = add_button(this, "Command1", {72, 112, 97, 25}, QStringLiteral("Close"));
    close->setFocus();

    connect(close, &QPushButton::clicked, this,
            [this] { click(form_, &ui::About_Form::Command1_Click); });
}

void AboutWindow::close_box() {
    click(form_, &ui::About_Form::close_box);
}

} // namespace quorvel::qt
