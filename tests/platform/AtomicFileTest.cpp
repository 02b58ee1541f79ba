#include <gtest/gtest.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "support/TempFolder.h"

using namespace mirolanda::platform;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;
namespace fs = std::filesystem;

namespace {
size_t EntryCount(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}
}  // namespace

TEST(AtomicFile, ReplaceLeavesExactlyTheNewBytesAndNoTemporary) {
    TempFolder dir;
    WriteAll(dir / "a.dat", std::string(100, 'x'));
    ReplaceFile(dir / "a.dat", "short");
    EXPECT_EQ(ReadAll(dir / "a.dat"), "short");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(AtomicFile, ReplaceIntoMissingFolderFailsAndKeepsNothing) {
    TempFolder dir;
    EXPECT_THROW(ReplaceFile(dir / "missing" / "a.dat", "x"), FileError);
    EXPECT_EQ(EntryCount(dir.Path()), 0u);
}

TEST(AtomicFile, BatchRenamesOnlyOnCommit) {
    TempFolder dir;
    WriteAll(dir / "1.dat", "old");
    {
        FileBatch batch;
        batch.Stage(dir / "1.dat", "new1");
        batch.Stage(dir / "2.dat", "new2");
        EXPECT_EQ(ReadAll(dir / "1.dat"), "old");
        EXPECT_FALSE(fs::exists(dir / "2.dat"));
        batch.Commit();
    }
    EXPECT_EQ(ReadAll(dir / "1.dat"), "new1");
    EXPECT_EQ(ReadAll(dir / "2.dat"), "new2");
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

TEST(AtomicFile, AbandonedBatchRemovesItsTemporaries) {
    TempFolder dir;
    WriteAll(dir / "1.dat", "old");
    {
        FileBatch batch;
        batch.Stage(dir / "1.dat", "new");
    }
    EXPECT_EQ(ReadAll(dir / "1.dat"), "old");
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(AtomicFile, EnsureFolderCreatesOneLevelOnly) {
    TempFolder dir;
    EnsureFolder(dir / "one");
    EXPECT_TRUE(fs::is_directory(dir / "one"));
    EnsureFolder(dir / "one");  // already there
    EXPECT_THROW(EnsureFolder(dir / "a" / "b"), FileError);
    WriteAll(dir / "file", "x");
    EXPECT_THROW(EnsureFolder(dir / "file"), FileError);
}
