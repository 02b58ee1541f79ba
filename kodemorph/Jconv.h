// jconv: the character-code converter inside libkodemorph.so (and linked into its tests).
// EUC-JP as Japanese sites write it, NEC and IBM extension characters included, to CP932.
#pragma once

#include <cstddef>

// Code numbers of jconv's `from` and `to` arguments.
inline constexpr int kJconvEucJp = 0;
inline constexpr int kJconvShiftJis = 4;

// Converts `length` bytes at `in` from code `from` to code `to` into `out`, which must hold
// 8 × length bytes, and returns the number of bytes written (never more than that).
// Only EUC-JP (0) to Shift_JIS (4) is known; any other pair writes nothing.
// A character with no CP932 form, a malformed byte sequence and a character cut off at the
// end each become one 〓 (0x81 0xAC) and the conversion goes on. Line ends pass unchanged.
extern "C" size_t jconv(int from, const char* in, size_t length, int to, char* out);
