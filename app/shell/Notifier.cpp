#include "app/shell/Notifier.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace mirolanda::app {

TrayIcon::TrayIcon(std::unique_ptr<NotificationSender> sender, std::chrono::milliseconds trayCheck, QObject* parent)
    : QObject(parent), sender_(std::move(sender)) {
    if (SetUpIcon()) return;
    trayCheck_ = new QTimer(this);
    trayCheck_->setInterval(trayCheck);
    connect(trayCheck_, &QTimer::timeout, this, [this] {
        if (SetUpIcon()) trayCheck_->stop();
    });
    trayCheck_->start();
}

bool TrayIcon::SetUpIcon() {
    if (icon_) return true;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    menu_ = new QMenu;
    connect(menu_->addAction(QStringLiteral("表示")), &QAction::triggered, this, &TrayIcon::ShowRequested);
    connect(menu_->addAction(QStringLiteral("今すぐダウンロード")), &QAction::triggered, this, &TrayIcon::DownloadRequested);
    menu_->addSeparator();
    connect(menu_->addAction(QStringLiteral("終了")), &QAction::triggered, this, &TrayIcon::QuitRequested);
    icon_ = new QSystemTrayIcon(QGuiApplication::windowIcon(), this);
    icon_->setToolTip(QStringLiteral("Mirolanda"));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) emit ShowRequested();
    });
    icon_->show();
    return true;
}

TrayIcon::~TrayIcon() { delete menu_; }

bool TrayIcon::Available() const { return icon_ != nullptr; }

bool TrayIcon::Notify(const QString& title, const QString& text, bool warning) {
    if (sender_ && sender_->Send(title, text, warning)) return true;
    if (!icon_) return false;
    icon_->showMessage(title, text, warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
    return true;
}

}  // namespace mirolanda::app
