// A page of "設定・保守" that shows one settings group: its controls are filled from the
// settings (Show) and read back as the group's texts (Values). The page's own save button
// "設定の保存" writes the whole group and is disabled until the next edit; a save that fails
// is shown and leaves the button enabled for another try.
#pragma once

#include <QWidget>

#include "settings/Snapshot.h"

class QPushButton;

namespace mirolanda::app {

class WindowServices;

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(WindowServices& services, QWidget* parent = nullptr);

    // The group's texts as the controls hold them now, in the order the group saves them.
    virtual settings::GroupValues Values() const = 0;
    // Fills the controls from the settings; the edits this makes may enable the save button.
    virtual void Show(const settings::Snapshot& settings) = 0;

    // Shows the stored group, then saves it, so that the file holds every key of the group.
    void Load();
    // Writes the group; throws platform::FileError when the file cannot be written.
    void Save();
    void DisableSave();

protected:
    // The save button at the bottom right of the page, named `name`.
    void MakeSaveButton(const QString& name);
    void EnableSave();

    WindowServices& services_;

private:
    QPushButton* save_ = nullptr;
};

}  // namespace mirolanda::app
