#include "cli/WriterLock.h"

#include <cstdio>

namespace mirolanda::cli {

platform::FolderLock LockForWriting(const CliContext& context) {
    platform::FolderLock::WaitOptions options;
    options.Timeout = context.lockWait;
    options.Waiting = [] {
        std::fprintf(stderr, "%s\n", platform::kFolderBusyText);
        std::fflush(stderr);
    };
    return platform::FolderLock::Wait(context.programFolder, options);
}

}  // namespace mirolanda::cli
