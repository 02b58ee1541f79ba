// Keeps one running window per settings file, so two windows never rewrite the same files:
// a lock file beside the settings file, and a local socket over which a second start asks
// the running window to come to the front before it ends.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace mirolanda::app {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `lockPath` is the lock file (beside the settings file).
    explicit SingleInstance(const QString& lockPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process holds the lock; it then listens for later starts.
    bool Acquire();
    // From a later start: asks the running one to come to the front. Waits at most
    // `timeoutMs` and never blocks on a box; false when nobody answered.
    bool NotifyRunning(int timeoutMs = 500) const;

    QString ServerName() const { return serverName_; }

signals:
    // A later start asked this window to come to the front.
    void Activated();

private:
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    QString serverName_;
};

}  // namespace mirolanda::app
