#include "cli/SettingsFile.h"

#include <QSettings>
#include <QString>
#include <QStringList>

#include "platform/Errors.h"

namespace mirolanda::cli {
namespace {
QString KeyPath(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + "/" +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}
}  // namespace

SettingsFile::SettingsFile(const std::optional<std::filesystem::path>& path) {
    if (path) {
        settings_ = std::make_unique<QSettings>(QString::fromStdString(path->string()), QSettings::IniFormat);
    } else {
        settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Mirolanda", "Mirolanda");
    }
}

SettingsFile::~SettingsFile() = default;

std::optional<std::string> SettingsFile::Read(std::string_view section, std::string_view key) const {
    QVariant value = settings_->value(KeyPath(section, key));
    if (!value.isValid()) return std::nullopt;
    // An unquoted comma makes QSettings read a list; the user meant one text.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

void SettingsFile::Write(std::string_view section, std::string_view key, const std::string& value) {
    settings_->setValue(KeyPath(section, key), QString::fromStdString(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw platform::FileError(settings_->fileName().toStdString(), "設定ファイルに書き込めません。");
    }
}

}  // namespace mirolanda::cli
