#pragma once
// Number reading and formatting of the JSON tree. Locale-independent: the
// program runs with whatever locale Qt sets, and a decimal comma must never
// reach a JSON text or change how one is read.

#include <cstdint>
#include <string>
#include <string_view>

// "%.13g" of the value, as a number node made by a setter or a copy carries it.
std::u16string FormatJsonDouble(double value);
std::u16string FormatJsonInt64(int64_t value);

// Reads a leading 64-bit integer: blanks skipped, an optional sign, decimal
// digits up to the first other character; 0 when there are none. Values
// beyond the range saturate.
int64_t ReadJsonInt64Prefix(std::u16string_view text);

// Reads a leading decimal floating-point number the way atof does: blanks
// skipped, an optional sign, the longest number that stands there; 0 when
// there is none. Overflow gives an infinity, underflow zero.
double ReadJsonDoublePrefix(std::u16string_view text);

// Reads an optional "-" and the decimal digits after it, up to the first other
// character; 0 when the text starts with neither. Saturates at the 32-bit range.
int32_t ReadJsonInt32Prefix(std::u16string_view text);

// The nearest 64-bit integer toward zero; NaN gives 0, values beyond the range
// saturate.
int64_t TruncateJsonDouble(double value);
