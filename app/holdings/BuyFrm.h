// The purchase dialog "購入データ": issue code (with the name found for it), purchase date,
// price and shares, confirmed with OK (add) or 更新 (update) or cancelled with ｷｬﾝｾﾙ. It runs
// the confirmation checks itself; the holdings tab writes an accepted entry and closes it.
#pragma once

#include <QDialog>

#include "holdings/BuyEntry.h"
#include "platform/Table.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace mirolanda::app {

class WindowServices;

class BuyFrm final : public QDialog {
    Q_OBJECT
public:
    BuyFrm(WindowServices& services, QWidget* parent = nullptr);

    // Reset boxes, button "OK": confirming appends a purchase.
    void SetAddMode();
    // The holding's five cells in the boxes, button "更新": confirming replaces row `row`.
    void SetUpdateMode(int row, const platform::Table::Row& holding);

    bool IsAdding() const;
    // The holdings-table row being edited (`BuyEditRow`); −1 when adding.
    int BuyEditRow() const { return buyEditRow_; }
    holdings::BuyEntry Entry() const;

    // Cancel, Esc and the close box: the boxes are reset and nothing is written.
    void reject() override;
    // Empties code, price and shares, sets today's date and clears the name.
    void ResetFields();
    // Puts the cursor into the code box, as the dialog opens.
    void FocusCode();

signals:
    // Every check passed; the entry holds the name looked up at confirmation.
    void Confirmed(const holdings::BuyEntry& entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CmdOK_Click();
    void TxtMeigaraCode_LostFocus();
    void TxtBuyDate_LostFocus();
    void FocusAndSelect(QLineEdit* box);
    // The reason beside the fields and as the refused box's description; nothing clears it.
    void ShowRefusal(QLineEdit* box, const QString& text);

    QLineEdit* TxtMeigaraCode;
    QLabel* LblMeigaraName;
    QLabel* LblRefusal;  // why the last OK was refused, in words
    QLineEdit* TxtBuyDate;
    QLineEdit* TxtKakaku;
    QLineEdit* TxtNum;
    QPushButton* CmdOK;
    QPushButton* CmdNo;

    WindowServices& services_;
    int buyEditRow_ = -1;
};

}  // namespace mirolanda::app
