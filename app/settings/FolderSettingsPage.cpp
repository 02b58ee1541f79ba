#include "app/settings/FolderSettingsPage.h"

#include <QDir>
#include <QLineEdit>

#include "app/commands/WindowServices.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"

namespace mirolanda::app {
namespace {

namespace keys = settings::keys;

// The boxes top to bottom, with their captions and the keys they hold.
struct FolderBox {
    const char* Name;
    const char* Caption;
    const settings::Key& Key;
};
const FolderBox kBoxes[] = {
    {"TxtFolderTemp", "一時(作業)フォルダ", keys::TemporaryFolder},
    {"TxtFolderData", "CSV格納フォルダ", keys::CsvDataFolder},
    {"TxtFolderStock", "銘柄別株価格納フォルダ", keys::StockDataFolder},
    {"TxtFolderOmake", "おまけデータフォルダ", keys::OmakeDataFolder},
    {"TxtFolderEtc", "その他設定格納フォルダ", keys::SettingFolder},
};

}  // namespace

FolderSettingsPage::FolderSettingsPage(WindowServices& services, QWidget* parent) : SettingsPage(services, parent) {
    for (int i = 0; i < 5; ++i) {
        QLineEdit* edit = MakeEdit(this, QLatin1String(kBoxes[i].Name), {2580, 150 + 420 * i, 4230, 330}, {}, kGrowWidth);
        folders_[static_cast<size_t>(i)] = edit;
        const QString caption = QString::fromUtf8(kBoxes[i].Caption);
        MakeLabel(this, caption, {120, 165 + 420 * i, 2400, 300})->setBuddy(edit);
        // Numbered accelerators: the five buttons share one caption.
        QPushButton* browse = MakeButton(this, Indexed("CmdFolderBrowse", i), QStringLiteral("参照(&%1)…").arg(i + 1),
                                         {6870, 135 + 420 * i, 960, 360}, kRight);
        browse->setAccessibleName(caption + QStringLiteral("を参照"));
        connect(browse, &QPushButton::clicked, this, [this, edit, caption] { Browse(edit, caption); });
    }
    MakeSaveButton(QStringLiteral("CmdFolderConfigSave"));
    // Every folder box enables the save, so that an edit of any of them can be kept.
    for (QLineEdit* edit : folders_) connect(edit, &QLineEdit::textChanged, this, &FolderSettingsPage::EnableSave);
}

void FolderSettingsPage::Browse(QLineEdit* edit, const QString& caption) {
    // Starts at the folder typed in the box; the dialog itself falls back when it does not exist.
    if (auto chosen = services_.Dialog().ChooseFolder(this, caption + QStringLiteral("の選択"), edit->text())) {
        edit->setText(QDir::toNativeSeparators(*chosen));
    }
}

void FolderSettingsPage::Show(const settings::Snapshot& s) {
    for (size_t i = 0; i < folders_.size(); ++i) folders_[i]->setText(QString::fromStdString(s.Text(kBoxes[i].Key)));
}

settings::GroupValues FolderSettingsPage::Values() const {
    settings::GroupValues values;
    for (size_t i = 0; i < folders_.size(); ++i) values.emplace_back(&kBoxes[i].Key, folders_[i]->text().toStdString());
    return values;
}

}  // namespace mirolanda::app
