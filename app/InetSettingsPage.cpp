#include "app/InetSettingsPage.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/Controls.h"

namespace mirolanda::app {

namespace keys = settings::keys;

InetSettingsPage::InetSettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    const QString captions[] = {
        QStringLiteral("既定のインターネット接続設定（コントロールパネル）を使用する"),
        QStringLiteral("このプログラムでは、インターネットに直接アクセスする"),
        QStringLiteral("このプログラムでは、インターネットにプロキシ（代理）サーバー経由でアクセスする")};
    const QString tips[] = {
        QStringLiteral("通常はこちらを選択してください"),
        QStringLiteral("プロキシ（代理）サーバーを経由しない場合はこちらを選択してください"),
        QStringLiteral("プロキシ（代理）サーバーを個別に設定する場合にはこちらを選択してください")};
    for (int i = 0; i < 3; ++i) {
        auto* option = Named(new QRadioButton(captions[i], this), Indexed("OptInetConfig", i),
                             {120, 120 + 330 * i, 7700, 300});
        option->setToolTip(tips[i]);
        OptInetConfig[static_cast<size_t>(i)] = option;
    }
    FrmProxy = MakeFrame(this, QStringLiteral("プロキシサーバー設定"), {360, 1140, 5400, 1140}, QStringLiteral("FrmProxy"));
    MakeLabel(FrmProxy, QStringLiteral("サーバー"), {180, 345, 1000, 300});
    TxtInetProxyServer = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyServer"), {1200, 330, 4000, 330},
                                  QStringLiteral("サーバー名またはＩＰアドレスを入力してください"));
    MakeLabel(FrmProxy, QStringLiteral("ポート番号"), {180, 735, 1000, 300});
    TxtInetProxyPort = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyPort"), {1200, 720, 1200, 330},
                                QStringLiteral("不明な場合にはネットワーク管理者にお問い合わせください"));
    MakeLabel(this, QStringLiteral("株価サイト"), {120, 2415, 1800, 300});
    TxtQuoteSiteUrl = MakeEdit(this, QStringLiteral("TxtQuoteSiteUrl"), {1980, 2400, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("チャートサイト"), {120, 2790, 1800, 300});
    TxtChartSiteUrl = MakeEdit(this, QStringLiteral("TxtChartSiteUrl"), {1980, 2775, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("配信サーバー"), {120, 3165, 1800, 300});
    TxtPublisherUrl = MakeEdit(this, QStringLiteral("TxtPublisherUrl"), {1980, 3150, 4200, 330}, {}, kGrowWidth);
    MakeSaveButton(QStringLiteral("CmdInetConfigSave"));
    OptInetConfig[0]->setChecked(true);
    FrmProxy->setVisible(false);

    for (int i = 0; i < 3; ++i) {
        connect(OptInetConfig[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            UpdateInetConfig(i);
            EnableSave();
        });
    }
    for (QLineEdit* edit : {TxtInetProxyServer, TxtInetProxyPort, TxtQuoteSiteUrl, TxtChartSiteUrl, TxtPublisherUrl}) {
        connect(edit, &QLineEdit::textChanged, this, &InetSettingsPage::EnableSave);
    }
}

void InetSettingsPage::UpdateInetConfig(int mode) {
    const size_t option = mode == 0 ? 0 : mode == 1 ? 1 : 2;
    OptInetConfig[option]->setChecked(true);
    FrmProxy->setVisible(option == 2);
}

void InetSettingsPage::Show(const settings::Snapshot& s) {
    TxtInetProxyServer->setText(QString::fromStdString(s.Text(keys::ProxyServer)));
    TxtInetProxyPort->setText(QString::fromStdString(s.Text(keys::ProxyPort)));
    TxtQuoteSiteUrl->setText(QString::fromStdString(s.Text(keys::QuoteSiteUrl)));
    TxtChartSiteUrl->setText(QString::fromStdString(s.Text(keys::ChartSiteUrl)));
    TxtPublisherUrl->setText(QString::fromStdString(s.Text(keys::PublisherUrl)));
    UpdateInetConfig(s.ConnectionMode());
}

settings::GroupValues InetSettingsPage::Values() const {
    const std::string mode = OptInetConfig[0]->isChecked() ? "0" : OptInetConfig[1]->isChecked() ? "1" : "2";
    return {
        {&keys::ConnectionMode, mode},
        {&keys::ProxyServer, TxtInetProxyServer->text().toStdString()},
        {&keys::ProxyPort, TxtInetProxyPort->text().toStdString()},
        {&keys::QuoteSiteUrl, TxtQuoteSiteUrl->text().toStdString()},
        {&keys::ChartSiteUrl, TxtChartSiteUrl->text().toStdString()},
        {&keys::PublisherUrl, TxtPublisherUrl->text().toStdString()},
    };
}

}  // namespace mirolanda::app
