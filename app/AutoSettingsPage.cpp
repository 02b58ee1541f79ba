#include "app/AutoSettingsPage.h"

#include <QFocusEvent>

#include "app/AutoDownloadRules.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/SaveButton.h"
#include "app/SettingsStore.h"

namespace mirolanda::app {

AutoSettingsPage::AutoSettingsPage(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    auto* frame = MakeFrame(this, QStringLiteral("自動ダウンロード設定"), {120, 60, 7700, 1890});
    ChkAuto = MakeCheck(frame, QStringLiteral("ChkAuto"), QStringLiteral("日々指定時間に自動ダウンロードを行う"), {240, 330, 7200, 300});
    MakeLabel(frame, QStringLiteral("自動ダウンロード開始時刻"), {480, 705, 2700, 300});
    TxtAutoStartTime = MakeEdit(frame, QStringLiteral("TxtAutoStartTime"), {3240, 690, 900, 330},
                                QStringLiteral("２４時間制で入力してください"));
    TxtAutoStartTime->setText(QStringLiteral("21:30"));
    TxtAutoStartTime->setAlignment(Qt::AlignCenter);
    ChkAutoCsvSave = MakeCheck(frame, QStringLiteral("ChkAutoCsvSave"),
                               QStringLiteral("受信完了後自動的にＣＳＶファイルを保存する"), {240, 1110, 7200, 300});
    ChkAutoDataSave = MakeCheck(frame, QStringLiteral("ChkAutoDataSave"),
                                QStringLiteral("CSV作成後自動的に銘柄別データを更新する"), {240, 1470, 7200, 300});

    auto* check = MakeFrame(this, QStringLiteral("ダウンロード銘柄数チェック"), {120, 2070, 7700, 1230});
    ChkAutoDownloadCheck = MakeCheck(check, QStringLiteral("ChkAutoDownloadCheck"),
                                     QStringLiteral("ダウンロード完了時銘柄数チェックを行う"), {240, 330, 7200, 300});
    MakeLabel(check, QStringLiteral("正常と見なす銘柄数(以上)"), {480, 705, 2700, 300});
    TxtAutoMinNum = MakeEdit(check, QStringLiteral("TxtAutoMinNum"), {3240, 690, 900, 330});
    TxtAutoMinNum->setText(QStringLiteral("3560"));
    TxtAutoMinNum->setAlignment(Qt::AlignRight);

    CmdAutoConfigSave = MakeButton(this, QStringLiteral("CmdAutoConfigSave"), QStringLiteral("設定の保存"), {6345, 3540, 1500, 375});

    connect(ChkAuto, &QCheckBox::toggled, this, [this](bool ticked) {
        EnableSave();
        if (ticked) emit AutoModeTicked();
    });
    connect(ChkAutoCsvSave, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    connect(ChkAutoDataSave, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    // Without a reaction of their own these two could never be saved alone.
    connect(ChkAutoDownloadCheck, &QCheckBox::toggled, this, &AutoSettingsPage::EnableSave);
    connect(TxtAutoMinNum, &QLineEdit::textChanged, this, &AutoSettingsPage::EnableSave);
    // A new start time pauses the automation until the user ticks it again.
    connect(TxtAutoStartTime, &QLineEdit::textChanged, this, [this] { ChkAuto->setChecked(false); });
    TxtAutoStartTime->installEventFilter(this);
    ConnectSaveButton(CmdAutoConfigSave, services_, [this] { SaveRegstoryAuto(); });
}

void AutoSettingsPage::EnableSave() { CmdAutoConfigSave->setEnabled(true); }

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

void AutoSettingsPage::LoadRegstoryAuto() {
    SettingsStore& s = services_.Settings();
    TxtAutoStartTime->setText(QString::fromStdString(s.Read("AutoTime")));
    ChkAutoCsvSave->setChecked(s.ReadCheck("AutoCsvSave"));
    ChkAutoDataSave->setChecked(s.ReadCheck("AutoDataSave"));
    ChkAutoDownloadCheck->setChecked(s.ReadCheck("AutoDownCheck"));
    TxtAutoMinNum->setText(QString::fromStdString(s.Read("AutoDownNum")));
    // Last: the start time just set has unticked the mode.
    ChkAuto->setChecked(s.ReadCheck("AutoMode"));
    SaveRegstoryAuto();
}

void AutoSettingsPage::SaveRegstoryAuto() {
    auto check = [](const QCheckBox* box) { return FormatCheck(box->isChecked()); };
    services_.Settings().WriteGroup({
        {"AutoMode", check(ChkAuto)},
        {"AutoTime", TxtAutoStartTime->text().toStdString()},
        {"AutoCsvSave", check(ChkAutoCsvSave)},
        {"AutoDataSave", check(ChkAutoDataSave)},
        {"AutoDownCheck", check(ChkAutoDownloadCheck)},
        {"AutoDownNum", TxtAutoMinNum->text().toStdString()},
    });
}

}  // namespace mirolanda::app
