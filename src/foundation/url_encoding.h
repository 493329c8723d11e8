#pragma once
// Percent-encoding of query values and form bodies, and decoding of what comes
// back. The routines differ on purpose in the characters they keep, in how
// they treat a space, a zero byte and a malformed escape, and in whether they
// convert between code page 936 and UTF-8; the service sees the difference, so
// each caller uses the routine its request needs. Hex digits are upper case
// unless said otherwise. Pure functions, safe from any thread.
//
//   routine              keeps                       space  zero byte
//   UrlEncodeText        ' ( ) * - . 0-9 A-Z a-z _    +      left out
//   UrlEncodeBytes       - . 0-9 A-Z a-z _            +      %00
//   UrlEncodeUnreserved  ' ( ) * - . 0-9 A-Z a-z _ ~  +      ends the input

#include <string>
#include <string_view>

#include "foundation/hex_digit.h"

// Encodes a code page 936 text; with toUtf8 it is converted to UTF-8 first
// (up to its first zero byte), otherwise its bytes are taken as they are.
std::string UrlEncodeText(std::string_view text, bool keepSafe = true, bool toUtf8 = true);

// Zero bytes are skipped; with keepSafe ' ( ) * - . digits letters _ are
// copied; a space becomes "+"; every other byte "%XX". Without keepSafe only
// the space is spared ("a" -> "%61").
std::string PercentEncodeBytes(std::string_view bytes, bool keepSafe = true);

// - . digits letters _ copied, space "+", every other byte (zero too) "%xx";
// the lowest bit of upperCase selects upper-case hex digits.
std::string UrlEncodeBytes(std::string_view bytes, int upperCase = 1);

// Encodes up to the first zero byte: digits and letters copied; unless strict
// is set without keep, ' ( ) * - . _ ~ are copied too and a space becomes "+";
// everything else "%XX".
std::string UrlEncodeUnreserved(std::string_view bytes, bool keep = false, bool strict = false);

// Decodes up to the first zero byte: "+" becomes a space; "%" and the next two
// characters become the byte read from them as sscanf's "%x" reads (at least
// one hex digit needed, both characters consumed); a "%" that reads nothing is
// kept. With fromUtf8 the bytes are then taken as UTF-8 and converted to code
// page 936; either way the result ends at its first zero byte.
std::string UrlDecodeText(std::string_view text, bool fromUtf8 = true);

// "+" stays; "%" with two more bytes becomes 16 * HexDigitValue(first) +
// HexDigitValue(second), low 8 bits, with no check (a non-hex character counts
// -1); a "%" with fewer than two bytes after it ends the decoding and is left
// out. fast: PercentDecodeInPlace instead. fromUtf8 as for UrlDecodeText.
std::string PercentDecode(std::string_view text, bool fromUtf8 = true, bool fast = false);

// Decodes bytes (up to their first zero byte) in place and shortens them: each
// "%" and the two characters after it become one byte, a digit being c - '0'
// up to '9' and (c & ~0x20) - 'A' + 10 above, unchecked; a "%" with fewer than
// two characters after it ends the decoding there. For well-formed input.
void PercentDecodeInPlace(std::string& bytes);
