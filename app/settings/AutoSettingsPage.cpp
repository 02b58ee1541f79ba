#include "app/settings/AutoSettingsPage.h"

#include <QFocusEvent>

#include "app/download/AutoDownloadRules.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

AutoSettingsPage::AutoSettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    auto* frame = MakeFrame(this, QStringLiteral("自動ダウンロード設定"), {120, 60, 7700, 1890});
    ChkAuto = MakeCheck(frame, QStringLiteral("ChkAuto"), QStringLiteral("日々指定時間に自動ダウンロードを行う"), {240, 330, 7200, 300});
    TxtAutoStartTime = MakeEdit(frame, QStringLiteral("TxtAutoStartTime"), {3240, 690, 900, 330},
                                QStringLiteral("２４時間制で入力してください"));
    MakeLabel(frame, QStringLiteral("自動ダウンロード開始時刻"), {480, 705, 2700, 300})->setBuddy(TxtAutoStartTime);
    TxtAutoStartTime->setText(QStringLiteral("21:30"));
    TxtAutoStartTime->setAlignment(Qt::AlignCenter);
    ChkAutoCsvSave = MakeCheck(frame, QStringLiteral("ChkAutoCsvSave"),
                               QStringLiteral("受信完了後自動的にＣＳＶファイルを保存する"), {240, 1110, 7200, 300});
    ChkAutoDataSave = MakeCheck(frame, QStringLiteral("ChkAutoDataSave"),
                                QStringLiteral("CSV作成後自動的に銘柄別データを更新する"), {240, 1470, 7200, 300});

    auto* check = MakeFrame(this, QStringLiteral("ダウンロード銘柄数チェック"), {120, 2070, 7700, 1230});
    ChkAutoDownloadCheck = MakeCheck(check, QStringLiteral("ChkAutoDownloadCheck"),
                                     QStringLiteral("ダウンロード完了時銘柄数チェックを行う"), {240, 330, 7200, 300});
    TxtAutoMinNum = MakeEdit(check, QStringLiteral("TxtAutoMinNum"), {3240, 690, 900, 330});
    MakeLabel(check, QStringLiteral("正常と見なす銘柄数(以上)"), {480, 705, 2700, 300})->setBuddy(TxtAutoMinNum);
    TxtAutoMinNum->setText(QStringLiteral("3560"));
    TxtAutoMinNum->setAlignment(Qt::AlignRight);

    MakeSaveButton(QStringLiteral("CmdAutoConfigSave"));

    connect(ChkAuto, &QCheckBox::toggled, this, [this](bool ticked) {
        EnableSave();
        if (ticked) emit AutoModeTicked();
    });
    connect(ChkAutoCsvSave, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    connect(ChkAutoDataSave, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    // Without a reaction of their own these two could never be saved alone.
    connect(ChkAutoDownloadCheck, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    connect(TxtAutoMinNum, &QLineEdit::textChanged, this, &AutoSettingsPage::EnableSave);
    // A new start time is a change of the group like any other; the automation stays as ticked.
    connect(TxtAutoStartTime, &QLineEdit::textChanged, this, &AutoSettingsPage::EnableSave);
    TxtAutoStartTime->installEventFilter(this);
}

bool AutoSettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtAutoStartTime && event->type() == QEvent::FocusOut) {
        // Leaving for a message box or a menu is not leaving the box.
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) ValidateStartTime();
    }
    return QWidget::eventFilter(watched, event);
}

bool AutoSettingsPage::ValidateStartTime() {
    auto normal = NormaliseStartTime(TxtAutoStartTime->text().toStdString());
    if (!normal) {
        services_.Dialog().Inform(window(), MessageIcon::Warning, QStringLiteral("自動ダウンロード設定"),
                                  QStringLiteral("設定値が正しくありません。"));
        TxtAutoStartTime->setFocus();
        return false;
    }
    QString text = QString::fromStdString(*normal);
    if (text != TxtAutoStartTime->text()) TxtAutoStartTime->setText(text);
    return true;
}

void AutoSettingsPage::Show(const settings::Snapshot& s) {
    namespace keys = settings::keys;
    TxtAutoStartTime->setText(QString::fromStdString(s.Text(keys::AutoTime)));
    ChkAutoCsvSave->setChecked(s.Checked(keys::AutoCsvSave));
    ChkAutoDataSave->setChecked(s.Checked(keys::AutoDataSave));
    ChkAutoDownloadCheck->setChecked(s.Checked(keys::AutoDownCheck));
    TxtAutoMinNum->setText(QString::fromStdString(s.Text(keys::AutoDownNum)));
    // Last, as ticking it may ask about a re-run: the other settings are in place by then.
    ChkAuto->setChecked(s.Checked(keys::AutoMode));
}

settings::GroupValues AutoSettingsPage::Values() const {
    namespace keys = settings::keys;
    auto check = [](const QCheckBox* box) { return settings::FormatCheck(box->isChecked()); };
    return {
        {&keys::AutoMode, check(ChkAuto)},
        {&keys::AutoTime, TxtAutoStartTime->text().toStdString()},
        {&keys::AutoCsvSave, check(ChkAutoCsvSave)},
        {&keys::AutoDataSave, check(ChkAutoDataSave)},
        {&keys::AutoDownCheck, check(ChkAutoDownloadCheck)},
        {&keys::AutoDownNum, TxtAutoMinNum->text().toStdString()},
    };
}

}  // namespace mirolanda::app
