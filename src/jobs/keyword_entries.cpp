#include "jobs/keyword_entries.h"

TextArray KeywordEntries(const std::string& text) {
  TextArray entries;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos)
      comma = text.size();
    if (comma > start)
      entries.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return entries;
}
