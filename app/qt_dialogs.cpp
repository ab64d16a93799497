#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

void TQtDialogs::ShowModalMessage(const QString& text) {
    ShowBox(QMessageBox::NoIcon, text);
}

void TQtDialogs::ShowErrorBox(const QString& text) {
    ShowBox(QMessageBox::Critical, text);
}

std::optional<QString> TQtDialogs::RunOpenDialog(const TOpenDialogSettings& settings) {
    QFileDialog dialog(nullptr, QString(), QString(), QtFileFilter(settings.Filter));
    // A typed name of a file that does not exist is accepted too.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(settings.DefaultExt);
    if (!settings.FileName.isEmpty()) dialog.selectFile(settings.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}
