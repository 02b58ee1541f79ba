#include "app/SettingsTab.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/AlertSettingsPage.h"
#include "app/AutoSettingsPage.h"
#include "app/Controls.h"
#include "app/SaveButton.h"
#include "app/SettingsStore.h"

namespace mirolanda::app {
namespace {

const QString kUserNotice = QStringLiteral(
    "ユーザ名、サインにご記入頂かなくても、本ツールは使用可能です。\r\n\r\n"
    "「おまけ」の情報を表示する際に必要になりますが、「仲間内」と\r\n"
    "そうでない方の判断に使用します。\r\n"
    "「仲間内」の登録者には、若干早いタイミングで「おまけ」を見る\r\n"
    "ことができるように仕組まれているだけです。\r\n"
    "お気になさらずに本ツールをご使用ください。\r\n");

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

SettingsTab::SettingsTab(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("TabConfig"));
    // Six inner tabs share the design width; narrow padding keeps them all in sight.
    Pages->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    Pages->setUsesScrollButtons(true);
    Pages->addTab(BuildInetPage(), QStringLiteral("インターネット接続"));
    Pages->addTab(BuildFolderPage(), QStringLiteral("フォルダ設定"));
    Pages->addTab(BuildUserPage(), QStringLiteral("ユーザー情報"));
    Buy = new AlertSettingsPage(services_);
    Pages->addTab(Buy, QStringLiteral("売買管理"));
    Pages->addTab(new QWidget, QStringLiteral("カレンダー"));
    Auto = new AutoSettingsPage(services_);
    Pages->addTab(Auto, QStringLiteral("自動処理"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Px(45), Px(45), Px(45), Px(45));
    layout->addWidget(Pages);
}

void SettingsTab::SetCalendarPage(QWidget* page) {
    QWidget* placeholder = Pages->widget(kCalendarIndex);
    Pages->removeTab(kCalendarIndex);
    Pages->insertTab(kCalendarIndex, page, QStringLiteral("カレンダー"));
    delete placeholder;
}

QWidget* SettingsTab::BuildInetPage() {
    auto* page = new QWidget;
    const QString captions[] = {
        QStringLiteral("既定のインターネット接続設定（コントロールパネル）を使用する"),
        QStringLiteral("このプログラムでは、インターネットに直接アクセスする"),
        QStringLiteral("このプログラムでは、インターネットにプロキシ（代理）サーバー経由でアクセスする")};
    const QString tips[] = {
        QStringLiteral("通常はこちらを選択してください"),
        QStringLiteral("プロキシ（代理）サーバーを経由しない場合はこちらを選択してください"),
        QStringLiteral("プロキシ（代理）サーバーを個別に設定する場合にはこちらを選択してください")};
    for (int i = 0; i < 3; ++i) {
        auto* option = Named(new QRadioButton(captions[i], page), Indexed("OptInetConfig", i),
                             {120, 120 + 330 * i, 7700, 300});
        option->setToolTip(tips[i]);
        OptInetConfig[static_cast<size_t>(i)] = option;
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            UpdateInetConfig(i);
            CmdInetConfigSave->setEnabled(true);
        });
    }
    FrmProxy = MakeFrame(page, QStringLiteral("プロキシサーバー設定"), {360, 1140, 5400, 1140}, QStringLiteral("FrmProxy"));
    MakeLabel(FrmProxy, QStringLiteral("サーバー"), {180, 345, 1000, 300});
    TxtInetProxyServer = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyServer"), {1200, 330, 4000, 330},
                                  QStringLiteral("サーバー名またはＩＰアドレスを入力してください"));
    MakeLabel(FrmProxy, QStringLiteral("ポート番号"), {180, 735, 1000, 300});
    TxtInetProxyPort = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyPort"), {1200, 720, 1200, 330},
                                QStringLiteral("不明な場合にはネットワーク管理者にお問い合わせください"));
    MakeLabel(page, QStringLiteral("株価サイト"), {120, 2415, 1800, 300});
    TxtQuoteSiteUrl = MakeEdit(page, QStringLiteral("TxtQuoteSiteUrl"), {1980, 2400, 4200, 330});
    MakeLabel(page, QStringLiteral("チャートサイト"), {120, 2790, 1800, 300});
    TxtChartSiteUrl = MakeEdit(page, QStringLiteral("TxtChartSiteUrl"), {1980, 2775, 4200, 330});
    MakeLabel(page, QStringLiteral("配信サーバー"), {120, 3165, 1800, 300});
    TxtPublisherUrl = MakeEdit(page, QStringLiteral("TxtPublisherUrl"), {1980, 3150, 4200, 330});
    CmdInetConfigSave = MakeButton(page, QStringLiteral("CmdInetConfigSave"), QStringLiteral("設定の保存"), {6345, 3540, 1500, 375});
    OptInetConfig[0]->setChecked(true);
    FrmProxy->setVisible(false);
    for (QLineEdit* edit : {TxtInetProxyServer, TxtInetProxyPort, TxtQuoteSiteUrl, TxtChartSiteUrl, TxtPublisherUrl}) {
        connect(edit, &QLineEdit::textChanged, CmdInetConfigSave, [this] { CmdInetConfigSave->setEnabled(true); });
    }
    ConnectSaveButton(CmdInetConfigSave, services_, [this] { SaveRegstoryInet(); });
    return page;
}

