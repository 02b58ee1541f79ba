#include "app/widgets/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QUrl>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace mirolanda::app {
namespace {

QString LineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A box over a window not yet shown (a warning while it is being built) would be placed by
// that window's corner: without an owner Qt centres it on the screen instead.
QWidget* Owner(QWidget* parent) { return parent && parent->window()->isVisible() ? parent : nullptr; }

}  // namespace

void QtDialogs::Inform(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) {
    QMessageBox box(ToQt(icon), title, LineBreaks(text), QMessageBox::Ok, Owner(parent));
    box.exec();
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text, DefaultButton byDefault) {
    QMessageBox box(QMessageBox::Question, title, LineBreaks(text), QMessageBox::Yes | QMessageBox::No, Owner(parent));
    box.setDefaultButton(byDefault == DefaultButton::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    question_ = &box;
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::DismissQuestion() {
    if (question_) question_->done(QMessageBox::No);
}

QStringList QtDialogs::ChooseFiles(QWidget* parent, const FileChoice& choice) {
    // A file name after the folder is proposed (selected) in the dialog.
    QString start = choice.Folder;
    if (!choice.ProposedName.isEmpty()) start += QLatin1Char('/') + choice.ProposedName;
    return QFileDialog::getOpenFileNames(parent, choice.Title, start, choice.Filter);
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, folder);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

bool QtDialogs::OpenOnDesktop(const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); }

std::optional<QString> QtDialogs::AskSecret(QWidget* parent, const QString& title, const QString& label) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Password, {}, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QColor> QtDialogs::ChooseColor(QWidget* parent, const QColor& initial) {
    QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid()) return std::nullopt;
    return color;
}

void QtDialogs::Beep() { QApplication::beep(); }

}  // namespace mirolanda::app
