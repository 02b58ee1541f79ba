// The converter's mapping, case by case, and its promises on hostile input.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kodemorph/Jconv.h"

namespace {

std::string Convert(const std::string& euc) {
    // Exactly the room the library gives, so a write beyond it trips the sanitizer.
    std::vector<char> out(euc.size() * 8 + 1, '\x55');
    const size_t n = jconv(kJconvEucJp, euc.data(), euc.size(), kJconvShiftJis, out.data());
    EXPECT_LE(n, euc.size() * 8);
    return std::string(out.data(), n);
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

struct Case {
    const char* what;
    std::string euc;
    std::string sjis;
};

const std::string kGeta = "\x81\xAC";

const std::vector<Case> kCases = {
    {"ASCII is unchanged", "<tr align=right>\r\n<td>1,234</td>", "<tr align=right>\r\n<td>1,234</td>"},
    {"line ends of every kind pass through", "a\r\nb\nc\rd", "a\r\nb\nc\rd"},
    {"hiragana", "\xA4\xA2\xA4\xA4", "\x82\xA0\x82\xA2"},
    {"kanji", "\xC6\xFC\xCB\xDC", "\x93\xFA\x96\x7B"},
    {"full-width digit", "\xA3\xB1\xA3\xB2", "\x82\x50\x82\x51"},
    {"wave dash as Windows writes it", "\xA1\xC1", "\x81\x60"},
    {"half-width katakana", "\x8E\xB6\x8E\xC5", "\xB6\xC5"},
    {"NEC row 13: circled kabushiki", "\xAD\xEA", "\x87\x8A"},
    {"NEC row 13: circled one", "\xAD\xA1", "\x87\x40"},
    {"NEC row 13: Roman three", "\xAD\xB7", "\x87\x56"},
    {"IBM row 92 kanji gives the IBM code", "\xFC\xE2", "\xFB\xFC"},
    {"IBM row 89 kanji gives the IBM code", "\xF9\xF5", "\xFA\xB1"},
    {"first cell of IBM row 89", "\xF9\xA1", "\xFA\x5C"},
    {"IBM row 92 not-sign gives the JIS code", "\xFC\xFB", "\x81\xCA"},
    {"IBM row between other text", "\xC6\xFC\xFC\xE2\xCB\xDC\r\n", "\x93\xFA\xFB\xFC\x96\x7B\r\n"},
    {"two IBM row characters in a row", "\xFC\xE2\xF9\xF5", "\xFB\xFC\xFA\xB1"},
    {"three-byte IBM kanji", "\x8F\xF4\xFB", "\xFB\xFC"},
    {"three-byte small Roman one", "\x8F\xF3\xF3", "\xFA\x40"},
    {"three-byte character without CP932 form", "a\x8F\xB0\xA1" "b", "a" + kGeta + "b"},
    {"unassigned cell of IBM row 92", "a\xFC\xEF" "b", "a" + kGeta + "b"},
    {"unassigned two-byte code", "\xA9\xA1x", kGeta + "x"},
    {"stray byte", "a\x80" "b", "a" + kGeta + "b"},
    {"0xFF", "a\xFF" "b", "a" + kGeta + "b"},
    {"lead byte before ASCII keeps the ASCII", "a\xA4" "b", "a" + kGeta + "b"},
    {"lead byte before CR LF keeps the line end", "\xA4\r\n\xA4\xA2", kGeta + "\r\n\x82\xA0"},
    {"half-width lead before ASCII", "\x8Ex", kGeta + "x"},
    {"truncated two-byte tail", "\xA4\xA2\xA4", "\x82\xA0" + kGeta},
    {"truncated three-byte tail", "x\x8F\xB0", "x" + kGeta},
    {"truncated IBM row tail", "x\xFC", "x" + kGeta},
    {"lone half-width lead at the end", "\x8E", kGeta},
    {"bad characters in the middle do not stop the page", "\xA4\xA2\x80\xA4\xA4\xFF\xA4\xA6",
     "\x82\xA0" + kGeta + "\x82\xA2" + kGeta + "\x82\xA4"},
    {"NUL bytes pass through", std::string("a\0b", 3), std::string("a\0b", 3)},
};

TEST(Jconv, ConvertsEveryCase) {
    for (const Case& c : kCases) {
        EXPECT_EQ(Hex(Convert(c.euc)), Hex(c.sjis)) << c.what;
    }
}

TEST(Jconv, UnknownCodePairWritesNothing) {
    const std::string text = "abc";
    char out[24] = {};
    EXPECT_EQ(jconv(kJconvShiftJis, text.data(), text.size(), kJconvEucJp, out), 0u);
    EXPECT_EQ(jconv(kJconvEucJp, text.data(), 0, kJconvShiftJis, out), 0u);
}

// A name line as the quote site writes it: company mark, kanji, half-width kana, IBM kanji.
TEST(Jconv, ConvertsAPageLine) {
    const std::string euc = "<td nowrap align=left>\xAD\xEA\xFC\xE2\xB6\xB3\x8E\xB6\x8E\xC5</td>\r\n";
    const std::string sjis = "<td nowrap align=left>\x87\x8A\xFB\xFC\x8B\xB1\xB6\xC5</td>\r\n";
    EXPECT_EQ(Hex(Convert(euc)), Hex(sjis));
}

// Random bytes, biased towards EUC lead and trail bytes: never more than two output bytes
// per input byte, and every ASCII line end survives.
TEST(Jconv, RandomBytesStayInBounds) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> length(1, 64);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> high(0x8E, 0xFF);
    for (int round = 0; round < 3000; ++round) {
        std::string euc(static_cast<size_t>(length(random)), '\0');
        size_t newlines = 0;
        for (char& b : euc) {
            b = static_cast<char>(random() % 3 == 0 ? byte(random) : high(random));
            if (b == '\n') ++newlines;
        }
        const std::string sjis = Convert(euc);
        ASSERT_LE(sjis.size(), euc.size() * 2) << Hex(euc);
        ASSERT_GE(sjis.size(), 1u) << Hex(euc);
        size_t newlinesOut = 0;
        for (size_t i = 0; i < sjis.size(); ++i) {
            // A 0x0A inside a CP932 character is impossible: trail bytes start at 0x40.
            if (sjis[i] == '\n') ++newlinesOut;
        }
        ASSERT_EQ(newlinesOut, newlines) << Hex(euc);
    }
}

}  // namespace
