// The inner tab "ユーザー情報": the user name and sign sent to the publisher's server, with
// the notice that they are optional.
#pragma once

#include "app/settings/SettingsPage.h"

class QLineEdit;

namespace mirolanda::app {

class UserSettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit UserSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    void Show(const settings::Snapshot& settings) override;

private:
    QLineEdit* TxtUserName = nullptr;
    QLineEdit* TxtSign = nullptr;
};

}  // namespace mirolanda::app
