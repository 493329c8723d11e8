#pragma once
// The lax JSON parser of the native tree: one left-to-right pass over UTF-16
// text with an explicit stack of open containers. Besides JSON it accepts
// single-quoted strings, unquoted keys, a missing comma after a nested
// container, empty array elements and trailing commas; it is strict about
// quotes, brackets and the form of numbers. Number nodes keep the token as it
// stood as their literal, so a 19-digit fs_id or 1.50 is written back exactly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct JsonTreeNode;

// Option bits of every parse operation.
inline constexpr int32_t kJsonDecodeUnicodeEscapes = 1;  // turn \uXXXX into the character
inline constexpr int32_t kJsonIgnoreOutside = 2;         // skip text outside all containers

// Result codes.
inline constexpr int32_t kJsonParseOk = 0;
inline constexpr int32_t kJsonNoInput = -2;    // no target node, or empty text
inline constexpr int32_t kJsonNoMemory = -3;   // a node or the stack could not be made;
                                               // also nesting beyond kMaxJsonDepth and a
                                               // parse beyond its node budget
inline constexpr int32_t kJsonMisplaced = -4;  // a misplaced key, bracket or empty key
inline constexpr int32_t kJsonUnclosed = -5;   // text ended inside a container
inline constexpr int32_t kJsonBadValue = -6;   // not a string, null, true, false or number
inline constexpr int32_t kJsonOpenQuote = -7;  // a quote left open

// Parses text (up to its first NUL unit) into target, which it clears first;
// the target becomes the top-level container or scalar. Returns a code above
// and puts the 0-based index in UTF-16 units of the fault into *errorPosition
// (0 on success). After any failure but kJsonNoInput the target is Null; with
// kJsonNoInput it is untouched. Containers may nest kMaxJsonDepth levels below
// the top of the target's tree, counting the target's own depth; one level more
// fails with kJsonNoMemory at the opening bracket.
//
// Node budget: one parse makes at most four nodes per unit of text and never
// more than kMaxJsonParseNodes, so a reply of any size cannot use up memory.
// The node beyond the budget fails the parse with kJsonNoMemory at its token
// (a container at its opening bracket).
//
// A lone top-level value follows the rule of a value inside a container: a
// token with a blank between its units ("1 2", "- 1") is refused with
// kJsonBadValue at its first unit, so every parsed tree writes text that
// parses again.
inline constexpr size_t kMaxJsonParseNodes = size_t{1} << 20;

int32_t ParseJsonUtf16(JsonTreeNode* target, std::u16string_view text, int32_t options,
                       int32_t* errorPosition);

// ParseJsonUtf16 over a text that is all ASCII (IsAsciiJsonText), read as
// bytes without a widened copy; the same results and positions.
bool IsAsciiJsonText(std::string_view text);
int32_t ParseJsonAscii(JsonTreeNode* target, std::string_view text, int32_t options,
                       int32_t* errorPosition);

// Unescapes a string token or key in place: \\ \/ \" lose the backslash, \b \t
// \r \f become the control character, \n becomes CR LF (a lone LF at the start
// or after a CR), \uXXXX becomes one UTF-16 unit when decodeUnicode is on (an
// escape of 0000 disappears; one without four hex digits stays as it is).
// Every other backslash stays.
void UnescapeJsonText(std::u16string& text, bool decodeUnicode);

// 0 null, 3 true or false, 1 a number that becomes Double, 2 one that becomes
// Int64, 255 anything else.
int32_t ClassifyJsonToken(std::u16string_view token);

// The number test: a sign, digit or point first, then digits, points,
// exponent letters and signs, with at most one point, one exponent letter and
// one sign after the first unit; units of value 32 or below are ignored.
// *fractional tells whether the number has a point, exponent or inner sign.
bool IsJsonNumber(std::u16string_view token, bool* fractional);
