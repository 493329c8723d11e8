#include "foundation/text_arrays.h"

#include <algorithm>
#include <unordered_set>

#include "foundation/text_search.h"

namespace {

// Items of `text` split at every `separator`: pieces before a separator are
// items even when empty; the rest after the last one only when not empty.
TextArray SplitAtSeparator(std::string_view text, std::string_view separator) {
  if (text.empty())
    return {};
  TextArray items = SplitText(text, separator);
  if (items.back().empty())
    items.pop_back();
  return items;
}

// Byte-wise order with ASCII letters folded; trail bytes of double-byte
// characters are never folded.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  bool trail = false;
  for (size_t i = 0; i < common; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = FoldAscii(x);
      y = FoldAscii(y);
    }
    if (x != y)
      return x < y;
    trail = !trail && IsCp936LeadByte(x);
  }
  return a.size() < b.size();
}

template <typename T>
void ReverseInPlace(std::vector<T>& array) {
  const size_t n = array.size();
  for (size_t i = 0; i < n / 2; ++i)
    std::swap(array[i], array[n - 1 - i]);
}

// Keeps the first of every group of equal elements, in their former order.
template <typename T>
void KeepFirstOfEach(std::vector<T>& array) {
  std::unordered_set<T> seen;
  size_t kept = 0;
  for (size_t i = 0; i < array.size(); ++i) {
    if (!seen.insert(array[i]).second)
      continue;
    if (kept != i)
      array[kept] = std::move(array[i]);
    ++kept;
  }
  array.resize(kept);
}

}  // namespace

TextArray SplitText(std::string_view text, std::string_view separator) {
  TextArray pieces;
  if (separator.empty())
    return {std::string(text)};
  const int length = static_cast<int>(text.size());
  int from = 1;
  for (int hit = FindText(text, separator, from); hit >= 1 && from <= length;
       hit = FindText(text, separator, from)) {
    pieces.emplace_back(
        text.substr(static_cast<size_t>(from) - 1, static_cast<size_t>(hit - from)));
    from = hit + static_cast<int>(separator.size());
  }
  pieces.emplace_back(from <= length ? text.substr(static_cast<size_t>(from) - 1)
                                     : std::string_view());
  return pieces;
}

int SplitIntoCharacters(std::string_view text, TextArray& characters) {
  characters.clear();
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool hasNext = i + 1 < text.size();
    const bool pair = hasNext && (IsCp936LeadByte(byte) || (byte == '\r' && text[i + 1] == '\n'));
    const size_t width = pair ? 2 : 1;
    characters.emplace_back(text.substr(i, width));
    i += width;
  }
  return static_cast<int>(characters.size());
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator,
                                 bool splitBySeparator, int& removedCount,
                                 TextArray& removedItems) {
  TextArray items;
  if (splitBySeparator)
    items = SplitAtSeparator(text, separator);
  else
    SplitIntoCharacters(text, items);
  std::unordered_set<std::string> taken;
  std::string result;
  for (std::string& item : items) {
    if (taken.count(item) != 0) {
      ++removedCount;
      removedItems.push_back(std::move(item));
      continue;
    }
    result += item;
    result += separator;
    taken.insert(std::move(item));
  }
  result.resize(result.size() >= separator.size() ? result.size() - separator.size() : 0);
  return result;
}

int FindTextInArray(const TextArray& array, std::string_view sought) {
  const auto it = std::find(array.begin(), array.end(), sought);
  return it == array.end() ? -1 : static_cast<int>(it - array.begin()) + 1;
}

int FindIntInArray(const IntArray& array, int32_t sought) {
  const auto it = std::find(array.begin(), array.end(), sought);
  return it == array.end() ? -1 : static_cast<int>(it - array.begin()) + 1;
}

void SortTextArray(TextArray& array, int descending, bool binaryCompare, bool ignoreCase) {
  // std::string compares bytes as unsigned values, which orders code page 936
  // texts with a double-byte character taken as one unit.
  if (ignoreCase && !binaryCompare)
    std::stable_sort(array.begin(), array.end(), LessIgnoringCase);
  else
    std::sort(array.begin(), array.end());
  if (descending == 1)
    ReverseArray(array);
}

void ReverseArray(TextArray& array) {
  ReverseInPlace(array);
}

void ReverseArray(IntArray& array) {
  ReverseInPlace(array);
}

void SwapValues(int32_t& first, int32_t& second) {
  std::swap(first, second);
}

int RemoveDuplicates(TextArray& texts, bool useTexts, IntArray& ints, bool useInts) {
  if (useTexts) {
    KeepFirstOfEach(texts);
    return static_cast<int>(texts.size());
  }
  if (useInts) {
    KeepFirstOfEach(ints);
    return static_cast<int>(ints.size());
  }
  return 0;
}

int RemoveDuplicates(TextArray& texts) {
  IntArray unused;
  return RemoveDuplicates(texts, true, unused, false);
}

int CountLines(std::string_view text) {
  if (text.empty())
    return 0;
  return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

std::string BytesPrefix(std::string_view bytes, int count) {
  if (bytes.empty() || count <= 0)
    return {};
  return std::string(bytes.substr(0, std::min<size_t>(bytes.size(), static_cast<size_t>(count))));
}
