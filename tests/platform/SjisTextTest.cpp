#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "support/TempFolder.h"

using namespace mirolanda::platform;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;

TEST(SjisText, RoundTripsJapaneseAndWindowsExtensions) {
    // ㈱ and ① are NEC row 13 characters that Windows users see in company names.
    const std::string utf8 = "㈱日本水産① ～ ﾃｽﾄ \\";
    const std::string sjis = Utf8ToSjis(utf8);
    EXPECT_EQ(sjis.substr(0, 2), "\x87\x8A");
    EXPECT_EQ(SjisToUtf8(sjis), utf8);
}

TEST(SjisText, BadBytesBecomeOneSubstituteEach) {
    // A lone lead byte at the end, and an invalid byte in the middle, do not stop the conversion.
    EXPECT_EQ(SjisToUtf8(std::string("A\xA0" "B\x82", 4)), "A〓B〓");
    EXPECT_EQ(Utf8ToSjis("x\xff" "y"), "x\x81\xACy");
    EXPECT_EQ(Utf8ToSjis("😀"), "\x81\xAC");  // no CP932 form
}

TEST(SjisText, FitSjisNeverSplitsADoubleByteCharacter) {
    const std::string name = Utf8ToSjis("あいう");  // six bytes
    EXPECT_EQ(FitSjis(name, 5), name.substr(0, 4) + " ");
    EXPECT_EQ(FitSjis(name, 6), name);
    EXPECT_EQ(FitSjis("ab", 4), "ab  ");
    EXPECT_EQ(FitSjis("abcdef", 3), "abc");
}

TEST(SjisText, TrimBlanksTakesSpacesAndTabsOnlyFromTheEnds) {
    EXPECT_EQ(TrimBlanks(" \t a b\t \t"), "a b");
    EXPECT_EQ(TrimBlanks(" \t "), "");
    // A line end or an ideographic space is text, not a blank around it.
    EXPECT_EQ(TrimBlanks("\r x\n"), "\r x\n");
    EXPECT_EQ(TrimBlanks("　x　"), "　x　");
}

TEST(SjisText, QuotableTextLeavesNothingThatSplitsAFieldOrALine) {
    EXPECT_EQ(QuotableText("say \"hi\""), "say ＂hi＂");
    EXPECT_EQ(QuotableText("a\r\nb\tc\x7F" "d\x01"), "a  b c d ");
    // Bytes of multibyte characters are above 0x7F: kept whole, never taken for controls.
    EXPECT_EQ(QuotableText("㈱日本 ｿﾌﾄ"), "㈱日本 ｿﾌﾄ");
}

TEST(SjisText, SplitFieldsReadsQuotedAndBareFieldsAndRefusesBrokenQuotes) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ(SplitFields("1301,\"A, Inc.\",\"2001/05/06\",350"), (Fields{"1301", "A, Inc.", "2001/05/06", "350"}));
    // Blanks around a field go; blanks inside quotes stay.
    EXPECT_EQ(SplitFields(" \t12 , \" x \"\t,"), (Fields{"12", " x ", ""}));
    EXPECT_EQ(SplitFields(""), (Fields{""}));
    EXPECT_EQ(SplitFields("\"\""), (Fields{""}));
    EXPECT_FALSE(SplitFields("1,\"open"));
    EXPECT_FALSE(SplitFields("\"a\"b,1"));
}

TEST(SjisText, SplitLinesHandlesEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(SjisText, WritesCrLfShiftJisAndReadsItBack) {
    TempFolder dir;
    WriteSjisLines(dir / "f.txt", {"\"01/01\",\"元日\"", "x"});
    EXPECT_EQ(ReadAll(dir / "f.txt"), "\"01/01\",\"\x8C\xB3\x93\xFA\"\r\nx\r\n");
    EXPECT_EQ(ReadSjisLines(dir / "f.txt"), (std::vector<std::string>{"\"01/01\",\"元日\"", "x"}));
}

TEST(SjisText, MissingFileIsAFileErrorNamingIt) {
    TempFolder dir;
    try {
        ReadSjisLines(dir / "nope.txt");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), dir / "nope.txt");
        EXPECT_NE(std::string(e.what()).find("nope.txt"), std::string::npos);
    }
}

TEST(SjisText, AFolderIsNotReadAsAFile) {
    TempFolder dir;
    EXPECT_THROW(ReadFileBytes(dir.Path()), FileError);
}
