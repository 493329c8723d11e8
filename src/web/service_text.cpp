#include "web/service_text.h"

#include "foundation/text_search.h"

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
