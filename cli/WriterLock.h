// The program folder's writer lock for the commands that write the program's data (download,
// file), with the wait the user gave (--wait, 600 seconds by default).
#pragma once

#include "cli/CliContext.h"
#include "platform/FolderLock.h"

namespace mirolanda::cli {

// Exit status of a writing command that gave up waiting for another writer; nothing was written.
inline constexpr int kExitBusy = 5;

// The lock, waiting up to the context's wait for another writer and saying so once on
// stderr. Throws platform::FolderBusy after the wait (main exits with kExitBusy).
platform::FolderLock LockForWriting(const CliContext& context);

}  // namespace mirolanda::cli
