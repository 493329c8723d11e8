#pragma once
// Byte counts as short size texts for the quota displays: "1.5kb", "858.31mb".
// Units are powers of 1024 written directly after the number ("b", "kb", "mb",
// "gb", "tb", "pb", "eb"); at most two decimals, trailing zeros dropped.
// The count arrives as decimal text exactly as the service sends it, because it
// may exceed what a 64-bit integer holds. Pure, safe from any thread.

#include <string>
#include <string_view>

// Below 1024 the answer is the input text itself plus "b" ("0012" gives
// "0012b"). The tb tier ends at 1.1259e15 and the pb tier at 1.1529e18 (not at
// the powers of 1024), as the quota display always showed. Counts beyond the
// 64-bit range are worked out in floating point and shown in "eb". A text
// without digits counts as 0. Never fails.
std::string FormatByteSize(std::string_view sizeText);
