#include "foundation/text_search.h"

#include <algorithm>
#include <cstdint>

namespace {

// Whether `sought` occurs at the 0-based offset `at`, which starts a character.
// Trail bytes are compared exactly even when ignoring case: folding them would
// let one Chinese character match another.
bool MatchesAt(std::string_view text, size_t at, std::string_view sought, bool ignoreCase) {
  bool trail = false;
  for (size_t k = 0; k < sought.size(); ++k) {
    const auto a = static_cast<unsigned char>(text[at + k]);
    const auto b = static_cast<unsigned char>(sought[k]);
    if (ignoreCase && !trail) {
      if (FoldAscii(a) != FoldAscii(b))
        return false;
    } else if (a != b) {
      return false;
    }
    trail = !trail && IsCp936LeadByte(a);
  }
  return true;
}

size_t NextCharacter(std::string_view text, size_t at) {
  return at + (IsCp936LeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1);
}

// Replaces every "#引号" by a double quote.
std::string ExpandQuoteMarker(std::string_view marker) {
  static constexpr std::string_view kQuoteMarker = "#引号";
  std::string out;
  out.reserve(marker.size());
  size_t from = 0;
  for (size_t hit = marker.find(kQuoteMarker); hit != std::string_view::npos;
       hit = marker.find(kQuoteMarker, from)) {
    out.append(marker.substr(from, hit - from));
    out += '"';
    from = hit + kQuoteMarker.size();
  }
  out.append(marker.substr(from));
  return out;
}

// Text lengths beyond INT_MAX do not occur in this program; positions are int.
int Length(std::string_view text) {
  return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}

}  // namespace

int FindText(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
  const size_t first = static_cast<size_t>(std::max(start, 1)) - 1;
  if (first >= text.size())
    return -1;
  if (sought.empty())
    return 1;
  if (sought.size() > text.size())
    return -1;
  const size_t lastCandidate = text.size() - sought.size();
  for (size_t at = first; at <= lastCandidate; at = NextCharacter(text, at)) {
    if (MatchesAt(text, at, sought, ignoreCase))
      return static_cast<int>(at) + 1;
  }
  return -1;
}

int FindTextBackward(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
  const int64_t limit = std::min<int64_t>(static_cast<int64_t>(start) - 1, Length(text));
  if (limit <= 0)
    return -1;
  if (sought.empty())
    return 1;
  if (sought.size() > static_cast<size_t>(limit))
    return -1;
  const size_t lastCandidate = static_cast<size_t>(limit) - sought.size();
  int found = -1;
  for (size_t at = 0; at <= lastCandidate; at = NextCharacter(text, at)) {
    if (MatchesAt(text, at, sought, ignoreCase))
      found = static_cast<int>(at) + 1;
  }
  return found;
}

std::string TextLeftOfMarker(std::string_view text, std::string_view marker, int start,
                             bool ignoreCase) {
  int position = -1;
  if (start >= 0) {
    position = FindText(text, marker, start, ignoreCase);
  } else {
    int64_t n = -static_cast<int64_t>(start);
    if (n == 1)
      n = 0;
    const int64_t from = std::max<int64_t>(Length(text) - n + 1, INT_MIN);
    position = FindTextBackward(text, marker, static_cast<int>(from), ignoreCase);
  }
  if (position < 1)
    return {};
  return std::string(text.substr(0, static_cast<size_t>(position) - 1));
}

std::string TextBetweenMarkers(std::string_view text, std::string_view leftMarker,
                               std::string_view rightMarker, int start, bool ignoreCase) {
  const std::string left = ExpandQuoteMarker(leftMarker);
  const std::string right = ExpandQuoteMarker(rightMarker);
  const int leftAt = FindText(text, left, start, ignoreCase);
  if (leftAt < 1)
    return {};
  const int64_t innerStart = static_cast<int64_t>(leftAt) + static_cast<int64_t>(left.size());
  if (innerStart > Length(text))
    return {};
  const int rightAt = FindText(text, right, static_cast<int>(innerStart), ignoreCase);
  if (rightAt < innerStart)
    return {};
  return std::string(
      text.substr(static_cast<size_t>(innerStart) - 1, static_cast<size_t>(rightAt - innerStart)));
}

std::string TextRightOfMarker(std::string_view text, std::string_view marker, int start,
                              bool ignoreCase) {
  int position = -1;
  if (start >= 0) {
    const int64_t from = static_cast<int64_t>(Length(text)) - start + 1;
    position = FindTextBackward(text, marker, static_cast<int>(from), ignoreCase);
  } else {
    int64_t n = -static_cast<int64_t>(start);
    if (n == 1)
      n = 0;
    position = FindText(text, marker, n == 0 ? 1 : static_cast<int>(std::min<int64_t>(n, INT_MAX)),
                        ignoreCase);
  }
  if (position < 1)
    return {};
  const size_t after = static_cast<size_t>(position) - 1 + marker.size();
  if (after >= text.size())
    return {};
  return std::string(text.substr(after));
}

std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to,
                           bool ignoreCase) {
  if (from.empty()) {
    return std::string(text);
  }
  std::string result;
  int start = 1;
  for (int at = FindText(text, from, start, ignoreCase); at != -1;
       at = FindText(text, from, start, ignoreCase)) {
    result.append(text.substr(start - 1, at - start));
    result.append(to);
    start = at + static_cast<int>(from.size());
  }
  if (start - 1 < static_cast<int>(text.size())) {
    result.append(text.substr(start - 1));
  }
  return result;
}
