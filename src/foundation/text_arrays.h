#pragma once
// Operations on texts taken as lists (characters, separated items, lines) and
// on arrays of texts and integers.
//
// Texts are code page 936 bytes; positions in arrays are 1-based and -1 means
// "not found". Arrays passed by non-const reference are changed in place;
// everything else is returned as a new value. All routines are pure and safe
// to call from any thread on arrays the caller owns.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using TextArray = std::vector<std::string>;
using IntArray = std::vector<int32_t>;

// Replaces the contents of `characters` with the characters of `text`: a byte
// of 0x81 or above together with the next byte, a CR LF pair, or any other
// single byte (a lead byte that ends the text stays alone). Returns the count.
int SplitIntoCharacters(std::string_view text, TextArray& characters);

// The pieces of `text` between every two occurrences of `separator`, found
// with FindText (so a trail byte equal to the separator never splits a
// character). Every piece counts, empty ones too: n separators give n + 1
// pieces. An empty separator gives the whole text as the one piece.
TextArray SplitText(std::string_view text, std::string_view separator);

// Keeps the first of every group of equal items and joins the kept items with
// `separator`. With `splitBySeparator` the items are the pieces between
// separators (empty pieces count; an empty rest after the last separator does
// not); otherwise they are the characters of SplitIntoCharacters. Every
// dropped item raises `removedCount` (not reset first) and is appended to
// `removedItems`.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator,
                                 bool splitBySeparator, int& removedCount, TextArray& removedItems);

// Position of the first element equal byte for byte to `sought`, or -1.
int FindTextInArray(const TextArray& array, std::string_view sought);

// Position of the first element equal to `sought`, or -1.
int FindIntInArray(const IntArray& array, int32_t sought);

// Sorts ascending by unsigned byte values (a double-byte character compares as
// one unit, which byte order already gives); equal texts are all kept. Only a
// `descending` of exactly 1 reverses the result. `binaryCompare` forces the
// case-sensitive order; otherwise `ignoreCase` compares ASCII letters without
// regard to case in every comparison (equal-folding texts keep their order).
void SortTextArray(TextArray& array, int descending, bool binaryCompare = false,
                   bool ignoreCase = false);

void ReverseArray(TextArray& array);
void ReverseArray(IntArray& array);

void SwapValues(int32_t& first, int32_t& second);

// Keeps the first of every group of equal elements, in order, in the chosen
// array: the text array when `useTexts` is set, else the integer array when
// `useInts` is set. Returns the chosen array's new count, or 0 when neither is
// chosen (then nothing changes).
int RemoveDuplicates(TextArray& texts, bool useTexts, IntArray& ints, bool useInts);
int RemoveDuplicates(TextArray& texts);

// Line-feed bytes plus one; 0 for the empty text. A final line break counts
// the empty line after it.
int CountLines(std::string_view text);

// The first min(count, size) bytes; empty for a count of 0 or below.
std::string BytesPrefix(std::string_view bytes, int count);
