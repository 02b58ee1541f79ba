#include "app/holdings/BuyFrm.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/widgets/Controls.h"
#include "app/widgets/Dialogs.h"
#include "app/commands/ErrorBox.h"
#include "app/widgets/QtText.h"
#include "app/commands/WindowServices.h"
#include "holdings/BuyData.h"
#include "holdings/History.h"

namespace mirolanda::app {
namespace {

const QString kAddCaption = QStringLiteral("OK");
const QString kUpdateCaption = QStringLiteral("更新");

// What is wrong with the entry, in words that name the field.
QString RefusalText(holdings::BuyRefusal refusal, holdings::BuyField field) {
    switch (refusal) {
        case holdings::BuyRefusal::NotANumber:
            return (field == holdings::BuyField::Shares ? QStringLiteral("購入株数: ") : QStringLiteral("購入時株価: ")) +
                   QStringLiteral("数として読めません (数字、桁区切りのカンマ、小数点で入力してください)");
        case holdings::BuyRefusal::UnknownIssue: return QStringLiteral("銘柄コード: この銘柄の株価データがありません");
        case holdings::BuyRefusal::EmptyDate: return QStringLiteral("購入日: yyyy/mm/dd の形で入力してください");
        case holdings::BuyRefusal::ZeroPrice: return QStringLiteral("購入時株価: 0 より大きい数で入力してください");
        case holdings::BuyRefusal::ZeroShares: return QStringLiteral("購入株数: 0 より大きい数で入力してください");
        default: return {};
    }
}

}  // namespace

BuyFrm::BuyFrm(WindowServices& services, QWidget* parent) : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("BuyFrm"));
    setWindowTitle(QStringLiteral("購入データ"));
    setFixedSize(Px(5400), Px(3300));
    // Modal to the main window: no holding can be deleted or re-selected under an open edit.
    setWindowModality(Qt::WindowModal);

    TxtMeigaraCode = MakeEdit(this, QStringLiteral("TxtMeigaraCode"), {1800, 240, 900, 315});
    MakeLabel(this, QStringLiteral("銘柄コード"), {240, 240, 1500, 315})->setBuddy(TxtMeigaraCode);
    LblMeigaraName = MakeLabel(this, {}, {1800, 630, 3360, 315}, QStringLiteral("LblMeigaraName"));
    TxtBuyDate = MakeEdit(this, QStringLiteral("TxtBuyDate"), {1800, 1020, 1500, 315});
    MakeLabel(this, QStringLiteral("購入日"), {240, 1020, 1500, 315})->setBuddy(TxtBuyDate);
    TxtKakaku = MakeEdit(this, QStringLiteral("TxtKakaku"), {1800, 1410, 1500, 315});
    MakeLabel(this, QStringLiteral("購入時株価"), {240, 1410, 1500, 315})->setBuddy(TxtKakaku);
    MakeLabel(this, QStringLiteral("円"), {3360, 1410, 600, 315});
    TxtNum = MakeEdit(this, QStringLiteral("TxtNum"), {1800, 1800, 1500, 315});
    MakeLabel(this, QStringLiteral("購入株数"), {240, 1800, 1500, 315})->setBuddy(TxtNum);
    MakeLabel(this, QStringLiteral("株"), {3360, 1800, 600, 315});
    LblRefusal = MakeLabel(this, {}, {240, 2130, 4920, 285}, QStringLiteral("LblRefusal"));
    LblRefusal->setStyleSheet(QStringLiteral("color: #c00000"));
    CmdOK = MakeButton(this, QStringLiteral("CmdOK"), kAddCaption, {1320, 2460, 1320, 420});
    CmdNo = MakeButton(this, QStringLiteral("CmdNo"), QStringLiteral("ｷｬﾝｾﾙ"), {2760, 2460, 1320, 420});
    TxtKakaku->setAlignment(Qt::AlignRight);
    TxtNum->setAlignment(Qt::AlignRight);
    CmdOK->setDefault(true);
    CmdNo->setAutoDefault(false);
    for (QLineEdit* box : {TxtMeigaraCode, TxtBuyDate, TxtKakaku, TxtNum}) box->installEventFilter(this);

    connect(CmdOK, &QPushButton::clicked, this, &BuyFrm::CmdOK_Click);
    connect(CmdNo, &QPushButton::clicked, this, &BuyFrm::reject);
    ResetFields();
}

