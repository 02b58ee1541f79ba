#include "app/calendar/CalendarTab.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "app/calendar/CalFrm.h"
#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/calendar/MonthPreview.h"
#include "app/widgets/TableModel.h"
#include "platform/FolderLock.h"
#include "calendar/Calender.h"

namespace mirolanda::app {
namespace {

const QString kTitle = QStringLiteral("カレンダー");

QString PathText(const std::filesystem::path& path) { return QString::fromStdString(path.generic_string()); }

}  // namespace

CalendarTab::CalendarTab(platform::Table& holidays, std::filesystem::path calenderFile, const platform::Clock& clock,
                         QWidget* parent)
    : QWidget(parent),
      holidays_(holidays),
      calenderFile_(std::move(calenderFile)),
      ownDialogs_(std::make_unique<QtDialogs>()),
      dialogs_(ownDialogs_.get()) {
    if (holidays_.ColumnCount() != 2 || !holidays_.HasHeading()) calendar::ResetHolidayTable(holidays_);

    new AnchorLayout(this);
    model_ = new TableModel(&holidays_, this);
    // Wide enough for a dated entry "yyyy/mm/dd" as well as "mm/dd".
    model_->SetColumnWidthTwips(0, 1400);
    model_->SetColumnWidthTwips(1, 2600);
    model_->SetColumnAlignment(0, Qt::AlignCenter);
    model_->SetColumnAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    FgClender = Named(new QTableView(this), QStringLiteral("FgClender"), {60, 60, 4110, 3375}, kGrow);
    FgClender->setModel(model_);
    FgClender->setAccessibleName(QStringLiteral("休日一覧"));
    FgClender->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The selection is always the current row alone.
    FgClender->setSelectionMode(QAbstractItemView::SingleSelection);
    FgClender->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_->ConfigureView(FgClender);

    CmdCalAdd = MakeButton(this, QStringLiteral("CmdCalAdd"), QStringLiteral("追加(&D)"), {60, 3540, 1300, 375}, kBottom);
    CmdCalMod = MakeButton(this, QStringLiteral("CmdCalMod"), QStringLiteral("編集(&E)"), {1420, 3540, 1300, 375}, kBottom);
    CmdCalDel = MakeButton(this, QStringLiteral("CmdCalDel"), QStringLiteral("削除(&R)"), {2780, 3540, 1300, 375}, kBottom);

    preview_ = Named(new MonthPreview(holidays_, this), QStringLiteral("FrmCalPreview"), {4380, 0, 2880, 2640}, kRight);
    dialog_ = new CalFrm(this);

    connect(CmdCalAdd, &QPushButton::clicked, this, &CalendarTab::CmdCalAdd_Click);
    connect(CmdCalMod, &QPushButton::clicked, this, &CalendarTab::CmdCalMod_Click);
    connect(CmdCalDel, &QPushButton::clicked, this, &CalendarTab::CmdCalDel_Click);
    connect(dialog_, &CalFrm::ApplyRequested, this, [this] {
        ApplyHoliday(dialog_->IsAdding(), dialog_->EditRow(), dialog_->MonthDay(), dialog_->HolidayName());
    });

    const platform::DateTime now = clock.Now();
    ShowMonth(now.Day.Year, now.Day.Month);
}

CalendarTab::~CalendarTab() = default;

void CalendarTab::SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs ? dialogs : ownDialogs_.get(); }

void CalendarTab::LoadHolidays() {
    try {
        const calendar::CalenderLoad load = calendar::LoadCalender(holidays_, calenderFile_);
        if (!load.Problems.empty()) {
            dialogs_->Inform(this, MessageIcon::Warning, kTitle, QString::fromStdString(load.Message()));
        }
    } catch (const std::exception& e) {
        calendar::ResetHolidayTable(holidays_);
        dialogs_->Inform(this, MessageIcon::Critical, kTitle,
                         QStringLiteral("休日ファイル %1 を読み込めませんでした。\r%2")
                             .arg(PathText(calenderFile_), QString::fromStdString(e.what())));
    }
    Refresh(0);
}

