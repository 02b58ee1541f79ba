// The window's modal questions and messages, behind an interface so that tests can answer
// them (a real message box would block an offscreen test).
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace mirolanda::app {

enum class MessageIcon { Information, Warning, Question, Critical };

// The button a question's Enter presses. No wherever Yes would start a long command, delete
// something or end the program.
enum class DefaultButton { Yes, No };

struct FileChoice {
    QString Title;
    QString Folder;
    QString ProposedName;
    QString Filter;  // Qt form: "CSVﾌｧｲﾙ(*.csv);;全てのﾌｧｲﾙ(*.*)"
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button. A '\r' in the text breaks the line.
    virtual void Inform(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question with the question icon; true for Yes. Esc answers No.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text, DefaultButton byDefault) = 0;
    // Takes the question on screen away, answered No, once what it asked about is over.
    virtual void DismissQuestion() = 0;
    // Existing files chosen in an open dialog, in the dialog's order; empty when cancelled.
    virtual QStringList ChooseFiles(QWidget* parent, const FileChoice& choice) = 0;
    // An existing folder chosen in a folder dialog that starts at `folder`; nothing when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    // Opens a file in the desktop's program for it; false when the desktop could not.
    virtual bool OpenOnDesktop(const QString& file) = 0;
    // A colour from the colour picker; nothing when cancelled.
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
    // A secret typed into a box that does not show it; nothing when cancelled.
    virtual std::optional<QString> AskSecret(QWidget* parent, const QString& title, const QString& label) = 0;
    virtual void Beep() = 0;
};

// The real boxes: QMessageBox, QFileDialog, QColorDialog, and QDesktopServices.
class QtDialogs final : public Dialogs {
public:
    void Inform(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text, DefaultButton byDefault) override;
    void DismissQuestion() override;
    QStringList ChooseFiles(QWidget* parent, const FileChoice& choice) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder) override;
    bool OpenOnDesktop(const QString& file) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QString> AskSecret(QWidget* parent, const QString& title, const QString& label) override;
    void Beep() override;

private:
    QPointer<QMessageBox> question_;
};

// The application's title, used where a box has no title of its own.
inline const QString kAppTitle = QStringLiteral("Mirolanda");

}  // namespace mirolanda::app
