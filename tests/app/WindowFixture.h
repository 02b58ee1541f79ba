// What the window's tests share: the application object, message boxes that answer from a
// script and record what they showed, the main window's services for a tab tested alone, a
// scripted download, and a main window over a scratch program folder, a scratch settings
// file and a stopped clock.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QSignalSpy>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "app/widgets/Dialogs.h"
#include "app/download/DownloadTab.h"
#include "app/widgets/ElidedLabel.h"
#include "app/shell/MainFrm.h"
#include "app/shell/Notifier.h"
#include "app/settings/SettingsPage.h"
#include "app/commands/WindowServices.h"
#include "calendar/Calender.h"
#include "platform/Date.h"
#include "quotesite/QuotePage.h"
#include "support/TempFolder.h"

namespace mirolanda::app::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    // Never destroyed: torn down among the exit handlers, after a window was shown, Qt frees
    // the offscreen platform's input devices twice. The pointer stays reachable, so no leak.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The control of that object name below `root` (a window, a tab, a dialog); a test that asks
// for a control that is not there fails with its name.
template <typename W>
W* Find(const QObject* root, const QString& name) {
    W* found = root->findChild<W*>(name);
    if (!found) throw std::runtime_error("no control " + name.toStdString());
    return found;
}

struct Shown {
    MessageIcon Icon;
    QString Title;
    QString Text;
    bool Asked = false;  // a yes/no question rather than a message
    DefaultButton Default = DefaultButton::Yes;  // of a question: the button Enter presses
};

class ScriptedDialogs final : public Dialogs {
public:
    void Inform(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
        shown.push_back({icon, title, text});
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text, DefaultButton byDefault) override {
        shown.push_back({MessageIcon::Question, title, text, true, byDefault});
        dismissed = false;
        if (whileAsking) whileAsking();
        return answerYes && !dismissed;
    }
    void DismissQuestion() override {
        dismissed = true;
        ++dismissals;
    }
    QStringList ChooseFiles(QWidget*, const FileChoice& choice) override {
        lastChoice = choice;
        return files;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& title, const QString& start) override {
        folderAsked = {title, start};
        return folder;
    }
    bool OpenOnDesktop(const QString& file) override {
        opened.push_back(file);
        return true;
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return color; }
    std::optional<QString> AskSecret(QWidget*, const QString& title, const QString&) override {
        shown.push_back({MessageIcon::Question, title, {}, true});
        return secret;
    }
    void Beep() override { ++beeps; }

    // The messages alone, or the questions alone, in the order shown.
    std::vector<Shown> Informs() const { return Only(false); }
    std::vector<Shown> Asks() const { return Only(true); }
    // The texts of every box shown, messages and questions, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const Shown& s : shown) texts.push_back(s.Text);
        return texts;
    }

    std::vector<Shown> shown;
    bool answerYes = false;
    std::function<void()> whileAsking;  // runs while a question is on screen
    bool dismissed = false;
    int dismissals = 0;
    QStringList files;
    FileChoice lastChoice;
    std::optional<QString> folder;                // what ChooseFolder answers
    std::pair<QString, QString> folderAsked;      // its title and starting folder
    QStringList opened;                           // files opened on the desktop
    std::optional<QColor> color;
    std::optional<QString> secret;  // what AskSecret answers
    int beeps = 0;

private:
    std::vector<Shown> Only(bool asked) const {
        std::vector<Shown> some;
        for (const Shown& s : shown)
            if (s.Asked == asked) some.push_back(s);
        return some;
    }
};

// Notifications as the window asks for them; `tray` says whether the desktop has a tray.
class RecordingNotifier final : public Notifier {
public:
    struct Note {
        QString Title;
        QString Text;
        bool Warning = false;
    };
    bool Available() const override { return tray; }
    bool Notify(const QString& title, const QString& text, bool warning) override {
        notes.push_back({title, text, warning});
        return desktop;
    }
    QStringList Texts() const {
        QStringList texts;
        for (const Note& n : notes) texts.push_back(n.Text);
        return texts;
    }

    bool tray = false;
    bool desktop = true;  // whether the desktop showed what it was given
    std::vector<Note> notes;
};

// The main window's services for one tab tested alone: a settings file and every setting at
// its default (folders below a scratch root), a stopped clock, the default holiday table and
// scripted message boxes. Records what the tab reports back: status lines, the download
// state, result grid resets and whether the tabs are enabled.
class FakeWindow : public WindowServices, public CommandStatus {
    QApplication& app_ = App();  // before any widget, the window below included

public:
    FakeWindow(const std::filesystem::path& root, platform::DateTime now)
        : live(root), root_(root), store_(root / "settings.ini", root), clock_(now) {
        calendar::ResetHolidayTable(holidays_);
    }
    settings::Store& Settings() override { return store_; }
    settings::Secrets& Secrets() override { return secrets_; }
    std::vector<platform::Milliseconds> RetryWaits() const override { return {{}, {}, {}}; }
    const platform::Clock& Clock() const override { return clock_; }
    Dialogs& Dialog() override { return dialogs; }
    QWidget* Window() override { return &window; }
    const std::filesystem::path& ProgramFolder() const override { return root_; }
    settings::Snapshot LiveSettings() const override {
        settings::Snapshot s = live;
        if (page) s.Set(page->Values());
        return s;
    }
    const platform::Table& Holidays() const override { return holidays_; }
    std::string DataDate() const override { return calendar::GetDataDate(holidays_, clock_); }
    CommandStatus& Status() override { return *this; }
    void ShowStatus(const QString& text, const QString& detail = {}) override {
        status.push_back(text);
        details.push_back(detail);
    }
    void ShowProgress(int, int) override {}
    int16_t DownloadState() const override { return state; }
    void SetDownloadState(int16_t s) override { state = s; }
    void ResetResultGrid() override { ++resets; }
    void SetTabsEnabled(bool enabled) override { tabsEnabled = enabled; }
    void SetCancellable(bool on) override { cancellable = on; }

