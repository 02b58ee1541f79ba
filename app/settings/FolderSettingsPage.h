// The inner tab "フォルダ設定": the temporary, CSV, per-issue, bonus and settings folders.
#pragma once

#include <array>

#include "app/settings/SettingsPage.h"

class QLineEdit;

namespace mirolanda::app {

class FolderSettingsPage final : public SettingsPage {
    Q_OBJECT
public:
    explicit FolderSettingsPage(WindowServices& services, QWidget* parent = nullptr);

    settings::GroupValues Values() const override;
    void Show(const settings::Snapshot& settings) override;

private:
    // TxtFolderTemp, TxtFolderData, TxtFolderStock, TxtFolderOmake, TxtFolderEtc.
    std::array<QLineEdit*, 5> folders_{};
};

}  // namespace mirolanda::app
