#include "jobs/rename_rules.h"

#include <mutex>
#include <unordered_map>
#include <vector>

#include "foundation/message_box.h"
#include "foundation/text_search.h"
#include "jobs/keyword_entries.h"
#include "jobs/name_characters.h"
#include "jobs/name_regex.h"
#include "platform/control_store.h"
#include "platform/desktop.h"

namespace {

constexpr char16_t kFirstChineseUnit = 0x4E00;
constexpr char16_t kLastChineseUnit = 0x9FA5;
constexpr std::string_view kReplacementArrow = "---->";
constexpr std::int64_t kRegexReportTimeoutMs = 15000;

// The rule texts (keyword boxes, prefix, suffix, extension, replacement
// keywords and words) as the rules use them, converted once per thread and
// text. The options are read for every name, but a run applies the same few
// texts to all its names, so each is converted when first seen and kept. The
// store starts again empty when texts edited during long runs fill it.
class RuleTexts {
 public:
  // The units of each entry of a comma-separated keyword box.
  const std::vector<std::u16string>& Keywords(const std::string& list) {
    return Find(m_keywords, list, [&] {
      std::vector<std::u16string> units;
      for (const std::string& keyword : KeywordEntries(list))
        units.push_back(TextUnits(keyword));
      return units;
    });
  }
  const std::u16string& Units(const std::string& text) {
    return Find(m_units, text, [&] { return TextUnits(text); });
  }
  const NameChars& Chars(const std::string& text, NameForm form) {
    return Find(m_chars[form == NameForm::kPlain ? 0 : 1], text,
                [&] { return TextChars(text, form); });
  }

 private:
  static constexpr std::size_t kMaxKept = 512;

  // A reference into a map stays valid until that map is emptied, which only
  // a later call for a new text of the same map can do.
  template <class Value, class Make>
  static const Value& Find(std::unordered_map<std::string, Value>& map, const std::string& text,
                           Make make) {
    if (const auto found = map.find(text); found != map.end())
      return found->second;
    if (map.size() >= kMaxKept)
      map.clear();
    return map.emplace(text, make()).first->second;
  }

  std::unordered_map<std::string, std::vector<std::u16string>> m_keywords;
  std::unordered_map<std::string, std::u16string> m_units;
  std::unordered_map<std::string, NameChars> m_chars[2];
};

RuleTexts& ThreadRuleTexts() {
  thread_local RuleTexts s_texts;
  return s_texts;
}

bool HoldsAnyKeyword(const NameChars& name, const std::string& list) {
  for (const std::u16string& keyword : ThreadRuleTexts().Keywords(list)) {
    if (FindUnits(name, keyword) != std::string::npos)
      return true;
  }
  return false;
}

bool LacksAnyKeyword(const NameChars& name, const std::string& list) {
  for (const std::u16string& keyword : ThreadRuleTexts().Keywords(list)) {
    if (FindUnits(name, keyword) == std::string::npos)
      return true;
  }
  return false;
}

// One replacement: every occurrence of `old` becomes `word`, except that a
// name equal to `old` as a whole is not emptied.
void ReplaceKeyword(NameChars& name, const std::string& old, const std::string& word,
                    NameForm form) {
  const std::u16string& oldUnits = ThreadRuleTexts().Units(old);
  if (oldUnits.empty() || (word.empty() && EqualsUnits(name, oldUnits)))
    return;
  ReplaceUnits(name, oldUnits, ThreadRuleTexts().Chars(word, form));
}

void ReplaceSpecified(NameChars& name, const TextArray& lines, NameForm form) {
  for (const std::string& line : lines) {
    if (FindText(line, kReplacementArrow) < 0)
      continue;
    ReplaceKeyword(name, TextLeftOfMarker(line, kReplacementArrow),
                   TextRightOfMarker(line, kReplacementArrow), form);
  }
}

void ReplaceNormal(NameChars& name, const KeywordLists& lists, const RandomIndex& random,
                   NameForm form) {
  for (const std::string& keyword : lists.replaceKeywords) {
    if (keyword.empty())
      continue;
    // One word per keyword: all its occurrences get the same word.
    ReplaceKeyword(name, keyword, PickReplacementWord(lists.replacementWords, random), form);
  }
}

void Prepend(NameChars& name, const NameChars& added) {
  name.insert(name.begin(), added.begin(), added.end());
}

void AddSuffix(NameChars& name, const std::string& suffix, bool folder, NameForm form) {
  const NameChars& added = ThreadRuleTexts().Chars(suffix, form);
  if (folder) {
    name.insert(name.end(), added.begin(), added.end());
    return;
  }
  const std::size_t dot = ExtensionStart(name);
  if (dot == std::string::npos)
    return;  // a file without extension gets no suffix
  name.insert(name.begin() + static_cast<std::ptrdiff_t>(dot), added.begin(), added.end());
}

void ReplaceExtension(NameChars& name, const std::string& extension, NameForm form) {
  const std::size_t dot = ExtensionStart(name);
  if (dot == std::string::npos)
    return;  // a file without extension gets none
  name.resize(dot);
  const NameChars& added = ThreadRuleTexts().Chars("." + extension, form);
  name.insert(name.end(), added.begin(), added.end());
}

void DeleteChineseCharacters(NameChars& name, int count) {
  NameChars kept;
  kept.reserve(name.size());
  for (const NameChar& c : name) {
    if (count > 0 && c.unit >= kFirstChineseUnit && c.unit <= kLastChineseUnit)
      --count;
    else
      kept.push_back(c);
  }
  name = std::move(kept);
}

bool SetRegexProblem(RenameRuleProblem* problem, const std::string& pattern, std::string reason) {
  if (problem != nullptr) {
    problem->regexFailed = true;
    problem->pattern = pattern;
    problem->reason = std::move(reason);
  }
  return false;
}

// Steps 3 to 9 on a name that passed the keyword tests. False when the
// regular expression failed.
bool ApplyChangingRules(NameChars& name, const RenameRuleOptions& o,
                        const RenameRuleSources& sources, bool restart, bool folder,
                        const std::string& readyPrefix, NameForm form, RenameRuleProblem* problem) {
  if (o.replaceOn) {
    if (sources.lists.mode == kSpecifiedReplaceMode)
      ReplaceSpecified(name, sources.lists.specifiedReplacements, form);
    else
      ReplaceNormal(name, sources.lists, sources.random, form);
  }
  if (o.prefixOn && !o.prefix.empty())
    Prepend(name, ThreadRuleTexts().Chars(o.prefix, form));
  if (o.numberPrefixOn) {
    // The number changes with every name: converted each time.
    Prepend(name, TextChars(readyPrefix.empty() ? sources.counter.Next(o.numberPrefixStart, restart)
                                                : readyPrefix,
                            form));
  }
  if (o.suffixOn && !o.suffix.empty())
    AddSuffix(name, o.suffix, folder, form);
  if (o.newExtensionOn && !o.newExtension.empty() && !folder)
    ReplaceExtension(name, o.newExtension, form);
  const int chineseCount = EditBoxInteger(o.chineseDeletionCount);
  if (o.chineseDeletionOn && chineseCount > 0)
    DeleteChineseCharacters(name, chineseCount);
  if (o.regexDeletionOn && !o.regexPattern.empty()) {
    std::string reason;
    if (DeleteNameMatches(name, o.regexPattern, &reason) != RegExpStatus::kOk)
      return SetRegexProblem(problem, o.regexPattern, reason);
  }
  return true;
}

std::mutex s_reportMutex;
std::string s_reportedPattern;
bool s_reported = false;

void ReportRegexFailureOnce(const RenameRuleProblem& problem) {
  {
    std::lock_guard lock(s_reportMutex);
    if (s_reported && s_reportedPattern == problem.pattern)
      return;
    s_reported = true;
    s_reportedPattern = problem.pattern;
  }
  ShowTimedMessageBox("提示：",
                      "通过正则删除的表达式无法使用，名称保持不变：\r\n" + problem.pattern +
                          "\r\n\r\n" + problem.reason,
                      kRegexReportTimeoutMs, kBoxOk | kBoxIconWarning);
}

}  // namespace