void CalendarTab::ShowMonth(int year, int month) { preview_->ShowMonth(year, month); }

void CalendarTab::CmdCalAdd_Click() {
    dialog_->SetAddMode();
    OpenHolidayDialog();
}

void CalendarTab::CmdCalMod_Click() {
    const int row = CurrentHolidayRow();
    if (row < 0) return;  // nothing to edit
    dialog_->SetEditMode(row, QString::fromStdString(holidays_.Cell(row, 0)),
                         QString::fromStdString(holidays_.Cell(row, 1)));
    OpenHolidayDialog();
}

void CalendarTab::OpenHolidayDialog() {
    CentreOver(dialog_, window());
    dialog_->open();
    dialog_->activateWindow();
    // Every time, not only the first: typing must land in the day, never in the name.
    dialog_->FocusMonthDay();
}

void CalendarTab::CmdCalDel_Click() {
    const int row = CurrentHolidayRow();
    if (row < 0) return;  // nothing to delete
    const platform::Table before = holidays_;
    holidays_.RemoveRow(row);
    if (!SaveOrRestore(before)) return;
    Refresh(std::min(row, holidays_.RowCount() - 1));
}

void CalendarTab::ApplyHoliday(bool adding, int editRow, const QString& mmdd, const QString& name) {
    const platform::Table before = holidays_;
    int row = -1;
    try {
        row = calendar::ApplyHoliday(holidays_, mmdd.toStdString(), name.toStdString(),
                                     adding ? std::nullopt : std::optional<int>(editRow));
    } catch (const calendar::HolidayDateError& e) {
        // The dialog stays open with what was typed, so the day can be corrected.
        dialogs_->Inform(dialog_, MessageIcon::Warning, kTitle, QString::fromStdString(e.what()));
        dialog_->FocusMonthDay();
        return;
    }
    if (row < 0) {
        dialog_->reject();  // the edited row is gone
        return;
    }
    if (!SaveOrRestore(before)) return;  // the dialog stays open with what was typed
    dialog_->accept();
    Refresh(row);
}

bool CalendarTab::SaveOrRestore(const platform::Table& before) {
    try {
        // "Calender.txt" lies in the program folder, whose writer lock it takes. While another
        // writer holds it the change is not kept, and the dialog stays open to save it again.
        const auto lock = platform::FolderLock::Try(calenderFile_.parent_path());
        if (!lock) {
            holidays_ = before;
            dialogs_->Inform(this, MessageIcon::Warning, kTitle,
                             QStringLiteral("他の処理がデータを書き込み中です。\r終わってからもう一度保存してください。"));
            return false;
        }
        calendar::SaveCalender(holidays_, calenderFile_);
        return true;
    } catch (const std::exception& e) {
        holidays_ = before;
        dialogs_->Inform(this, MessageIcon::Critical, kTitle,
                         QStringLiteral("休日ファイル %1 に保存できませんでした。変更は取り消しました。\r%2")
                             .arg(PathText(calenderFile_), QString::fromStdString(e.what())));
        return false;
    }
}

void CalendarTab::Refresh(int currentRow) {
    model_->Reload();
    model_->ConfigureView(FgClender);
    if (currentRow >= 0 && currentRow < holidays_.RowCount()) {
        FgClender->setCurrentIndex(model_->index(currentRow, 0));
        FgClender->selectRow(currentRow);
    }
    preview_->ShowCalenderMonth();
    emit HolidaysChanged();
}

int CalendarTab::CurrentHolidayRow() const {
    const QModelIndex current = FgClender->currentIndex();
    if (!current.isValid() || current.row() >= holidays_.RowCount()) return -1;
    return current.row();
}


}  // namespace mirolanda::app
