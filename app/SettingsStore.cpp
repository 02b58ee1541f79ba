#include "app/SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <charconv>
#include <cmath>

#include "platform/Errors.h"
#include "platform/Numbers.h"
#include "platform/SettingsKeys.h"

namespace mirolanda::app {
namespace {

QString KeyPath(std::string_view key) {
    const auto& entry = platform::FindSettingKey(key);
    return QString::fromUtf8(entry.Section.data(), static_cast<qsizetype>(entry.Section.size())) + QLatin1Char('/') +
           QString::fromUtf8(entry.Key.data(), static_cast<qsizetype>(entry.Key.size()));
}

}  // namespace

SettingsStore::SettingsStore(const std::optional<std::filesystem::path>& file, std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {
    if (file) {
        settings_ = std::make_unique<QSettings>(QString::fromStdString(file->string()), QSettings::IniFormat);
    } else {
        settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Mirolanda"),
                                                QStringLiteral("Mirolanda"));
    }
}

SettingsStore::~SettingsStore() = default;

std::optional<std::string> SettingsStore::Stored(std::string_view key) const {
    QVariant value = settings_->value(KeyPath(key));
    if (!value.isValid()) return std::nullopt;
    // An unquoted comma makes QSettings read a list; the user meant one text.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

std::string SettingsStore::Read(std::string_view key) const {
    if (auto stored = Stored(key)) return *stored;
    return platform::DefaultSettingValue(platform::FindSettingKey(key), programFolder_);
}

void SettingsStore::Write(std::string_view key, const std::string& value) { WriteGroup({{key, value}}); }

void SettingsStore::WriteGroup(const std::vector<std::pair<std::string_view, std::string>>& values) {
    for (const auto& [key, value] : values) settings_->setValue(KeyPath(key), QString::fromStdString(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw platform::FileError(FilePath(), "設定ファイルに書き込めません。");
    }
}

bool SettingsStore::ReadCheck(std::string_view key) const {
    return platform::CheckedSetting(platform::FindSettingKey(key), Read(key));
}

uint32_t SettingsStore::ReadColor(std::string_view key) const {
    return platform::ColorSetting(platform::FindSettingKey(key), Read(key));
}

int SettingsStore::ReadConnectionMode() const {
    long mode = platform::LeadingInteger(Read("ConnectionMode"), 0);
    if (mode < INT16_MIN || mode > INT16_MAX) return 0;
    return static_cast<int>(mode);
}

std::optional<float> SettingsStore::ReadPosition(std::string_view key) const {
    auto stored = Stored(key);
    if (!stored) return std::nullopt;
    bool ok = false;
    float value = QString::fromStdString(*stored).trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::filesystem::path SettingsStore::FilePath() const { return settings_->fileName().toStdString(); }

std::string FormatPosition(float twips) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, twips);
    return ec == std::errc() ? std::string(buffer, end) : "0";
}

}  // namespace mirolanda::app
