#include "app/settings/UserSettingsPage.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/widgets/Controls.h"

namespace mirolanda::app {

namespace {

namespace keys = settings::keys;

QString NoticeText() {
    return QStringLiteral(
        "ユーザ名、サインにご記入頂かなくても、本ツールは使用可能です。\r\n\r\n"
        "「おまけ」の情報を表示する際に必要になりますが、「仲間内」と\r\n"
        "そうでない方の判断に使用します。\r\n"
        "「仲間内」の登録者には、若干早いタイミングで「おまけ」を見る\r\n"
        "ことができるように仕組まれているだけです。\r\n"
        "お気になさらずに本ツールをご使用ください。\r\n");
}

}  // namespace

UserSettingsPage::UserSettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    TxtUserName = MakeEdit(this, QStringLiteral("TxtUserName"), {1380, 150, 3000, 330});
    MakeLabel(this, QStringLiteral("ユーザー名"), {120, 165, 1200, 300})->setBuddy(TxtUserName);
    TxtSign = MakeEdit(this, QStringLiteral("TxtSign"), {1380, 570, 3000, 330});
    MakeLabel(this, QStringLiteral("サイン"), {120, 585, 1200, 300})->setBuddy(TxtSign);
    auto* notice = Named(new QPlainTextEdit(this), QStringLiteral("TxtUserNotice"), {120, 1050, 7725, 2370}, kGrow);
    notice->setReadOnly(true);
    notice->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    notice->setAccessibleName(QStringLiteral("ユーザー情報について"));
    notice->setPlainText(NoticeText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    MakeSaveButton(QStringLiteral("CmdUserInfSave"));
    for (QLineEdit* edit : {TxtUserName, TxtSign}) connect(edit, &QLineEdit::textChanged, this, &UserSettingsPage::EnableSave);
}

void UserSettingsPage::Show(const settings::Snapshot& s) {
    TxtUserName->setText(QString::fromStdString(s.Text(keys::UserName)));
    TxtSign->setText(QString::fromStdString(s.Text(keys::UserSign)));
}

settings::GroupValues UserSettingsPage::Values() const {
    return {{&keys::UserName, TxtUserName->text().toStdString()}, {&keys::UserSign, TxtSign->text().toStdString()}};
}

}  // namespace mirolanda::app
