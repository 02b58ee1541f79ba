#include "app/settings/InetSettingsPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>

#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"
#include "settings/QuoteSources.h"

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
    FrmProxy = MakeFrame(this, QStringLiteral("プロキシサーバー設定"), {360, 1140, 3600, 1140}, QStringLiteral("FrmProxy"));
    TxtInetProxyServer = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyServer"), {1200, 330, 2250, 330},
                                  QStringLiteral("サーバー名またはＩＰアドレスを入力してください"));
    MakeLabel(FrmProxy, QStringLiteral("サーバー"), {180, 345, 1000, 300})->setBuddy(TxtInetProxyServer);
    TxtInetProxyPort = MakeEdit(FrmProxy, QStringLiteral("TxtInetProxyPort"), {1200, 720, 1200, 330},
                                QStringLiteral("不明な場合にはネットワーク管理者にお問い合わせください"));
    MakeLabel(FrmProxy, QStringLiteral("ポート番号"), {180, 735, 1000, 300})->setBuddy(TxtInetProxyPort);
    TxtQuoteSiteUrl = MakeEdit(this, QStringLiteral("TxtQuoteSiteUrl"), {1980, 2400, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("株価サイト"), {120, 2415, 1800, 300})->setBuddy(TxtQuoteSiteUrl);
    TxtChartSiteUrl = MakeEdit(this, QStringLiteral("TxtChartSiteUrl"), {1980, 2775, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("チャートサイト"), {120, 2790, 1800, 300})->setBuddy(TxtChartSiteUrl);
    TxtPublisherUrl = MakeEdit(this, QStringLiteral("TxtPublisherUrl"), {1980, 3150, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("配信サーバー"), {120, 3165, 1800, 300})->setBuddy(TxtPublisherUrl);
    TxtJQuantsApiUrl = MakeEdit(this, QStringLiteral("TxtJQuantsApiUrl"), {1980, 3525, 4200, 330}, {}, kGrowWidth);
    MakeLabel(this, QStringLiteral("J-Quants API"), {120, 3540, 1800, 300})->setBuddy(TxtJQuantsApiUrl);
    BuildSourceFrame();
    MakeSaveButton(QStringLiteral("CmdInetConfigSave"));
    OptInetConfig[0]->setChecked(true);
    GroupOptions(this, OptInetConfig);
    FrmProxy->setVisible(false);

    for (int i = 0; i < 3; ++i) {
        connect(OptInetConfig[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            UpdateInetConfig(i);
            EnableSave();
        });
    }
    for (QRadioButton* option : OptQuoteSource) connect(option, &QRadioButton::toggled, this, &InetSettingsPage::EnableSave);
    for (QLineEdit* edit : {TxtInetProxyServer, TxtInetProxyPort, TxtQuoteSiteUrl, TxtChartSiteUrl, TxtPublisherUrl,
                            TxtJQuantsApiUrl, TxtJQuantsPerMinute}) {
        connect(edit, &QLineEdit::textChanged, this, &InetSettingsPage::EnableSave);
    }
}

void InetSettingsPage::BuildSourceFrame() {
    auto* frame = MakeFrame(this, QStringLiteral("データ取得元"), {4080, 1140, 3740, 1230}, QStringLiteral("FrmQuoteSource"));
    const auto& sources = settings::QuoteSources().Entries();
    for (size_t i = 0; i < sources.size(); ++i) {
        const int left = 180 + 1620 * static_cast<int>(i);
        OptQuoteSource.push_back(Named(new QRadioButton(QString::fromStdString(sources[i].DisplayName), frame),
                                       Indexed("OptQuoteSource", static_cast<int>(i)), {left, 270, 1560, 300}));
    }
    OptQuoteSource.front()->setChecked(true);
    GroupOptions(this, OptQuoteSource);
    auto* key = MakeButton(frame, QStringLiteral("CmdJQuantsApiKey"), QStringLiteral("APIキー設定…(&K)"), {180, 630, 1500, 330});
    TxtJQuantsPerMinute = MakeEdit(frame, QStringLiteral("TxtJQuantsPerMinute"), {2760, 630, 800, 330},
                                   QStringLiteral("契約プランの1分あたりの上限 (Free 5、Light 60)"));
    MakeLabel(frame, QStringLiteral("回数/分"), {1800, 645, 900, 300})->setBuddy(TxtJQuantsPerMinute);
    LblJQuantsApiKey = MakeLabel(frame, {}, {180, 990, 3400, 240}, QStringLiteral("LblJQuantsApiKey"));
    connect(key, &QPushButton::clicked, this, &InetSettingsPage::CmdJQuantsApiKey_Click);
}

void InetSettingsPage::ShowApiKeyPlace() {
    const settings::SecretPlace place = services_.Secrets().ApiKeyPlace();
    LblJQuantsApiKey->setText(place == settings::SecretPlace::None       ? QStringLiteral("APIキー: 未設定")
                              : place == settings::SecretPlace::Keychain ? QStringLiteral("APIキー: 設定済み")
                                                                         : QStringLiteral("APIキー: 設定済み (設定ファイルに平文)"));
    LblJQuantsApiKey->setToolTip(QString::fromStdString(settings::DescribeApiKey(place)));
}

void InetSettingsPage::CmdJQuantsApiKey_Click() {
    const auto typed = services_.Dialog().AskSecret(window(), QStringLiteral("J-Quants APIキー"),
                                                    QStringLiteral("APIキーを入力してください (空欄で削除します)"));
    if (!typed) return;
    Guarded(services_, [&] {
        const settings::SecretPlace place = services_.Secrets().SetApiKey(typed->trimmed().toStdString());
        ShowApiKeyPlace();
        if (place == settings::SecretPlace::SettingsFile) {
            services_.Dialog().Inform(window(), MessageIcon::Warning, QStringLiteral("J-Quants APIキー"),
                                      QStringLiteral("デスクトップに秘密情報ストアがないため、APIキーを設定ファイルに平文で保存しました。\r") +
                                          QString::fromStdString(services_.Settings().FilePath().string()));
        }
    });
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
    const auto& sources = settings::QuoteSources().Entries();
    const std::string& chosen = settings::QuoteSources().Find(s.Text(keys::QuoteSource)).SettingName;
    for (size_t i = 0; i < sources.size(); ++i) OptQuoteSource[i]->setChecked(sources[i].SettingName == chosen);
    TxtJQuantsApiUrl->setText(QString::fromStdString(s.Text(keys::JQuantsApiUrl)));
    TxtJQuantsPerMinute->setText(QString::fromStdString(s.Text(keys::JQuantsRequestsPerMinute)));
    ShowApiKeyPlace();
}

settings::GroupValues InetSettingsPage::Values() const {
    const std::string mode = OptInetConfig[0]->isChecked() ? "0" : OptInetConfig[1]->isChecked() ? "1" : "2";
    const auto& sources = settings::QuoteSources().Entries();
    std::string source = sources.front().SettingName;
    for (size_t i = 0; i < sources.size(); ++i) {
        if (OptQuoteSource[i]->isChecked()) source = sources[i].SettingName;
    }
    return {
        {&keys::ConnectionMode, mode},
        {&keys::ProxyServer, TxtInetProxyServer->text().toStdString()},
        {&keys::ProxyPort, TxtInetProxyPort->text().toStdString()},
        {&keys::QuoteSiteUrl, TxtQuoteSiteUrl->text().toStdString()},
        {&keys::ChartSiteUrl, TxtChartSiteUrl->text().toStdString()},
        {&keys::PublisherUrl, TxtPublisherUrl->text().toStdString()},
        {&keys::QuoteSource, source},
        {&keys::JQuantsApiUrl, TxtJQuantsApiUrl->text().toStdString()},
        {&keys::JQuantsRequestsPerMinute, TxtJQuantsPerMinute->text().toStdString()},
    };
}

}  // namespace mirolanda::app
