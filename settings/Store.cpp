#include "settings/Store.h"

#include <QSettings>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "platform/Errors.h"

namespace mirolanda::settings {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(const Key& key) { return FromView(key.Section) + QLatin1Char('/') + FromView(key.Name); }

// A settings file that holds the API key, and any copy set aside from one, is readable by
// its owner only: the key is a secret even where there is no secret store.
void OwnerOnly(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
}

void OwnerOnlyIfSecret(QSettings& settings) {
    if (settings.contains(KeyPath(keys::JQuantsApiKey))) OwnerOnly(settings.fileName().toStdString());
}

// Before the key is first written: the file made (empty) or narrowed beforehand, so that not
// even the first write is readable by others.
void PrepareForSecret(const QSettings& settings) {
    const std::string file = settings.fileName().toStdString();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    OwnerOnly(file);
}

std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Mirolanda"),
                                       QStringLiteral("Mirolanda"));
}

// A key or text value QSettings read as it stands: no replacement character for bytes that
// are no UTF-8, and no line break (a value whose quote was left open runs into the next lines).
bool ReadableText(const QString& text) {
    return !text.contains(QChar::ReplacementCharacter) && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QLatin1Char('\r'));
}

bool ReadableValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) return ReadableText(value.toString());
    if (value.typeId() != QMetaType::QStringList) return false;  // "@Variant(…)", "@ByteArray(…)": not ours
    for (const QString& part : value.toStringList()) {
        if (!ReadableText(part)) return false;
    }
    return true;
}

std::string Stamp(const platform::DateTime& now) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d%02d%02d", now.Hour, now.Minute, now.Second);
    return platform::FormatYmd(now.Day) + "-" + time;
}

}  // namespace

std::string BrokenSettings::Message() const {
    return "設定ファイルに読み込めない部分がありました(" + File.string() + ")。読み込めなかった設定には既定値を使います。" +
           "元のファイルは " + KeptAs.string() + " として残しました。";
}

Store::Store(const std::optional<std::filesystem::path>& file, std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {
    if (file) {
        settings_ = std::make_unique<QSettings>(QString::fromStdString(file->string()), QSettings::IniFormat);
    } else {
        settings_ = UserSettings();
    }
    OwnerOnlyIfSecret(*settings_);  // a file an earlier version left readable to all
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

std::optional<BrokenSettings> Store::RepairIfBroken(const platform::DateTime& now) {
    const std::filesystem::path file = FilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    // The keys first: QSettings parses the values, and finds their faults, only when asked.
    const QStringList keys = settings_->allKeys();
    bool broken = settings_->status() == QSettings::FormatError;
    std::vector<std::pair<QString, QVariant>> readable;
    for (const QString& key : keys) {
        const QVariant value = settings_->value(key);
        if (ReadableText(key) && ReadableValue(value)) {
            readable.emplace_back(key, value);
        } else {
            broken = true;
        }
    }
    if (!broken) return std::nullopt;

    BrokenSettings repair{file, file.string() + ".broken-" + Stamp(now)};
    settings_.reset();
    std::filesystem::rename(file, repair.KeptAs, ec);
    if (ec) throw platform::FileError(file, "設定ファイルを退避できません(" + ec.message() + ")");
    OwnerOnly(repair.KeptAs);  // it may hold the API key, unreadable as the file is
    settings_ = std::make_unique<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat);
    for (const auto& [key, value] : readable) settings_->setValue(key, value);
    settings_->sync();
    if (settings_->status() != QSettings::NoError) throw platform::FileError(file, "設定ファイルに書き込めません。");
    OwnerOnlyIfSecret(*settings_);
    return repair;
}

void Store::Write(const Key& key, const std::string& value) { WriteGroup({{&key, value}}); }

void Store::WriteGroup(const GroupValues& values) {
    for (const auto& [key, value] : values) {
        if (key == &keys::JQuantsApiKey && !value.empty()) PrepareForSecret(*settings_);
        settings_->setValue(KeyPath(*key), QString::fromStdString(value));
    }
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw platform::FileError(FilePath(), "設定ファイルに書き込めません。");
    }
    OwnerOnlyIfSecret(*settings_);
}

void Store::Remove(const Key& key) {
    settings_->remove(KeyPath(key));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw platform::FileError(FilePath(), "設定ファイルに書き込めません。");
    }
}

std::filesystem::path Store::FilePath() const { return settings_->fileName().toStdString(); }

std::filesystem::path UserSettingsFile() { return UserSettings()->fileName().toStdString(); }

}  // namespace mirolanda::settings
