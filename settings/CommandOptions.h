// The options of the program's commands built from a settings snapshot, in one place for the
// window and the command-line tool: the folders, the connection set-up, the download, the
// intraday update, the publisher's requests and the holdings alerts; and the market calendar's
// rules a download follows. What else is not a setting (progress, what the caller does once
// the fetching is over) the caller adds.
#pragma once

#include <filesystem>
#include <string>

#include "bonus/Publisher.h"
#include "holdings/BuyGrid.h"
#include "holdings/Intraday.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "platform/Table.h"
#include "quotes/DownloadCommand.h"
#include "settings/Snapshot.h"

namespace mirolanda::settings {

platform::Folders FoldersFrom(const Snapshot& settings);
// The folders every key at its default gives: sub-folders of the program folder.
platform::Folders DefaultFolders(const std::filesystem::path& programFolder);

// The market history database's file: "MarketDatabase", or "Market.sqlite3" in the program
// folder when that is empty.
std::filesystem::path MarketDatabaseFrom(const Snapshot& settings);

// The connection set-up: the stored mode and "server:port" of the proxy.
struct Connection {
    int Mode = 0;
    std::string Proxy;
};
Connection ConnectionFrom(const Snapshot& settings);

quotes::DownloadOptions DownloadOptionsFrom(const Snapshot& settings);
// The data date, the business days and the API's clock of a download, from its own copy of
// the holidays (the window's table may change while the download runs) and `clock`, which
// must outlive the options.
void SetMarketCalendar(quotes::DownloadOptions& options, platform::Table holidays, const platform::Clock& clock);
holdings::IntradayOptions IntradayOptionsFrom(const Snapshot& settings);
bonus::PublisherSetup PublisherSetupFrom(const Snapshot& settings);
holdings::BuyAlertSettings AlertsFrom(const Snapshot& settings);

}  // namespace mirolanda::settings
