// The inner tab "実行記録" of "設定・保守": the last fifty lines of the run log, newest last,
// read again each time the page is shown.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace mirolanda::app {

class WindowServices;

class RunLogPage final : public QWidget {
    Q_OBJECT
public:
    explicit RunLogPage(WindowServices& services, QWidget* parent = nullptr);

    // Reads the log's last lines into the page.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    WindowServices& services_;
    QPlainTextEdit* TxtRunLog = nullptr;
};

}  // namespace mirolanda::app
