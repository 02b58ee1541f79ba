#include "app/settings/RunLogPage.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

#include "app/commands/WindowServices.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "platform/RunLog.h"

namespace mirolanda::app {
namespace {

const QStringList kHeadings = {QStringLiteral("開始"),   QStringLiteral("終了"),   QStringLiteral("処理"),
                               QStringLiteral("取得元"), QStringLiteral("結果"),   QStringLiteral("要求数"),
                               QStringLiteral("再試行"), QStringLiteral("保存"),   QStringLiteral("備考")};
constexpr int kNoteColumn = 8;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The command and outcome words of the log in the user's words; words the window does not
// know are shown as they are.
QString CommandWord(const std::string& command) {
    if (command == "download") return QStringLiteral("ダウンロード");
    if (command == "download --catch-up") return QStringLiteral("ダウンロード(遅れ分)");
    if (command == "file") return QStringLiteral("CSV取込");
    if (command == "intraday") return QStringLiteral("場中更新");
    return Q(command);
}

QString OutcomeWord(const std::string& outcome) {
    if (outcome == "ok") return QStringLiteral("成功");
    if (outcome == "skipped") return QStringLiteral("一部省略");
    if (outcome == "failed") return QStringLiteral("✖ 失敗");
    return Q(outcome);
}

// 備考: what was left alone, the notes and the error, without the log's "-" for nothing.
QString Remarks(const platform::RunLogLine& line) {
    QStringList parts;
    for (const std::string* part : {&line.Skipped, &line.Notes, &line.Error}) {
        if (!part->empty() && *part != "-") parts.push_back(Q(*part));
    }
    return parts.join(QStringLiteral(" / "));
}

QStringList Cells(const std::string& text, const std::optional<platform::RunLogLine>& line) {
    // A line of another shape is shown whole in 備考, so nothing of it is hidden.
    if (!line) return {{}, {}, {}, {}, {}, {}, {}, {}, Q(text)};
    return {Q(line->Start),          Q(line->End),       CommandWord(line->Command), Q(line->Source),
            OutcomeWord(line->Outcome), Q(line->Requests), Q(line->Retries),          Q(line->Stored),
            Remarks(*line)};
}

}  // namespace

RunLogPage::RunLogPage(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("RunLogPage"));
    new AnchorLayout(this);
    FgRunLog = Named(new QTableWidget(0, static_cast<int>(kHeadings.size()), this), QStringLiteral("FgRunLog"),
                     {120, 120, 7725, 3330}, kGrow);
    FgRunLog->setHorizontalHeaderLabels(kHeadings);
    FgRunLog->setAccessibleName(QStringLiteral("実行記録"));
    FgRunLog->setAccessibleDescription(QStringLiteral("新しい処理から順に一行ずつ。行のツールチップに記録の全文"));
    FgRunLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FgRunLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    FgRunLog->setTabKeyNavigation(false);  // Tab goes on to the button; arrows move in the table
    FgRunLog->verticalHeader()->hide();
    FgRunLog->horizontalHeader()->setStretchLastSection(true);
    CmdOpenRunLog = MakeButton(this, QStringLiteral("CmdOpenRunLog"), QStringLiteral("ログファイルを開く(&G)"),
                               {5745, 3540, 2100, 375}, kBottomRight);
    CmdOpenRunLog->setToolTip(QStringLiteral("記録のファイル Mirolanda.log をデスクトップのアプリケーションで開きます"));
    connect(CmdOpenRunLog, &QPushButton::clicked, this, &RunLogPage::CmdOpenRunLog_Click);
}

void RunLogPage::Refresh() {
    std::vector<std::string> lines;
    try {
        lines = platform::ReadRunLogTail(services_.ProgramFolder(), 50);
    } catch (const std::exception& e) {
        ShowMessageRow(QStringLiteral("実行記録を読み込めません: ") + QString::fromUtf8(e.what()));
        return;
    }
    if (lines.empty()) {
        ShowMessageRow(QStringLiteral("実行記録はまだありません"));
        return;
    }
    std::reverse(lines.begin(), lines.end());
    FgRunLog->setRowCount(static_cast<int>(lines.size()));
    const QBrush failed(QColor(0xFF, 0xE0, 0xE0));
    for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
        const std::string& text = lines[static_cast<size_t>(r)];
        const auto line = platform::ParseRunLogLine(text);
        const QStringList cells = Cells(text, line);
        const bool failure = line && line->Outcome == "failed";
        // The whole line, one field a line, so that a long source or error can be read.
        const QString whole = Q(text).replace(QLatin1Char('\t'), QLatin1Char('\n'));
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(whole);
            if (failure) item->setBackground(failed);
            if (c >= 5 && c <= 7) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            FgRunLog->setItem(r, c, item);
        }
    }
    for (int c = 0; c < kNoteColumn; ++c) FgRunLog->resizeColumnToContents(c);
}

void RunLogPage::ShowMessageRow(const QString& text) {
    FgRunLog->clearContents();
    FgRunLog->setRowCount(1);
    FgRunLog->setItem(0, kNoteColumn, new QTableWidgetItem(text));
}

void RunLogPage::CmdOpenRunLog_Click() {
    const auto path = services_.ProgramFolder() / std::string(platform::kRunLogName);
    if (!services_.Dialog().OpenOnDesktop(QString::fromStdString(path.string()))) {
        services_.Dialog().Inform(this, MessageIcon::Warning, QStringLiteral("実行記録"),
                                  QStringLiteral("ログファイルを開けませんでした。\r") + QString::fromStdString(path.string()));
    }
}

void RunLogPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

}  // namespace mirolanda::app
