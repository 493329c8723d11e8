#include "data/regex_matcher.h"

#include "foundation/text_search.h"

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;
RegexMatcher::RegexMatcher(const RegexMatcher& other) = default;
RegexMatcher& RegexMatcher::operator=(const RegexMatcher& other) = default;

bool RegexMatcher::Execute(const std::string& pattern, const std::string& subject,
                           bool caseSensitive, bool multiLine, bool global, bool quote) {
  m_matches.reset();
  auto expression = std::make_shared<RegExp>();
  expression->SetIgnoreCase(!caseSensitive);
  expression->SetMultiline(multiLine);
  expression->SetGlobal(global);
  // "#引号" is how settings texts carry a double quote.
  expression->SetPattern(quote ? ReplaceAllText(pattern, "#引号", "\"") : pattern);
  m_expression = expression;
  m_subject = subject;
  auto matches = std::make_shared<std::vector<RegExpMatch>>();
  if (expression->Execute(subject, *matches) != RegExpStatus::kOk)
    return false;
  m_matches = std::move(matches);
  return true;
}

std::string RegexMatcher::GetPattern() const {
  return m_expression ? m_expression->Pattern() : std::string();
}

std::string RegexMatcher::Replace(const std::string& replacement) const {
  if (!m_expression)
    return std::string();
  std::string out = m_subject;
  // A pattern that failed leaves the subject as it was: an empty result would
  // read as a new, empty name.
  (void)m_expression->Replace(m_subject, replacement, out);
  return out;
}

int RegexMatcher::GetMatchCount() const {
  return m_matches ? static_cast<int>(m_matches->size()) : 0;
}

const RegExpMatch* RegexMatcher::MatchAt(int index) const {
  if (!m_matches || index < 1 || index > static_cast<int>(m_matches->size()))
    return nullptr;
  return &(*m_matches)[index - 1];
}

std::string RegexMatcher::GetMatch(int index, int* position, bool wantPosition) const {
  const RegExpMatch* match = MatchAt(index);
  if (position != nullptr && wantPosition)
    *position = match ? match->position : -1;
  return match ? match->value : std::string();
}

std::string RegexMatcher::GetSubMatch(int matchIndex, int subIndex, int* position,
                                      bool wantPosition) const {
  const RegExpMatch* match = MatchAt(matchIndex);
  const RegExpSubMatch* sub = nullptr;
  if (match && subIndex >= 1 && subIndex <= static_cast<int>(match->subMatches.size()))
    sub = &match->subMatches[subIndex - 1];
  if (position != nullptr && wantPosition)
    *position = sub ? sub->position : -1;
  return sub ? sub->value : std::string();
}

void RegexMatcher::ReleaseAll() {
  m_expression.reset();
  m_matches.reset();
  m_subject.clear();
}

int RegexMatcher::GetSubMatchCount() const {
  const RegExpMatch* first = MatchAt(1);
  return first ? static_cast<int>(first->subMatches.size()) : 0;
}
