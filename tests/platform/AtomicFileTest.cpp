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

TEST(AtomicFile, EnsureFolderCreatesWholePaths) {
    TempFolder dir;
    EnsureFolder(dir / "one");
    EXPECT_TRUE(fs::is_directory(dir / "one"));
    EnsureFolder(dir / "one");  // already there
    EnsureFolder(dir / "a" / "b" / "c");
    EXPECT_TRUE(fs::is_directory(dir / "a" / "b" / "c"));
    WriteAll(dir / "file", "x");
    EXPECT_THROW(EnsureFolder(dir / "file"), FileError);
    EXPECT_THROW(EnsureFolder(dir / "file" / "below"), FileError);
}

TEST(AtomicFile, StaleTemporariesOfOwnFilesGoAndNothingElse) {
    TempFolder dir;
    const auto owns = [](std::string_view name) { return name.size() == 8 && name.substr(4) == ".dat"; };
    struct Entry {
        const char* name;
        bool old;
        bool removed;
    };
    const Entry entries[] = {
        {".1301.dat.a1B2c3", true, true},    // a killed write's leftover
        {".1301.dat.Zz9yX8", false, false},  // young: another run may be writing it now
        {".1301.dat.ab", true, false},       // not mkstemp's six characters
        {".1301.dat.ab-c_d", true, false},   // not letters and digits
        {".notes.txt.a1B2c3", true, false},  // a temporary of a file we do not own
        {"1301.dat", true, false},           // the history file itself
        {".1301.dat", true, false},
        {"my.1301.dat.a1B2c3", true, false},
    };
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const Entry& e : entries) {
        WriteAll(dir / e.name, "x");
        if (e.old) fs::last_write_time(dir / e.name, old);
    }
    fs::create_directory(dir / ".1332.dat.Folder");  // a folder by that name is not ours
    fs::last_write_time(dir / ".1332.dat.Folder", old);

    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), owns, std::chrono::minutes(10)), 1u);
    for (const Entry& e : entries) EXPECT_EQ(fs::exists(dir / e.name), !e.removed) << e.name;
    EXPECT_TRUE(fs::is_directory(dir / ".1332.dat.Folder"));
    EXPECT_EQ(RemoveStaleTemporaries(dir / "missing", owns), 0u);
    // Under the writer lock every age goes: the young one too, and still nothing else.
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), owns, std::chrono::seconds(0)), 1u);
    EXPECT_FALSE(fs::exists(dir / ".1301.dat.Zz9yX8"));
    EXPECT_TRUE(fs::exists(dir / ".1301.dat.ab"));
    EXPECT_TRUE(fs::is_directory(dir / ".1332.dat.Folder"));
}
