#include "settings/Secrets.h"

#include <QEventLoop>
#include <cstdlib>
#include <qt6keychain/keychain.h>

namespace mirolanda::settings {
namespace {

const QString kService = QStringLiteral("Mirolanda");

// Runs a keychain job to its end on a local event loop; the job's error.
QKeychain::Error RunJob(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.error();
}

class QtKeychain final : public Keychain {
public:
    std::optional<std::string> Read(const std::string& name) override {
        QKeychain::ReadPasswordJob job(kService);
        job.setKey(QString::fromStdString(name));
        if (RunJob(job) != QKeychain::NoError) return std::nullopt;
        return job.textData().toStdString();
    }
    bool Write(const std::string& name, const std::string& secret) override {
        QKeychain::WritePasswordJob job(kService);
        job.setKey(QString::fromStdString(name));
        job.setTextData(QString::fromStdString(secret));
        return RunJob(job) == QKeychain::NoError;
    }
    void Remove(const std::string& name) override {
        QKeychain::DeletePasswordJob job(kService);
        job.setKey(QString::fromStdString(name));
        RunJob(job);
    }
};

const std::string kKeyName(keys::JQuantsApiKey.Name);

}  // namespace

std::unique_ptr<Keychain> DesktopKeychain() {
    // The secret stores answer on the session bus; without one (a server, cron, a test) there is
    // none to ask, and asking could start a bus of its own.
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!bus || !*bus) return nullptr;
    return std::make_unique<QtKeychain>();
}

Secrets::Secrets(Store& store, std::unique_ptr<Keychain> keychain) : store_(store), keychain_(std::move(keychain)) {}

void Secrets::Load() {
    if (loaded_) return;
    loaded_ = true;
    if (keychain_) {
        if (auto stored = keychain_->Read(kKeyName); stored && !stored->empty()) {
            key_ = *stored;
            place_ = SecretPlace::Keychain;
            return;
        }
    }
    key_ = store_.Read(keys::JQuantsApiKey);
    place_ = key_.empty() ? SecretPlace::None : SecretPlace::SettingsFile;
}

std::string Secrets::ApiKey() {
    Load();
    return key_;
}

SecretPlace Secrets::ApiKeyPlace() {
    Load();
    return place_;
}

SecretPlace Secrets::SetApiKey(const std::string& key) {
    loaded_ = true;
    key_ = key;
    if (key.empty()) {
        if (keychain_) keychain_->Remove(kKeyName);
        store_.Remove(keys::JQuantsApiKey);
        return place_ = SecretPlace::None;
    }
    if (keychain_ && keychain_->Write(kKeyName, key)) {
        // A copy left in the file would be readable by anyone who can read the file.
        if (store_.Stored(keys::JQuantsApiKey)) store_.Remove(keys::JQuantsApiKey);
        return place_ = SecretPlace::Keychain;
    }
    store_.Write(keys::JQuantsApiKey, key);
    return place_ = SecretPlace::SettingsFile;
}


std::string DescribeApiKey(SecretPlace place) {
    switch (place) {
    case SecretPlace::Keychain: return "J-Quants APIキー: 設定済み (デスクトップの秘密情報ストア)";
    case SecretPlace::SettingsFile: return "J-Quants APIキー: 設定済み (設定ファイル。秘密情報ストアがないため平文で保存されています)";
    case SecretPlace::None: break;
    }
    return "J-Quants APIキー: 未設定";
}

}  // namespace mirolanda::settings
