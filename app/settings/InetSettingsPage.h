// The inner tab "インターネット接続": the connection option (system defaults, direct, or a
// proxy given as server and port), the data source of the daily prices (the quote site or the
// J-Quants API, with its key and pace), and the addresses of the quote site, its chart images,
// the publisher's server and the API.
#pragma once

#include <array>
#include <vector>

#include "app/settings/SettingsPage.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace mirolanda::app {

class InetSettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit InetSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    void Show(const settings::Snapshot& settings) override;

    // Selects option 0 for mode 0, 1 for mode 1, 2 for any other mode; the proxy frame shows
    // with option 2 only.
    void UpdateInetConfig(int mode);

private:
    void BuildSourceFrame();
    // Asks for the API key and keeps it in the secret store (or, without one, the settings file).
    void CmdJQuantsApiKey_Click();
    void ShowApiKeyPlace();

    std::array<QRadioButton*, 3> OptInetConfig{};
    std::vector<QRadioButton*> OptQuoteSource;  // one per registered quote source, in its order
    QLineEdit* TxtJQuantsPerMinute = nullptr;
    QLineEdit* TxtJQuantsApiUrl = nullptr;
    QLabel* LblJQuantsApiKey = nullptr;
    QGroupBox* FrmProxy = nullptr;
    QLineEdit* TxtInetProxyServer = nullptr;
    QLineEdit* TxtInetProxyPort = nullptr;
    QLineEdit* TxtQuoteSiteUrl = nullptr;
    QLineEdit* TxtChartSiteUrl = nullptr;
    QLineEdit* TxtPublisherUrl = nullptr;
};

}  // namespace mirolanda::app
