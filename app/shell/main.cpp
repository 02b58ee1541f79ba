// mirolanda: the desktop window. Only one window runs per settings file; a second start
// brings the running one to the front and ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/commands/ErrorBox.h"
#include "app/shell/MainFrm.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Translations.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "settings/Secrets.h"
#include "settings/Store.h"

namespace {

using namespace mirolanda;

// An error that escapes an event handler is shown, and the program goes on.
class Application final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), app::kAppTitle, app::ErrorText(error));
        } catch (...) {
            QMessageBox::critical(activeWindow(), app::kAppTitle, QStringLiteral("予期しないエラーが発生しました。"));
        }
        return false;
    }
};

struct Arguments {
    std::optional<std::filesystem::path> settings;
    std::optional<std::filesystem::path> programFolder;
    std::optional<platform::DateTime> now;
    bool quitWhenShown = false;
};

Arguments ParseArguments(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mirolanda: daily prices of Japanese stocks, holdings and calendar."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("settings"), QStringLiteral("Use this settings file instead of the user's own."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("program-folder"),
                      QStringLiteral("Use this folder as the program folder (default folders, Calender.txt)."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("now"), QStringLiteral("Run with the clock stopped at this time (for demonstrations)."),
                      QStringLiteral("YYYY-MM-DD HH:MM")});
    parser.addOption({QStringLiteral("quit-when-shown"),
                      QStringLiteral("End as soon as the window is shown (for measuring start-up).")});
    parser.process(app);
    Arguments args;
    if (parser.isSet(QStringLiteral("settings"))) args.settings = parser.value(QStringLiteral("settings")).toStdString();
    if (parser.isSet(QStringLiteral("program-folder"))) args.programFolder = parser.value(QStringLiteral("program-folder")).toStdString();
    if (parser.isSet(QStringLiteral("now"))) {
        args.now = platform::ParseDateTime(parser.value(QStringLiteral("now")).toStdString());
        if (!args.now) {
            std::fprintf(stderr, "mirolanda: --now takes \"YYYY-MM-DD HH:MM\"\n");
            std::exit(2);
        }
    }
    args.quitWhenShown = parser.isSet(QStringLiteral("quit-when-shown"));
    return args;
}

QString SettingsFilePath(const Arguments& args) {
    if (args.settings) return QString::fromStdString(args.settings->string());
    return QString::fromStdString(settings::UserSettingsFile().string());
}

}  // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirolanda"));
    QApplication::setOrganizationName(QStringLiteral("Mirolanda"));
    QApplication::setApplicationVersion(QStringLiteral(MIROLANDA_VERSION));
    // The menu entry's icon, and its id so that desktops match the window to the entry.
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/" MIROLANDA_APP_ID ".png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(MIROLANDA_APP_ID));
    app::InstallQtTranslations(app);
    Arguments args = ParseArguments(app);

    QString settingsFile = SettingsFilePath(args);
    // The lock lies beside the settings file; its folder may not exist at the very first start.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(settingsFile.toStdString()).parent_path(), ignored);
    // Not "<file>.lock": QSettings locks that one itself while writing.
    app::SingleInstance instance(settingsFile + QStringLiteral(".running"));
    if (!instance.Acquire()) {
        instance.NotifyRunning();
        return 0;
    }

    std::unique_ptr<platform::Clock> clock;
    if (args.now) {
        clock = std::make_unique<platform::FixedClock>(*args.now);
    } else {
        clock = std::make_unique<platform::SystemClock>();
    }
    app::MainFrmOptions options;
    options.ProgramFolder = args.programFolder ? *args.programFolder : platform::ProgramFolder(platform::ExecutableFolder());
    options.SettingsFile = args.settings;
    options.Keychain = settings::DesktopKeychain();
    app::MainFrm window(*clock, std::move(options));
    QObject::connect(&instance, &app::SingleInstance::Activated, &window, &app::MainFrm::BringToFront);
    window.show();
    if (args.quitWhenShown) QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
