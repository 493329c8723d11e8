#include "fakeservice/fault_table.h"

namespace {

bool Picks(const FaultRule& rule, const RecordedRequest& request, const std::string& decoded) {
  return (rule.method.empty() || rule.method == request.method) &&
         (rule.path.empty() || rule.path == request.Path()) &&
         (rule.queryContains.empty() ||
          request.Query().find(rule.queryContains) != std::string::npos) &&
         (rule.textContains.empty() || decoded.find(rule.textContains) != std::string::npos);
}

}  // namespace

void FaultTable::Add(FaultRule rule) {
  std::lock_guard lock(m_mutex);
  m_entries.push_back({std::move(rule), 0});
}

void FaultTable::Clear() {
  std::lock_guard lock(m_mutex);
  m_entries.clear();
}

std::optional<FaultMatch> FaultTable::Match(const RecordedRequest& request) {
  const std::string decoded =
      PercentDecode(request.target, true) + "\n" + PercentDecode(request.body, true);
  std::lock_guard lock(m_mutex);
  std::optional<FaultMatch> match;
  for (Entry& entry : m_entries) {
    if (!Picks(entry.rule, request, decoded)) {
      continue;
    }
    const int pick = ++entry.picked;
    const bool inWindow =
        pick >= entry.rule.fromOccurrence &&
        (entry.rule.times < 0 || pick < entry.rule.fromOccurrence + entry.rule.times);
    if (inWindow && !match) {
      match = FaultMatch{entry.rule.reply, entry.rule.applyFirst};
    }
  }
  return match;
}

int FaultTable::Picked(const std::string& name) const {
  std::lock_guard lock(m_mutex);
  for (const Entry& entry : m_entries) {
    if (entry.rule.name == name) {
      return entry.picked;
    }
  }
  return -1;
}