QWidget* SettingsTab::BuildFolderPage() {
    auto* page = new QWidget;
    const QString labels[] = {QStringLiteral("一時(作業)フォルダ"), QStringLiteral("CSV格納フォルダ"),
                              QStringLiteral("銘柄別株価格納フォルダ"), QStringLiteral("おまけデータフォルダ"),
                              QStringLiteral("その他設定格納フォルダ")};
    const QString names[] = {QStringLiteral("TxtFolderTemp"), QStringLiteral("TxtFolderData"), QStringLiteral("TxtFolderStock"),
                             QStringLiteral("TxtFolderOmake"), QStringLiteral("TxtFolderEtc")};
    std::array<QLineEdit*, 5> edits{};
    for (int i = 0; i < 5; ++i) {
        MakeLabel(page, labels[i], {120, 165 + 420 * i, 2400, 300});
        edits[static_cast<size_t>(i)] = MakeEdit(page, names[i], {2580, 150 + 420 * i, 5250, 330});
    }
    TxtFolderTemp = edits[0];
    TxtFolderData = edits[1];
    TxtFolderStock = edits[2];
    TxtFolderOmake = edits[3];
    TxtFolderEtc = edits[4];
    CmdFolderConfigSave = MakeButton(page, QStringLiteral("CmdFolderConfigSave"), QStringLiteral("設定の保存"), {6345, 3540, 1500, 375});
    // Every folder box enables the save, so that an edit of any of them can be kept.
    for (QLineEdit* edit : edits) {
        connect(edit, &QLineEdit::textChanged, CmdFolderConfigSave, [this] { CmdFolderConfigSave->setEnabled(true); });
    }
    ConnectSaveButton(CmdFolderConfigSave, services_, [this] { SaveRegstoryFolder(); });
    return page;
}

