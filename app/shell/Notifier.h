// Desktop notifications and the tray icon, behind an interface so that tests record what the
// window asks to notify (the offscreen platform has no tray). The real one is a
// QSystemTrayIcon with the menu 表示, 今すぐダウンロード and 終了; its messages reach the
// desktop's notification service.
#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace mirolanda::app {

class Notifier {
public:
    virtual ~Notifier() = default;
    // True when the desktop shows a tray, so that the icon (and the program) can stay there.
    virtual bool Available() const = 0;
    virtual void Notify(const QString& title, const QString& text, bool warning) = 0;
};

class TrayIcon final : public QObject, public Notifier {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    bool Available() const override;
    void Notify(const QString& title, const QString& text, bool warning) override;

signals:
    void ShowRequested();
    void DownloadRequested();
    void QuitRequested();

private:
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace mirolanda::app
