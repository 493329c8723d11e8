#include "web/http_header_text.h"

#include <algorithm>

#include "web/http_text_util.h"

namespace {

// Trims a cookie variable in place and makes a trailing ";" a full separator.
void TidyCookieVariable(std::string& text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.back() == ';') {
    text += ' ';
  }
}

std::string CapitalizeHeaderName(const std::string& name) {
  std::string rebuilt;
  size_t pos = 0;
  while (true) {
    size_t dash = name.find('-', pos);
    rebuilt +=
        CapitalizeHeaderWord(name.substr(pos, dash == std::string::npos ? dash : dash - pos));
    if (dash == std::string::npos) {
      return rebuilt;
    }
    rebuilt += '-';
    pos = dash + 1;
  }
}

}  // namespace

std::string CapitalizeHeaderWord(const std::string& word) {
  std::string result = word;
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') {
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
  }
  return result;
}

std::string NormalizeHeaderLines(const std::string& headerText) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitItems(headerText, "\r\n")) {
    size_t colon = line.find(':');
    if (colon != std::string::npos) {
      lines.push_back(CapitalizeHeaderName(line.substr(0, colon)) + line.substr(colon));
    }
  }
  return JoinText(lines, "\r\n");
}

std::string GetHeaderName(const std::string& line) {
  size_t colon = line.find(':');
  return colon == std::string::npos ? std::string() : TrimBlanks(line.substr(0, colon));
}

std::string GetHeaderValue(const std::string& line) {
  size_t colon = line.find(':');
  return colon == std::string::npos ? std::string() : TrimBlanks(line.substr(colon + 1));
}

std::string GetCookieName(const std::string& pair) {
  return TrimBlanks(pair.substr(0, pair.find('=')));
}

bool HasCookieName(const std::vector<std::string>& pairs, const std::string& name) {
  return std::any_of(pairs.begin(), pairs.end(),
                     [&name](const std::string& pair) { return GetCookieName(pair) == name; });
}

std::string MergeCookieText(std::string& sent, std::string& received) {
  TidyCookieVariable(sent);
  TidyCookieVariable(received);
  std::vector<std::string> merged = SplitItems(received, "; ");
  std::vector<std::string> receivedPairs = merged;
  for (const std::string& pair : SplitItems(sent, "; ")) {
    if (!HasCookieName(receivedPairs, GetCookieName(pair))) {
      merged.push_back(pair);
    }
  }
  std::vector<std::string> kept;
  for (const std::string& pair : merged) {
    bool deleted = pair.size() >= 8 && pair.compare(pair.size() - 8, 8, "=deleted") == 0;
    if (!deleted && std::find(kept.begin(), kept.end(), pair) == kept.end()) {
      kept.push_back(pair);
    }
  }
  sent = JoinText(kept, "; ");
  return sent;
}
