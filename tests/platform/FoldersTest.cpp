#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

#include "platform/Folders.h"
#include "support/TempFolder.h"

using namespace mirolanda::platform;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;
namespace fs = std::filesystem;

namespace {

struct Layout {
    const char* name;
    const char* executableFolder;  // relative to a scratch root
    bool privateLibrary;           // <executable folder>/<private library folder>/libkodemorph.so
    bool libraryBeside;            // <executable folder>/libkodemorph.so
    bool readOnly;
    bool installed, portable;
};

const std::vector<Layout> kLayouts = {
    {"build tree", "build/ci/bin", false, true, false, false, true},
    {"portable folder that happens to be called bin", "stick/Mirolanda/bin", false, true, false, false, true},
    {"package unpacked into a writable root (dpkg -x, or run as root)", "root/usr/bin", true, false, false, true, false},
    {"cmake --install into another prefix", "opt/mirolanda/bin", true, false, false, true, false},
    {"installed and also a stray library beside the program", "root/usr/bin", true, true, false, true, false},
    {"read-only copy that is no install", "cdrom/Mirolanda", false, true, true, false, false},
};

}  // namespace

TEST(Folders, InstalledLayoutKeepsDataAndLibraryOutOfTheProgramsFolder) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        if (layout.readOnly && ::geteuid() == 0) continue;  // root may write anywhere
        TempFolder root;
        const fs::path exe = root / layout.executableFolder;
        fs::create_directories(exe);
        WriteAll(exe / "mirolanda", "");
        const fs::path privateFolder = (exe / MIROLANDA_PRIVATE_LIBDIR).lexically_normal();
        if (layout.privateLibrary) {
            fs::create_directories(privateFolder);
            WriteAll(privateFolder / "libkodemorph.so", "");
        }
        if (layout.libraryBeside) WriteAll(exe / "libkodemorph.so", "");
        if (layout.readOnly) fs::permissions(exe, fs::perms::owner_write, fs::perm_options::remove);

        EXPECT_EQ(IsInstalledLayout(exe), layout.installed);
        EXPECT_EQ(IsPortableFolder(exe), layout.portable);
        EXPECT_EQ(LibraryFolder(exe), layout.installed ? privateFolder : exe);
        // A fresh user has no data folder yet; it is made, so its sub-folders can be.
        const fs::path userData = root / "home/.local/share/Mirolanda";
        EXPECT_EQ(ProgramFolder(exe, userData), layout.portable ? exe : userData);
        EXPECT_EQ(fs::is_directory(userData), !layout.portable);

        fs::permissions(exe, fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST(Folders, UserDataFolderFollowsXdgDataHomeThenHome) {
    EXPECT_EQ(UserDataFolder("/data", "/home/u"), fs::path("/data/Mirolanda"));
    EXPECT_EQ(UserDataFolder("", "/home/u"), fs::path("/home/u/.local/share/Mirolanda"));
    EXPECT_EQ(UserDataFolder(nullptr, "/home/u"), fs::path("/home/u/.local/share/Mirolanda"));
    // With no home at all the program still has a folder to write to.
    EXPECT_EQ(UserDataFolder(nullptr, nullptr), fs::path("/tmp/.local/share/Mirolanda"));
}