void BuyFrm::ResetFields() {
    TxtMeigaraCode->clear();
    TxtKakaku->clear();
    TxtNum->clear();
    TxtBuyDate->setText(Q(platform::FormatSlashed(services_.Clock().Now().Day)));
    LblMeigaraName->clear();
    ShowRefusal(nullptr, {});
}

void BuyFrm::ShowRefusal(QLineEdit* box, const QString& text) {
    LblRefusal->setText(text);
    // A screen reader says the reason with the field the focus returns to.
    for (QLineEdit* each : {TxtMeigaraCode, TxtBuyDate, TxtKakaku, TxtNum}) {
        each->setAccessibleDescription(each == box ? text : QString());
    }
}

void BuyFrm::FocusCode() { TxtMeigaraCode->setFocus(); }

void BuyFrm::SetAddMode() {
    buyEditRow_ = -1;
    ResetFields();
    CmdOK->setText(kAddCaption);
}

void BuyFrm::SetUpdateMode(int row, const platform::Table::Row& holding) {
    buyEditRow_ = row;
    auto cell = [&](int column) { return column < static_cast<int>(holding.size()) ? Q(holding[column]) : QString(); };
    TxtMeigaraCode->setText(cell(holdings::kBuyCode));
    LblMeigaraName->setText(cell(holdings::kBuyName));
    TxtBuyDate->setText(cell(holdings::kBuyDate));
    TxtKakaku->setText(cell(holdings::kBuyPrice));
    TxtNum->setText(cell(holdings::kBuyShares));
    CmdOK->setText(kUpdateCaption);
}

bool BuyFrm::IsAdding() const {
    return CmdOK->text() == kAddCaption;
}

holdings::BuyEntry BuyFrm::Entry() const {
    return {TxtMeigaraCode->text().toStdString(), LblMeigaraName->text().toStdString(),
            TxtBuyDate->text().toStdString(), TxtKakaku->text().toStdString(), TxtNum->text().toStdString()};
}

void BuyFrm::reject() {
    ResetFields();
    QDialog::reject();
}

void BuyFrm::FocusAndSelect(QLineEdit* box) {
    box->setFocus();
    box->selectAll();
}

void BuyFrm::CmdOK_Click() {
    Guarded(services_, [this] {
        holdings::BuyEntry entry = Entry();
        holdings::HistoryFolder history(services_.CurrentFolders().StockData);
        holdings::BuyCheck check = holdings::CheckBuyEntry(entry, history);
        // The boxes show what the checks read: the name of the code as it stands, the date normalised.
        LblMeigaraName->setText(Q(entry.Name));
        TxtBuyDate->setText(Q(entry.Date));
        if (check.Beep) services_.Dialog().Beep();
        if (!check.Message.empty()) {
            services_.Dialog().Inform(this, MessageIcon::Warning, kAppTitle, Q(check.Message));
        }
        QLineEdit* box = nullptr;
        switch (check.Focus) {
            case holdings::BuyField::Code: box = TxtMeigaraCode; break;
            case holdings::BuyField::Date: box = TxtBuyDate; break;
            case holdings::BuyField::Price: box = TxtKakaku; break;
            case holdings::BuyField::Shares: box = TxtNum; break;
            case holdings::BuyField::None: break;
        }
        ShowRefusal(box, box ? RefusalText(check.Refusal, check.Focus) : QString());
        if (box) FocusAndSelect(box);
        if (check.Passed()) emit Confirmed(entry);
    });
}

void BuyFrm::TxtMeigaraCode_LostFocus() {
    Guarded(services_, [this] {
        holdings::HistoryFolder history(services_.CurrentFolders().StockData);
        LblMeigaraName->setText(Q(holdings::NameForCodeBox(TxtMeigaraCode->text().toStdString(), history)));
    });
}

void BuyFrm::TxtBuyDate_LostFocus() {
    if (auto date = holdings::NormalizeBuyDate(TxtBuyDate->text().toStdString())) {
        TxtBuyDate->setText(Q(*date));
        return;
    }
    // Empty or not a date: back to the box, after the focus change that is under way.
    QTimer::singleShot(0, TxtBuyDate, [this] { FocusAndSelect(TxtBuyDate); });
}

bool BuyFrm::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn && box == TxtMeigaraCode) {
        // After the click's own cursor placement.
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    if (box && event->type() == QEvent::FocusOut && isVisible()) {
        if (box == TxtMeigaraCode) TxtMeigaraCode_LostFocus();
        if (box == TxtBuyDate) TxtBuyDate_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace mirolanda::app
