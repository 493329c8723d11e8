#include "web/task_list_entries.h"

#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "web/remote_name_text.h"

std::string JsonTextUnits(const JsonDocument& document, const std::string& path) {
  return CutUtf16AtNul(document.GetTextW(TextToUtf16(path)));
}

std::vector<NamedOutcome> ReadNamedOutcomes(const std::string& reply) {
  JsonDocument document;
  std::vector<NamedOutcome> outcomes;
  if (!document.ParseUtf8(reply)) {
    return outcomes;
  }
  const bool taskList = document.GetCount("list") > 0;
  const std::string array = taskList ? "list" : "info";
  const int count = document.GetCount(array);
  for (int k = 0; k < count; ++k) {
    const std::string at = array + "[" + std::to_string(k) + "].";
    NamedOutcome outcome;
    outcome.key = JsonTextUnits(document, at + "from");
    if (outcome.key.empty()) {
      outcome.key = JsonTextUnits(document, at + "path");
    }
    outcome.from = RemoteNameFromUtf16(outcome.key);
    outcome.to = TextRightOfMarker(RemoteNameFromUtf16(JsonTextUnits(document, at + "to")), "/");
    outcome.error = document.GetText(at + (taskList ? "error_code" : "errno"));
    if (!taskList && outcome.error == "0") {
      outcome.error.clear();
    }
    outcomes.push_back(outcome);
  }
  return outcomes;
}
