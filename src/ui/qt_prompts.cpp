#include "ui/qt_prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QLineEdit>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace quarnel {
namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

std::optional<std::string> QtPrompts::chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                                 const std::string& initialName, std::string_view title) {
    QFileDialog dialog(parent, fromView(title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString extension = fromView(defaultExtension);
    dialog.setDefaultSuffix(extension);
    const QString kind = extension == QLatin1String("mus")   ? QStringLiteral("Music files")
                         : extension == QLatin1String("maj") ? QStringLiteral("MicroSiril files")
                         : extension == QLatin1String("pdf") ? QStringLiteral("PDF files")
                         : extension == QLatin1String("svg") ? QStringLiteral("SVG pictures")
                         : extension == QLatin1String("png") ? QStringLiteral("PNG pictures")
                                                             : QStringLiteral("Text files");
    dialog.setNameFilters({kind + QStringLiteral(" (*.") + extension + QStringLiteral(")"), QStringLiteral("All files (*)")});
    // A bare name is offered in the folder last used.
    const QFileInfo initial(QString::fromStdString(initialName));
    if (initial.isRelative() && !lastFolder_.isEmpty()) dialog.setDirectory(lastFolder_);
    else if (!initial.isRelative()) dialog.setDirectory(initial.absolutePath());
    dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

void QtPrompts::showMessage(QWidget* parent, const std::string& text, MessageKind kind) {
    const QString message = QString::fromStdString(text);
    const QString caption = QStringLiteral("Quarnel");
    switch (kind) {
    case MessageKind::Error:
        QMessageBox::critical(parent, caption, message, QMessageBox::Ok);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, caption, message, QMessageBox::Ok);
        break;
    case MessageKind::Information:
        QMessageBox::information(parent, caption, message, QMessageBox::Ok);
        break;
    }
}

bool QtPrompts::confirm(QWidget* parent, const std::string& text) {
    return QMessageBox::question(parent, QStringLiteral("Quarnel"), QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> QtPrompts::askText(QWidget* parent, const std::string& title, const std::string& label,
                                              const std::string& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, QString::fromStdString(title), QString::fromStdString(label),
                                               QLineEdit::Normal, QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtPrompts::editText(QWidget* parent, const std::string& title, const std::string& text) {
    QDialog box(parent);
    box.setWindowTitle(QString::fromStdString(title));
    auto* edit = new QPlainTextEdit(&box);
    edit->setObjectName(QStringLiteral("callingText"));
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setPlainText(QString::fromStdString(text));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    box.resize(640, 420);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return edit->toPlainText().toStdString();
}

Prompts::SaveChoice QtPrompts::askSaveChanges(QWidget* parent, const std::string& question) {
    const auto answer = QMessageBox::warning(parent, QStringLiteral("Quarnel"), QString::fromStdString(question),
                                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return SaveChoice::Save;
    if (answer == QMessageBox::Discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

}  // namespace quarnel
