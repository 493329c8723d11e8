#include "web/cookie_jar.h"

#include <vector>

#include "web/http_text_util.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The pieces of a text cut at every ";" (a last piece without ";" counts).
std::vector<std::string> CutAtSemicolons(const std::string& text) {
  return SplitItems(text, ";");
}

bool MarksDeleted(const std::string& pair) {
  return EndsWith(pair, "=deleted") || EndsWith(pair, "=DELETED") || EndsWith(pair, "=Deleted");
}

}  // namespace

void CookieJar::EnsureFramed() {
  if (m_store.empty()) {
    m_store = "; ";
  }
}

std::string CookieJar::GetOrSetAll(const std::string& text, bool set) {
  if (!set) {
    return m_store.size() < 4 ? std::string() : m_store.substr(2, m_store.size() - 4);
  }
  std::string framed = text.rfind("; ", 0) == 0 ? text : "; " + text;
  if (!EndsWith(framed, "; ")) {
    if (!EndsWith(framed, ";")) {
      framed += ';';
    }
    framed += ' ';
  }
  m_store = framed;
  return text;
}

std::string CookieJar::GetValue(const std::string& name, bool withName) const {
  size_t found = m_store.find("; " + name + "=");
  if (found == std::string::npos) {
    return {};
  }
  size_t valueStart = found + 2 + name.size() + 1;
  size_t end = m_store.find(';', valueStart);
  size_t from = withName ? found + 2 : valueStart;
  return m_store.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

bool CookieJar::DeleteNames(const std::string& names) {
  bool removed = false;
  for (const std::string& piece : CutAtSemicolons(RemoveAllBlanks(names))) {
    size_t equals = piece.find('=');
    std::string name = equals == std::string::npos ? piece + "=" : piece.substr(0, equals + 1);
    size_t found = m_store.find("; " + name);
    if (found == std::string::npos) {
      continue;
    }
    size_t next = m_store.find("; ", found + 2 + name.size());
    if (next != std::string::npos) {
      m_store.erase(found, next - found);
      removed = true;
    }
  }
  return removed;
}

bool CookieJar::MergeOnePair(const std::string& pair) {
  size_t equals = pair.find('=');
  if (equals == std::string::npos) {
    return false;
  }
  std::string nameWithEquals = pair.substr(0, equals + 1);
  bool emptyValue = equals + 1 == pair.size();
  size_t found = m_store.find("; " + nameWithEquals);
  if (found == std::string::npos) {
    if (emptyValue || MarksDeleted(pair)) {
      return false;
    }
    m_store += pair + "; ";
    return true;
  }
  size_t valueStart = found + 2 + nameWithEquals.size();
  size_t end = m_store.find("; ", valueStart);
  if (end == std::string::npos) {
    return false;
  }
  if (emptyValue) {
    m_store.erase(found, end - found);
    return true;
  }
  std::string before = m_store;
  m_store.replace(found + 2, end - found - 2, pair);
  return m_store != before;
}

bool CookieJar::MergePairs(const std::string& cookieText) {
  if (cookieText.empty()) {
    return false;
  }
  EnsureFramed();
  bool changed = false;
  for (const std::string& piece : CutAtSemicolons(RemoveAllBlanks(cookieText))) {
    changed = MergeOnePair(piece) || changed;
  }
  return changed;
}

bool CookieJar::MergeSetCookieHeaders(const std::string& headerText) {
  if (headerText.empty()) {
    return false;
  }
  EnsureFramed();
  bool changed = false;
  size_t from = 0;
  while (true) {
    size_t found = FindNoCase(headerText, "Set-Cookie:", from);
    if (found == std::string::npos) {
      break;
    }
    size_t start = found + 11;
    size_t lineEnd = headerText.find("\r\n", start);
    size_t semicolon = headerText.find(';', start);
    size_t end;
    if (semicolon != std::string::npos && (lineEnd == std::string::npos || semicolon < lineEnd)) {
      end = semicolon;
    } else if (lineEnd != std::string::npos) {
      end = lineEnd;
    } else {
      break;
    }
    std::string pair = headerText.substr(start, end - start);
    size_t first = pair.find_first_not_of(' ');
    pair.erase(0, first == std::string::npos ? pair.size() : first);
    changed = MergeOnePair(pair) || changed;
    from = end;
  }
  return changed;
}