QWidget* SettingsTab::BuildUserPage() {
    auto* page = new QWidget;
    MakeLabel(page, QStringLiteral("ユーザー名"), {120, 165, 1200, 300});
    TxtUserName = MakeEdit(page, QStringLiteral("TxtUserName"), {1380, 150, 3000, 330});
    MakeLabel(page, QStringLiteral("サイン"), {120, 585, 1200, 300});
    TxtSign = MakeEdit(page, QStringLiteral("TxtSign"), {1380, 570, 3000, 330});
    TxtUserNotice = Named(new QPlainTextEdit(page), QStringLiteral("TxtUserNotice"), {120, 1050, 7725, 2370});
    TxtUserNotice->setReadOnly(true);
    TxtUserNotice->setPlainText(QString(kUserNotice).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    CmdUserInfSave = MakeButton(page, QStringLiteral("CmdUserInfSave"), QStringLiteral("設定の保存"), {6345, 3540, 1500, 375});
    for (QLineEdit* edit : {TxtUserName, TxtSign}) {
        connect(edit, &QLineEdit::textChanged, CmdUserInfSave, [this] { CmdUserInfSave->setEnabled(true); });
    }
    ConnectSaveButton(CmdUserInfSave, services_, [this] { SaveRegstoryUser(); });
    return page;
}

void SettingsTab::UpdateInetConfig(int mode) {
    size_t option = mode == 0 ? 0 : mode == 1 ? 1 : 2;
    OptInetConfig[option]->setChecked(true);
    FrmProxy->setVisible(option == 2);
}

void SettingsTab::LoadRegstoryInet() {
    SettingsStore& s = services_.Settings();
    int mode = s.ReadConnectionMode();
    TxtInetProxyServer->setText(Q(s.Read("ProxyServer")));
    TxtInetProxyPort->setText(Q(s.Read("ProxyPort")));
    TxtQuoteSiteUrl->setText(Q(s.Read("QuoteSiteUrl")));
    TxtChartSiteUrl->setText(Q(s.Read("ChartSiteUrl")));
    TxtPublisherUrl->setText(Q(s.Read("PublisherUrl")));
    UpdateInetConfig(mode);
    SaveRegstoryInet();
}

void SettingsTab::SaveRegstoryInet() {
    std::string mode = OptInetConfig[0]->isChecked() ? "0" : OptInetConfig[1]->isChecked() ? "1" : "2";
    services_.Settings().WriteGroup({
        {"ConnectionMode", mode},
        {"ProxyServer", Text(TxtInetProxyServer)},
        {"ProxyPort", Text(TxtInetProxyPort)},
        {"QuoteSiteUrl", Text(TxtQuoteSiteUrl)},
        {"ChartSiteUrl", Text(TxtChartSiteUrl)},
        {"PublisherUrl", Text(TxtPublisherUrl)},
    });
}

void SettingsTab::LoadRegstoryFolder() {
    SettingsStore& s = services_.Settings();
    TxtFolderTemp->setText(Q(s.Read("TemporaryFolder")));
    TxtFolderData->setText(Q(s.Read("CsvDataFolder")));
    TxtFolderStock->setText(Q(s.Read("StockDataFolder")));
    TxtFolderOmake->setText(Q(s.Read("OmakeDataFolder")));
    TxtFolderEtc->setText(Q(s.Read("SettingFolder")));
    SaveRegstoryFolder();
}

void SettingsTab::SaveRegstoryFolder() {
    services_.Settings().WriteGroup({
        {"TemporaryFolder", Text(TxtFolderTemp)},
        {"CsvDataFolder", Text(TxtFolderData)},
        {"StockDataFolder", Text(TxtFolderStock)},
        {"OmakeDataFolder", Text(TxtFolderOmake)},
        {"SettingFolder", Text(TxtFolderEtc)},
    });
}

void SettingsTab::LoadRegstoryUser() {
    SettingsStore& s = services_.Settings();
    TxtUserName->setText(Q(s.Read("UserName")));
    TxtSign->setText(Q(s.Read("UserSign")));
    SaveRegstoryUser();
}

void SettingsTab::SaveRegstoryUser() {
    services_.Settings().WriteGroup({{"UserName", Text(TxtUserName)}, {"UserSign", Text(TxtSign)}});
}

void SettingsTab::DisableSaveButtons() {
    for (QPushButton* b : {Auto->CmdAutoConfigSave, CmdFolderConfigSave, CmdInetConfigSave, CmdUserInfSave, Buy->CmdBuyConfigSave}) {
        b->setEnabled(false);
    }
}

platform::Folders SettingsTab::CurrentFolders() const {
    return {Text(TxtFolderTemp), Text(TxtFolderData), Text(TxtFolderStock), Text(TxtFolderOmake), Text(TxtFolderEtc)};
}

std::string SettingsTab::Proxy() const { return Text(TxtInetProxyServer) + ":" + Text(TxtInetProxyPort); }

HostUrls SettingsTab::CurrentHosts() const {
    return {Text(TxtQuoteSiteUrl), Text(TxtChartSiteUrl), Text(TxtPublisherUrl)};
}

UserInfo SettingsTab::CurrentUser() const { return {Text(TxtUserName), Text(TxtSign)}; }

}  // namespace mirolanda::app
