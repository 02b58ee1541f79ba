// The window's start-up and memory. Start-up: the time from starting `mirolanda` to its
// window shown, with 200 holdings and 3,600 history files present, against the same program
// with empty folders (Qt's own start-up, the floor). Memory: the peak resident size after a
// full download of 3,600 issues from the market simulator, against the peak once the window
// is shown. Both baselines are measured in this run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "app/widgets/Dialogs.h"
#include "bench/BenchSupport.h"
#include "app/holdings/HoldingsTab.h"
#include "app/download/DownloadTab.h"
#include "app/shell/MainFrm.h"
#include "holdings/BuyData.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "quotes/StockFile.h"
#include "support/SimProcess.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kHoldings = 200;
constexpr int kHistoryFiles = 3600;

// Two program folders with their settings files: one empty, one with the holdings and history.
struct Fixture {
    bench::ScratchFolder scratch;
    const fs::path& root = scratch.Path();
    fs::path empty = root / "empty";
    fs::path loaded = root / "loaded";

    Fixture() {
        fs::create_directories(empty);
        fs::create_directories(loaded / "StockData");
        platform::Table holdingsTable(holdings::kBuyColumns);
        for (int i = 0; i < kHistoryFiles; ++i) {
            int code = 1300 + i * 2;
            quotes::IssueRecord record;
            record.Name = "銘柄" + std::to_string(code);
            platform::Date day{2026, 12, 4};
            for (int d = 0; d < quotes::kHistoryDays; ++d) {
                record.Days[static_cast<size_t>(d)] = {platform::FormatSlashed(day), 300 + (d * 37 + i) % 400};
                day = platform::AddDays(day, -1);
            }
            platform::ReplaceFile(quotes::IssueFilePath(loaded / "StockData", code), quotes::EncodeIssueRecord(record));
            if (i < kHoldings) holdingsTable.AddRow({std::to_string(code), record.Name, "2026/06/01", "350", "1000"});
        }
        fs::create_directories(loaded / "Setting");
        holdings::SaveBuyData(holdingsTable, loaded / "Setting");
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// Runs `mirolanda --quit-when-shown` over a program folder; false when it failed.
bool StartWindow(const fs::path& programFolder) {
    std::string exe = (platform::ExecutableFolder() / "mirolanda").string();
    std::string settings = (programFolder / "Mirolanda.ini").string();
    std::string folder = programFolder.string();
    std::vector<char*> argv = {exe.data(), const_cast<char*>("--quit-when-shown"), const_cast<char*>("--settings"),
                               settings.data(), const_cast<char*>("--program-folder"), folder.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Startup(benchmark::State& state, const fs::path& folder) {
    for (auto _ : state) {
        if (!StartWindow(folder)) state.SkipWithError("mirolanda did not start and end cleanly");
    }
}

void BM_StartupLoaded(benchmark::State& state) { Startup(state, TheFixture().loaded); }
void BM_StartupEmpty(benchmark::State& state) { Startup(state, TheFixture().empty); }

BENCHMARK(BM_StartupLoaded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);
BENCHMARK(BM_StartupEmpty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class SilentDialogs final : public app::Dialogs {
public:
    void Inform(QWidget*, app::MessageIcon, const QString&, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    bool AskYesNo(QWidget*, const QString&, const QString&, app::DefaultButton) override { return false; }
    void DismissQuestion() override {}
    QStringList ChooseFiles(QWidget*, const app::FileChoice&) override { return {}; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    bool OpenOnDesktop(const QString&) override { return false; }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QString> AskSecret(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    void Beep() override {}
};

// A full download into the loaded folder, in this process; prints the peaks.
int MeasureDownloadMemory(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::SimProcess sim({"--issues", "3600", "--date", "20261207"});
    fs::path folder = TheFixture().loaded;
    {
        QSettings s(QString::fromStdString((folder / "Mirolanda-download.conf").string()), QSettings::IniFormat);
        s.setValue("Parameters/QuoteSiteUrl", QString::fromStdString(sim.BaseUrl()));
        s.setValue("Parameters/ConnectionMode", "1");
        s.setValue("Parameters/AutoMode", "0");
    }
    platform::FixedClock clock({{2026, 12, 7}, 21, 30, 0});
    SilentDialogs dialogs;
    app::MainFrmOptions options;
    options.ProgramFolder = folder;
    options.SettingsFile = folder / "Mirolanda-download.conf";
    options.Dialog = &dialogs;
    app::MainFrm window(clock, std::move(options));
    window.show();
    QApplication::processEvents();
    double shown = PeakMegabytes();
    std::printf("\nthe window shows %d holdings\n", window.Holdings()->Grid().RowCount());
    QEventLoop loop;
    QObject::connect(window.Download(), &app::DownloadTab::DownloadFinished, &loop, &QEventLoop::quit);
    if (!window.Download()->CmdGetData_Click()) return 1;
    loop.exec();
    double downloaded = PeakMegabytes();
    std::printf("\nmemory: peak %.1f MB after a full download of %d issues; %.1f MB once the window was shown; "
                "ratio %.2f (goal: under 150 MB)\n",
                downloaded, window.Download()->ResultTable().RowCount(), shown, downloaded / shown);
    return window.DownloadState() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TheFixture();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nstart-up to the window shown, %d holdings and %d history files present\n", kHoldings, kHistoryFiles);
    bench::PrintMilliseconds(reporter, "start");
    bench::PrintRatio(reporter, "BM_StartupLoaded", "BM_StartupEmpty", "(goal: under 0.5 s)");
    int rc = MeasureDownloadMemory(argc, argv);
    benchmark::Shutdown();
    return rc;
}
