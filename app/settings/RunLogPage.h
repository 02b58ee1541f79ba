// The inner tab "実行記録" of "設定・保守": the run log's last fifty lines as a table, newest
// first, failures marked, each line whole in its row's tooltip; read again each time the page
// is shown. A button opens the log file itself on the desktop.
#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace mirolanda::app {

class WindowServices;

class RunLogPage final : public QWidget {
    Q_OBJECT
public:
    explicit RunLogPage(WindowServices& services, QWidget* parent = nullptr);

    // Reads the log's last lines into the table.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CmdOpenRunLog_Click();
    void ShowMessageRow(const QString& text);

    WindowServices& services_;
    QTableWidget* FgRunLog = nullptr;
    QPushButton* CmdOpenRunLog = nullptr;
};

}  // namespace mirolanda::app
