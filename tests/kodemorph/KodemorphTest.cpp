// libkodemorph.so as the program uses it: loaded from beside the executable by
// ConvertToShiftJis, converting files, and failing clearly when it cannot be loaded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <sys/wait.h>
#include <iconv.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/Folders.h"
#include "quotesite/CodeConvert.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using mirolanda::platform::ExecutableFolder;
using mirolanda::quotesite::ConvertToShiftJis;
using mirolanda::quotesite::KodemorphError;
using mirolanda::quotesite::SetKodemorphPath;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;

fs::path RealLibrary() {
    return ExecutableFolder() / "libkodemorph.so";
}

class KodemorphFile : public ::testing::Test {
protected:
    void TearDown() override { SetKodemorphPath(RealLibrary()); }
    TempFolder folder_;
    fs::path source_ = folder_ / "result.euc";
    fs::path target_ = folder_ / "result.sjis";
};

TEST_F(KodemorphFile, ConvertsAPage) {
    WriteAll(source_, "<html>\r\n\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE\r\n\xAD\xEA\xFC\xE2\r\n");
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(ReadAll(target_), "<html>\r\n\x8C\xBB\x8D\xDD\x82\xCC\x93\xFA\x8E\x9E\r\n\x87\x8A\xFB\xFC\r\n");
    EXPECT_TRUE(fs::exists(source_));
}

TEST_F(KodemorphFile, AsciiIsIdentical) {
    std::string page;
    for (int i = 0; i < 2000; ++i) page += "<tr align=right>\n<td>" + std::to_string(i) + "</td>\r\n";
    WriteAll(source_, page);
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(ReadAll(target_), page);
}

TEST_F(KodemorphFile, EmptySourceEmptiesAnExistingTarget) {
    WriteAll(source_, "");
    WriteAll(target_, "an earlier page");
    ConvertToShiftJis(source_, target_);
    ASSERT_TRUE(fs::exists(target_));
    EXPECT_EQ(fs::file_size(target_), 0u);
}

TEST_F(KodemorphFile, LongerEarlierTargetHoldsOnlyTheNewConversion) {
    WriteAll(target_, std::string(10000, 'x'));
    WriteAll(source_, "new\r\n");
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(ReadAll(target_), "new\r\n");
}

TEST_F(KodemorphFile, MissingSourceLeavesAnEmptyTarget) {
    WriteAll(target_, "an earlier page");
    ConvertToShiftJis(folder_ / "missing.euc", target_);
    ASSERT_TRUE(fs::exists(target_));
    EXPECT_EQ(fs::file_size(target_), 0u);
}

TEST_F(KodemorphFile, TargetInAMissingFolderIsNotCreated) {
    WriteAll(source_, "page");
    ConvertToShiftJis(source_, folder_ / "no" / "result.sjis");
    EXPECT_FALSE(fs::exists(folder_ / "no"));
    EXPECT_EQ(ReadAll(source_), "page");
}

TEST_F(KodemorphFile, ReadOnlySourceCountsAsNotOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens read-only files for writing";
    WriteAll(source_, "page");
    fs::permissions(source_, fs::perms::owner_read);
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(fs::file_size(target_), 0u);
}

TEST_F(KodemorphFile, SourceThatIsAFolderLeavesAnEmptyTarget) {
    fs::create_directory(source_);
    WriteAll(target_, "an earlier page");
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(fs::file_size(target_), 0u);
}

TEST_F(KodemorphFile, ThreadsConvertAtTheFirstLoadTogether) {
    SetKodemorphPath(RealLibrary());  // forget the loaded library, so the threads race to load it
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        const fs::path in = folder_ / ("in" + std::to_string(i));
        WriteAll(in, "\xA4\xA2" + std::to_string(i));
        threads.emplace_back([in, out = folder_ / ("out" + std::to_string(i))] { ConvertToShiftJis(in, out); });
    }
    for (auto& t : threads) t.join();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadAll(folder_ / ("out" + std::to_string(i))), "\x82\xA0" + std::to_string(i));
}

TEST(KodemorphLibrary, ExportsOnlyKodemorph) {
    void* handle = ::dlopen(RealLibrary().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    EXPECT_NE(::dlsym(handle, "Kodemorph"), nullptr);
    EXPECT_EQ(::dlsym(handle, "jconv"), nullptr);
    ::dlclose(handle);
}

// Each failure to load names the library, so the user knows what is missing.
TEST_F(KodemorphFile, MissingLibraryIsAnErrorNamingIt) {
    WriteAll(source_, "page");
    const fs::path library = folder_ / "lib" / "libkodemorph.so";
    SetKodemorphPath(library);
    try {
        ConvertToShiftJis(source_, target_);
        FAIL() << "no error";
    } catch (const KodemorphError& e) {
        EXPECT_NE(std::string(e.what()).find(library.string()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(target_));
}

TEST_F(KodemorphFile, FileThatIsNoLibraryIsAnError) {
    const fs::path library = folder_ / "libkodemorph.so";
    WriteAll(library, "\x7F" "ELF but not really");
    SetKodemorphPath(library);
    EXPECT_THROW(ConvertToShiftJis(source_, target_), KodemorphError);
}

TEST_F(KodemorphFile, LibraryWithoutTheFunctionIsAnError) {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&::iconv_close), &info) || !info.dli_fname || info.dli_fname[0] != '/')
        GTEST_SKIP() << "cannot locate the C library";
    SetKodemorphPath(info.dli_fname);
    try {
        ConvertToShiftJis(source_, target_);
        FAIL() << "no error";
    } catch (const KodemorphError& e) {
        EXPECT_NE(std::string(e.what()).find("Kodemorph"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(info.dli_fname), std::string::npos) << e.what();
    }
}

TEST_F(KodemorphFile, LoadsAgainOnceTheLibraryIsThere) {
    WriteAll(source_, "page");
    SetKodemorphPath(folder_ / "missing.so");
    EXPECT_THROW(ConvertToShiftJis(source_, target_), KodemorphError);
    SetKodemorphPath(RealLibrary());
    ConvertToShiftJis(source_, target_);
    EXPECT_EQ(ReadAll(target_), "page");
}

}  // namespace

namespace {

// Runs mirolanda-cli with its own settings file and program folder, never the user's.
int RunCli(const TempFolder& folder, const std::string& arguments) {
    const std::string command = std::string("'") + MIROLANDA_CLI + "' --settings '" + (folder / "settings.ini").string() +
                                "' --program-folder '" + folder.Path().string() + "' " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The command-line tool converts through the same loader, and says so when the source is missing
// rather than leaving an empty target behind.
TEST(ConvertCommand, ConvertsAndRefusesAMissingSource) {
    TempFolder folder;
    WriteAll(folder / "a.euc", "\xAD\xEA\xFC\xE2\r\n");
    EXPECT_EQ(RunCli(folder, "convert '" + (folder / "a.euc").string() + "' '" + (folder / "a.sjis").string() + "'"), 0);
    EXPECT_EQ(ReadAll(folder / "a.sjis"), "\x87\x8A\xFB\xFC\r\n");
    EXPECT_NE(RunCli(folder, "convert '" + (folder / "b.euc").string() + "' '" + (folder / "b.sjis").string() + "'"), 0);
    EXPECT_FALSE(fs::exists(folder / "b.sjis"));
    EXPECT_EQ(RunCli(folder, "convert '" + (folder / "a.euc").string() + "'"), 2);
}

}  // namespace
