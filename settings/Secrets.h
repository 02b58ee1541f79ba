// The J-Quants API key, a secret: kept in the desktop's secret store (Qt Keychain, service
// "Mirolanda") when one answers, else in the settings file as "JQuantsApiKey", which the window
// warns about. Read once and then kept, so the live settings do not ask the store every tick.
// No text this file makes holds the key.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "settings/Snapshot.h"
#include "settings/Store.h"

namespace mirolanda::settings {

// A secret store by name; the desktop's or, in tests, a fake.
class Keychain {
public:
    virtual ~Keychain() = default;
    // The secret; nothing when the store has none or no store answers.
    virtual std::optional<std::string> Read(const std::string& name) = 0;
    // False when no store takes it.
    virtual bool Write(const std::string& name, const std::string& secret) = 0;
    virtual void Remove(const std::string& name) = 0;
};

// The desktop's secret store through Qt Keychain (a QCoreApplication must exist); nothing
// without a session bus.
std::unique_ptr<Keychain> DesktopKeychain();

enum class SecretPlace { None, Keychain, SettingsFile };

class Secrets {
public:
    // Without a keychain, the settings file alone.
    Secrets(Store& store, std::unique_ptr<Keychain> keychain);

    // The key, "" when none is set: the secret store's, else the settings file's.
    std::string ApiKey();
    SecretPlace ApiKeyPlace();
    // Stores the key in the secret store when it takes it (and removes a copy from the settings
    // file), else in the settings file; an empty key removes it. Returns where it went. Throws
    // platform::FileError when the settings file cannot be written.
    SecretPlace SetApiKey(const std::string& key);

private:
    void Load();

    Store& store_;
    std::unique_ptr<Keychain> keychain_;
    bool loaded_ = false;
    std::string key_;
    SecretPlace place_ = SecretPlace::None;
};

// «J-Quants APIキー: 設定済み (デスクトップの秘密情報ストア)» and the like, never the key.
std::string DescribeApiKey(SecretPlace place);

}  // namespace mirolanda::settings
