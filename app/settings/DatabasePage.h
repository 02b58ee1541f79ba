// The inner tab "データベース" of "設定・保守": the daily CSV folder imported into the market
// history database on the worker thread, with a progress bar and 「中止」 (the days stored until
// then are kept; a rerun stores the same days again to the same result).
#pragma once

#include <QWidget>
#include <atomic>

#include "marketdb/Import.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace mirolanda::app {

class BackgroundJob;
class WindowServices;

class DatabasePage final : public QWidget {
    Q_OBJECT
public:
    explicit DatabasePage(WindowServices& services, QWidget* parent = nullptr);
    ~DatabasePage() override;

    // Starts the import of the CSV folder; false while one runs.
    bool CmdDbImport_Click();
    // Stops the import between two days.
    void CmdDbCancel_Click();
    bool Busy() const;

signals:
    void ImportFinished();

private:
    void ImportDone(std::exception_ptr error);

    QPushButton* CmdDbImport = nullptr;
    QPushButton* CmdDbCancel = nullptr;
    QProgressBar* PrgDbImport = nullptr;
    QLabel* LblDbImport = nullptr;

    WindowServices& services_;
    BackgroundJob* job_ = nullptr;
    std::atomic<bool> cancel_{false};
    marketdb::ImportSummary summary_;  // written on the worker, read once it is done
    std::string notice_;               // a damaged file set aside, said with the summary
};

}  // namespace mirolanda::app
