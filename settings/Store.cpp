#include "settings/Store.h"

#include <QSettings>
#include <QStringList>
#include <cmath>

#include "platform/Errors.h"

namespace mirolanda::settings {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(const Key& key) { return FromView(key.Section) + QLatin1Char('/') + FromView(key.Name); }

std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Mirolanda"),
                                       QStringLiteral("Mirolanda"));
}

}  // namespace

Store::Store(const std::optional<std::filesystem::path>& file, std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {
    if (file) {
        settings_ = std::make_unique<QSettings>(QString::fromStdString(file->string()), QSettings::IniFormat);
    } else {
        settings_ = UserSettings();
    }
}

Store::~Store() = default;

std::optional<std::string> Store::Stored(const Key& key) const {
    QVariant value = settings_->value(KeyPath(key));
    if (!value.isValid()) return std::nullopt;
    // An unquoted comma makes QSettings read a list; the user meant one text.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

std::string Store::Read(const Key& key) const {
    if (auto stored = Stored(key)) return *stored;
    return DefaultText(key, programFolder_);
}

Snapshot Store::Current() const {
    Snapshot snapshot(programFolder_);
    for (const Key* key : AllKeys()) {
        if (auto stored = Stored(*key)) snapshot.Set(*key, std::move(*stored));
    }
    return snapshot;
}

std::optional<float> Store::ReadPosition(const Key& key) const {
    auto stored = Stored(key);
    if (!stored) return std::nullopt;
    bool ok = false;
    float value = QString::fromStdString(*stored).trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

void Store::Write(const Key& key, const std::string& value) { WriteGroup({{&key, value}}); }

void Store::WriteGroup(const GroupValues& values) {
    for (const auto& [key, value] : values) settings_->setValue(KeyPath(*key), QString::fromStdString(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw platform::FileError(FilePath(), "設定ファイルに書き込めません。");
    }
}

std::filesystem::path Store::FilePath() const { return settings_->fileName().toStdString(); }

std::filesystem::path UserSettingsFile() { return UserSettings()->fileName().toStdString(); }

}  // namespace mirolanda::settings
