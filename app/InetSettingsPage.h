// The inner tab "インターネット接続": the connection option (system defaults, direct, or a
// proxy given as server and port) and the addresses of the quote site, its chart images and
// the publisher's server.
#pragma once

#include <array>

#include "app/SettingsPage.h"

class QGroupBox;
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
    std::array<QRadioButton*, 3> OptInetConfig{};
    QGroupBox* FrmProxy = nullptr;
    QLineEdit* TxtInetProxyServer = nullptr;
    QLineEdit* TxtInetProxyPort = nullptr;
    QLineEdit* TxtQuoteSiteUrl = nullptr;
    QLineEdit* TxtChartSiteUrl = nullptr;
    QLineEdit* TxtPublisherUrl = nullptr;
};

}  // namespace mirolanda::app
