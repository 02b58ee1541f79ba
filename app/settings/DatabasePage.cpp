#include "app/settings/DatabasePage.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/commands/BackgroundJob.h"
#include "app/commands/ErrorBox.h"
#include "app/commands/FolderLockWait.h"
#include "app/commands/WindowServices.h"
#include "app/widgets/Controls.h"
#include "marketdb/Health.h"
#include "quotes/CsvFile.h"
#include "settings/CommandOptions.h"

namespace mirolanda::app {
namespace {

QString SummaryText(const marketdb::ImportSummary& summary) {
    QString text = QStringLiteral("%1 日, %2 本を記録しました").arg(summary.Days).arg(summary.Bars);
    if (summary.Cancelled) text = QStringLiteral("中止しました (") + text + QStringLiteral(")");
    if (!summary.Refused.empty()) {
        text += QStringLiteral("　取り込めなかったファイル %1: ").arg(summary.Refused.size()) +
                QString::fromStdString(summary.Refused.front().Path.filename().string() + " (" +
                                       summary.Refused.front().Reason + ")");
    }
    return text;
}

}  // namespace

DatabasePage::DatabasePage(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("DatabasePage"));
    new AnchorLayout(this);
    MakeLabel(this,
              QStringLiteral("ＣＳＶフォルダの日別ファイルを市場データベースに取り込みます。"
                             "取り込み済みの日は同じ内容で置き換えられます。"),
              {120, 120, 7725, 495}, {}, kGrowWidth)
        ->setWordWrap(true);
    CmdDbImport = MakeButton(this, QStringLiteral("CmdDbImport"), QStringLiteral("ＣＳＶフォルダを取り込む(&R)"),
                             {120, 720, 2895, 375});
    CmdDbCancel = MakeButton(this, QStringLiteral("CmdDbCancel"), QStringLiteral("中止(&X)"), {3135, 720, 1095, 375});
    CmdDbCancel->setEnabled(false);
    PrgDbImport = Named(new QProgressBar(this), QStringLiteral("PrgDbImport"), {120, 1215, 7725, 255}, kGrowWidth);
    PrgDbImport->setAccessibleName(QStringLiteral("取り込みの進み具合"));
    PrgDbImport->setRange(0, 1);
    PrgDbImport->setValue(0);
    LblDbImport = MakeLabel(this, {}, {120, 1590, 7725, 495}, QStringLiteral("LblDbImport"), kGrowWidth);
    LblDbImport->setWordWrap(true);

    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::StatusText, LblDbImport, &QLabel::setText);
    connect(job_, &BackgroundJob::Advanced, this, [this](int done, int total) {
        PrgDbImport->setRange(0, std::max(total, 1));
        PrgDbImport->setValue(done);
    });
    connect(CmdDbImport, &QPushButton::clicked, this, [this] { CmdDbImport_Click(); });
    connect(CmdDbCancel, &QPushButton::clicked, this, [this] { CmdDbCancel_Click(); });
}

DatabasePage::~DatabasePage() {
    cancel_ = true;
    job_->Wait();
}

bool DatabasePage::Busy() const { return job_->Busy(); }

bool DatabasePage::CmdDbImport_Click() {
    if (Busy()) return false;
    const settings::Snapshot live = services_.LiveSettings();
    const std::filesystem::path csvFolder = settings::FoldersFrom(live).CsvData;
    const std::filesystem::path file = settings::MarketDatabaseFrom(live);
    cancel_ = false;
    summary_ = {};
    notice_.clear();
    CmdDbImport->setEnabled(false);
    CmdDbCancel->setEnabled(true);
    PrgDbImport->setRange(0, 1);
    PrgDbImport->setValue(0);
    LblDbImport->setText(QStringLiteral("取り込み－開始"));
    const platform::Progress progress = job_->WorkerProgress();
    job_->Start(
        [this, progress, csvFolder, file, folder = services_.ProgramFolder(), &clock = services_.Clock()] {
            // Another writer (the evening download) goes first; a cancel ends the wait.
            std::optional<platform::FolderLock> lock;
            try {
                lock.emplace(WaitForWriterLock(folder, progress, [this] { return cancel_.load(); }));
            } catch (const platform::FolderBusy&) {
                summary_.Cancelled = true;
                return;
            }
            marketdb::Opened opened = marketdb::OpenOrSetAside(file, clock.Now());
            notice_ = opened.SetAsideMessage;
            const auto files = marketdb::ListDayFiles({csvFolder}, summary_.Refused);
            const auto refused = summary_.Refused;
            summary_ = marketdb::ImportDays(
                *opened.Db, files, [](const marketdb::DayFile& f) { return quotes::ReadDailyCsvDay(f.Path); },
                progress, &cancel_);
            summary_.Refused.insert(summary_.Refused.begin(), refused.begin(), refused.end());
        },
        [this](std::exception_ptr error) { ImportDone(error); });
    return true;
}

void DatabasePage::CmdDbCancel_Click() { cancel_ = true; }

void DatabasePage::ImportDone(std::exception_ptr error) {
    CmdDbImport->setEnabled(true);
    CmdDbCancel->setEnabled(false);
    if (error) {
        LblDbImport->setText(QStringLiteral("取り込めませんでした"));
        ShowError(services_, error);
    } else {
        PrgDbImport->setValue(PrgDbImport->maximum());
        const QString notice = QString::fromStdString(notice_);
        LblDbImport->setText((notice.isEmpty() ? QString() : notice + QStringLiteral("　")) + SummaryText(summary_));
    }
    emit ImportFinished();
}

}  // namespace mirolanda::app