std::string ApplyRenameRules(const RenameRuleOptions& options, const RenameRuleSources& sources,
                             const std::string& name, int firstRestart, int secondRestart,
                             int folderFlag, const std::string& readyPrefix, int variant,
                             RenameRuleProblem* problem) {
  if (variant != kPlainNameVariant && variant != kEscapedNameVariant)
    return name;
  // A pattern that cannot compile leaves the name alone before the counter moves.
  std::string reason;
  if (options.regexDeletionOn && !options.regexPattern.empty() &&
      CheckNamePattern(options.regexPattern, &reason) != RegExpStatus::kOk) {
    SetRegexProblem(problem, options.regexPattern, reason);
    return name;
  }
  const NameForm form = variant == kPlainNameVariant ? NameForm::kPlain : NameForm::kEscaped;
  NameChars chars = form == NameForm::kPlain ? SplitPlainName(name) : SplitEscapedName(name);
  if (options.excludeOn && HoldsAnyKeyword(chars, options.excludeKeywords))
    return name;
  if (options.includeOn && LacksAnyKeyword(chars, options.includeKeywords))
    return name;
  const bool restart = firstRestart == 1 || secondRestart == 1;
  if (!ApplyChangingRules(chars, options, sources, restart, folderFlag == 1, readyPrefix, form,
                          problem))
    return name;
  return JoinName(chars);
}

std::string BuildNewName(const std::string& name, int firstRestart, int secondRestart,
                         int folderFlag, const std::string& readyPrefix, int variant) {
  const RenameRuleOptions options = ReadRenameRuleOptions(GetControlStore());
  RenameRuleProblem problem;
  std::string newName;
  {
    std::lock_guard lock(g_keywordRulesLock);
    const KeywordLists lists{g_keywordReplaceMode, g_replaceKeywords, g_replacementWords,
                             g_specifiedReplacements};
    const RenameRuleSources sources{lists, g_numberPrefixCounter, DefaultRandomIndex};
    newName = ApplyRenameRules(options, sources, name, firstRestart, secondRestart, folderFlag,
                               readyPrefix, variant, &problem);
  }
  if (problem.regexFailed)
    ReportRegexFailureOnce(problem);
  return newName;
}

void ForgetReportedRegexFailure() {
  std::lock_guard lock(s_reportMutex);
  s_reported = false;
  s_reportedPattern.clear();
}
