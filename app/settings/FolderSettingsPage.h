// The inner tab "フォルダ設定": the temporary, CSV, per-issue, bonus and settings folders,
// each typed or chosen with its 「参照…」 button.
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
    // The 「参照…」 beside a box: a folder chosen in the dialog replaces its text.
    void Browse(QLineEdit* edit, const QString& caption);

    // TxtFolderTemp, TxtFolderData, TxtFolderStock, TxtFolderOmake, TxtFolderEtc.
    std::array<QLineEdit*, 5> folders_{};
};

}  // namespace mirolanda::app
