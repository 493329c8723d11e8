#include "web/service_text.h"

#include "foundation/text_search.h"

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

int CountTextOccurrences(std::string_view text, std::string_view sought, bool caseSensitive) {
  if (text.empty() || sought.empty()) {
    return 0;
  }
  int count = 0;
  for (int at = FindText(text, sought, 1, !caseSensitive); at != -1;
       at = FindText(text, sought, at + static_cast<int>(sought.size()), !caseSensitive)) {
    ++count;
  }
  return count;
}
