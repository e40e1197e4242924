#include "ui/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quarnel {

std::optional<std::string> QtPrompts::chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                                 const std::string& initialName) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromUtf8(defaultExtension.data(), static_cast<qsizetype>(defaultExtension.size())));
    dialog.selectFile(QString::fromStdString(initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtPrompts::showMessage(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QStringLiteral("Quarnel"), QString::fromStdString(text), QMessageBox::Ok);
}

bool QtPrompts::confirm(QWidget* parent, const std::string& text) {
    return QMessageBox::question(parent, QStringLiteral("Quarnel"), QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

}  // namespace quarnel