    // Every host at one address.
    void SetUrl(const std::string& url) {
        namespace keys = settings::keys;
        live.Set({{&keys::QuoteSiteUrl, url}, {&keys::ChartSiteUrl, url}, {&keys::PublisherUrl, url}});
    }

    ScriptedDialogs dialogs;
    settings::Snapshot live;  // the settings the tab reads
    const SettingsPage* page = nullptr;  // when set, its group as its controls show it, over `live`
    QStringList status;
    QStringList details;
    bool cancellable = false;
    int16_t state = 0;
    int resets = 0;
    bool tabsEnabled = true;
    QWidget window;  // the main window the tab's dialogs are placed over

private:
    std::filesystem::path root_;
    settings::Store store_;
    settings::Secrets secrets_{store_, nullptr};
    platform::FixedClock clock_;
    platform::Table holidays_;
};

// A download that does not touch the network: each run takes the next scripted result
// (the last one repeats) and fills the grid with that many issues.
class ScriptedDownload {
public:
    struct Result {
        bool Ok = true;
        int Issues = 3;
        bool Save = false;  // a day that went through is saved as the options say
    };
    void Script(std::deque<Result> results) {
        std::lock_guard lock(mutex_);
        results_ = std::move(results);
    }
    int Runs() const { return runs_; }

    DownloadRunner Runner() {
        return [this](market::QuoteSource& source, platform::Fetcher&, const quotes::DownloadOptions& options,
                      const platform::Progress& progress) {
            Result r;
            {
                std::lock_guard lock(mutex_);
                if (!results_.empty()) r = results_.front();
                if (results_.size() > 1) results_.pop_front();
            }
            ++runs_;
            lastOptions = options;
            lastSource = &source;
            progress.Show("ダウンロード－開始");
            quotes::DownloadOutcome outcome;
            for (int i = 0; i < r.Issues; ++i) {
                market::SnapshotRow row{market::IssueCode(1300 + i), "銘柄", {}, {}, {}};
                row.Prices = {{}, 1000, 1100, 900, 1050, 1000, std::nullopt, 1.0};
                outcome.Day.Rows.push_back(row);
            }
            outcome.Ok = r.Ok;
            outcome.Issues = r.Issues;
            if (!r.Ok) {
                outcome.Status = "Internet Error(Connection refused)";
                outcome.Detail = "Failed to connect to 127.0.0.1 port 9";
            }
            if (options.FetchingDone) options.FetchingDone();
            if (r.Ok && r.Save) {
                outcome.Day.Day = options.DataDate();
                quotes::SaveDayOrTell(outcome.Day, options, progress, outcome);
            }
            return outcome;
        };
    }
    quotes::DownloadOptions lastOptions;
    market::QuoteSource* lastSource = nullptr;  // the tab's source, alive until its next download

private:
    std::mutex mutex_;
    std::deque<Result> results_;
    std::atomic<int> runs_{0};
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest() : clock(platform::DateTime{{2026, 12, 7}, 20, 0, 0}) {
        App();
        program = folder.Path() / "prog";
        std::filesystem::create_directories(program);
        settingsFile = folder.Path() / "Mirolanda.ini";
    }

    // Seeds the settings file before the window reads it.
    void Store(const QString& key, const QString& value) {
        QSettings s(QString::fromStdString(settingsFile.string()), QSettings::IniFormat);
        s.setValue(key, value);
    }
    QString Stored(const QString& key) const {
        QSettings s(QString::fromStdString(settingsFile.string()), QSettings::IniFormat);
        return s.value(key).toString();
    }
    bool IsStored(const QString& key) const {
        QSettings s(QString::fromStdString(settingsFile.string()), QSettings::IniFormat);
        return s.contains(key);
    }

    // The window's options: the scratch folder and settings file and the scripted boxes, with
    // the real download and HTTP client until a test sets its own.
    MainFrmOptions Options() {
        MainFrmOptions options;
        options.ProgramFolder = program;
        options.SettingsFile = settingsFile;
        options.Dialog = &dialogs;
        options.RetryWaits = {{}, {}, {}};  // a request that fails for a while is asked again at once
        options.Notify = &notifier;
        return options;
    }
    MainFrm& Open(MainFrmOptions options) {
        window = std::make_unique<MainFrm>(clock, std::move(options));
        return *window;
    }
    // The window with the scripted download.
    MainFrm& Open() {
        MainFrmOptions options = Options();
        options.Runner = download.Runner();
        return Open(std::move(options));
    }

    // The whole text of the status line `LblExecMsg`, however much of it fits.
    QString Status() const { return Find<ElidedLabel>(window.get(), QStringLiteral("LblExecMsg"))->FullText(); }

    // A control of the open window, by name.
    template <typename W>
    W* Control(const QString& name) const {
        return Find<W>(window.get(), name);
    }

    // Waits for the running download to end (it runs on its own thread).
    bool WaitForDownload(int timeoutMs = 10000) {
        QSignalSpy spy(window->Download(), &DownloadTab::DownloadFinished);
        if (!window->Download()->Busy()) return false;
        return spy.wait(timeoutMs);
    }

    testing::TempFolder folder;
    std::filesystem::path program;
    std::filesystem::path settingsFile;
    platform::FixedClock clock;
    ScriptedDialogs dialogs;
    RecordingNotifier notifier;
    ScriptedDownload download;
    std::unique_ptr<MainFrm> window;
};

}  // namespace mirolanda::app::test
