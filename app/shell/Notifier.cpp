#include "app/shell/Notifier.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace mirolanda::app {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
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
}

TrayIcon::~TrayIcon() { delete menu_; }

bool TrayIcon::Available() const { return icon_ != nullptr; }

void TrayIcon::Notify(const QString& title, const QString& text, bool warning) {
    if (icon_) icon_->showMessage(title, text, warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
}

}  // namespace mirolanda::app
