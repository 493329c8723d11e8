#include "foundation/script_function_runner.h"

#include <mutex>
#include <optional>
#include <utility>

#include "foundation/script_host.h"
#include "foundation/text_search.h"

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         FindText(text.substr(0, prefix.size()), prefix, 1, true) == 1;
}

}  // namespace

void InitializeCom() {}

void UninitializeCom() {}

std::string RunJScriptFunction(const std::string& code, const std::string& functionName,
                               const std::string& argument1, const std::string& argument2,
                               const std::string& argument3, const std::string& argument4) {
  ScriptHost host;
  if (!host.Init() || !host.ExecuteStatement(code))
    return kScriptRunFailed;
  return host.Run(functionName, argument1, argument2, argument3, argument4);
}

std::string GetCookieValue(const std::string& cookieText, const std::string& cookieName,
                           bool valueOnly) {
  const std::string key = cookieName + "=";
  size_t begin = 0;
  while (begin <= cookieText.size()) {
    size_t end = cookieText.find(';', begin);
    if (end == std::string::npos)
      end = cookieText.size();
    std::string_view entry = std::string_view(cookieText).substr(begin, end - begin);
    while (!entry.empty() && entry.front() == ' ')
      entry.remove_prefix(1);
    if (StartsWithIgnoringCase(entry, key))
      return valueOnly ? TextRightOfMarker(entry, key, 0, true) : std::string(entry);
    begin = end + 1;
  }
  return std::string();
}

const std::string& LogIdScriptText() {
  static const std::string text =
#include "../../resources/logid.js.inc"
      ;
  return text;
}

// The script is a pure function of the cookie value, and a job asks for its
// account's logid before every request: the last answer is kept, so a fresh
// script engine runs once per value instead of once per request. A failed
// run is not kept.
std::string ComputeLogId(const std::string& cookieText) {
  const std::string value = GetCookieValue(cookieText, "BAIDUID", true);
  static std::mutex s_lock;
  static std::optional<std::pair<std::string, std::string>> s_last;  // value, logid
  {
    std::lock_guard lock(s_lock);
    if (s_last && s_last->first == value)
      return s_last->second;
  }
  const std::string logId = RunJScriptFunction(LogIdScriptText(), "logid", value);
  if (logId == kScriptRunFailed || logId.empty())
    return std::string();
  std::lock_guard lock(s_lock);
  s_last.emplace(value, logId);
  return logId;
}
