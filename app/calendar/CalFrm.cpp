#include "app/calendar/CalFrm.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/widgets/Controls.h"

namespace mirolanda::app {
namespace {

const QString kAddCaption = QStringLiteral("OK");
const QString kChangeCaption = QStringLiteral("変更");

}  // namespace

CalFrm::CalFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CalFrm"));
    setWindowTitle(QStringLiteral("カレンダー"));
    setFixedSize(Px(3420), Px(1965));
    // Modal to the main window: the table cannot change under an open edit.
    setWindowModality(Qt::WindowModal);

    TxtMmDd = MakeEdit(this, QStringLiteral("TxtMmDd"), {1140, 180, 2100, 315});
    MakeLabel(this, QStringLiteral("月/日"), {180, 180, 900, 315})->setBuddy(TxtMmDd);
    TxtMmDd->setAlignment(Qt::AlignCenter);
    TxtMmDd->setToolTip(QStringLiteral("mm/dd で毎年、yyyy/mm/dd でその日だけの休日になります"));
    TxtName = MakeEdit(this, QStringLiteral("TxtName"), {1140, 660, 2100, 315});
    MakeLabel(this, QStringLiteral("名称"), {180, 660, 900, 315})->setBuddy(TxtName);
    CmdOK = MakeButton(this, QStringLiteral("CmdOK"), kAddCaption, {600, 1320, 1080, 420});
    CmdNG = MakeButton(this, QStringLiteral("CmdNG"), QStringLiteral("ｷｬﾝｾﾙ"), {1800, 1320, 1080, 420});
    CmdOK->setDefault(true);
    CmdOK->setAutoDefault(true);
    CmdNG->setAutoDefault(false);
    TxtMmDd->installEventFilter(this);
    TxtName->installEventFilter(this);

    connect(CmdOK, &QPushButton::clicked, this, &CalFrm::ApplyRequested);
    connect(CmdNG, &QPushButton::clicked, this, &CalFrm::reject);
}

void CalFrm::SetAddMode() {
    editRow_ = -1;
    TxtMmDd->clear();
    TxtName->clear();
    CmdOK->setText(kAddCaption);
}

void CalFrm::SetEditMode(int row, const QString& mmdd, const QString& name) {
    editRow_ = row;
    TxtMmDd->setText(mmdd);
    TxtName->setText(name);
    CmdOK->setText(kChangeCaption);
}

void CalFrm::FocusMonthDay() {
    TxtMmDd->setFocus(Qt::OtherFocusReason);
    TxtMmDd->selectAll();
}

bool CalFrm::IsAdding() const { return CmdOK->text() == kAddCaption; }

QString CalFrm::MonthDay() const { return TxtMmDd->text(); }

QString CalFrm::HolidayName() const { return TxtName->text(); }

void CalFrm::reject() {
    TxtMmDd->clear();
    TxtName->clear();
    QDialog::reject();
}

bool CalFrm::eventFilter(QObject* watched, QEvent* event) {
    // A box that gets the focus has its whole text selected, also when clicked into; the
    // click's own cursor placement comes first, so select after it.
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace mirolanda::app
