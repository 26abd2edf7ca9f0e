#include "qt/qt_host.h"

#include "qt/binding.h"
#include "ui/forms.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

namespace quorvel::qt {

QString name_filter(const std::string& description, const std::string& pattern) {
    const QString text = to_qstring(description);
    const QString bracketed = QStringLiteral("(%1)").arg(to_qstring(pattern));
    return text.endsWith(bracketed) ? text : text + QLatin1Char(' ') + bracketed;
}

void keep_no_settings() {
    const QString nowhere = QStringLiteral("/dev/null/settings");
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, nowhere);
        }
    }
}

void QtHost::attach(QWidget* parent, std::function<void()> sync) {
    parent_ = parent;
    sync_ = std::move(sync);
}

void QtHost::before_showing() const {
    if (sync_) {
        sync_();
    }
}

void QtHost::message_box(const std::string& text) {
    before_showing();
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromLatin1(ui::application_name));
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setText(to_qstring(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::string QtHost::open_file_dialog(const ui::FileDialogRequest& request) {
    return file_dialog(request, false);
}

std::string QtHost::save_file_dialog(const ui::FileDialogRequest& request) {
    return file_dialog(request, true);
}

std::string QtHost::file_dialog(const ui::FileDialogRequest& request, bool save) {
    before_showing();
    // Qt's own dialog: the same on every system, and its file-name box takes a whole path.
    QFileDialog dialog(parent_, to_qstring(request.title),
                       QString::fromStdString(request.initial_dir),
                       name_filter(request.filter_description, request.filter_pattern));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Opening a name that does not exist is the program's to report, not the dialog's.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !save || (request.flags & ui::overwrite_prompt) == 0);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return {};
    }
    // The chosen path without leading and trailing spaces, as the program takes it.
    QString path = chosen.front();
    while (path.startsWith(QLatin1Char(' '))) {
        path.remove(0, 1);
    }
    while (path.endsWith(QLatin1Char(' '))) {
        path.chop(1);
    }
    // The next dialog starts where this one ended.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return path.toStdString();
}

} // namespace quorvel::qt
