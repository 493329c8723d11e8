#include "jobs/rename_rules.h"

#include <mutex>

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

bool HoldsAnyKeyword(const NameChars& name, const std::string& list) {
  for (const std::string& keyword : KeywordEntries(list)) {
    if (FindUnits(name, TextUnits(keyword)) != std::string::npos)
      return true;
  }
  return false;
}

bool LacksAnyKeyword(const NameChars& name, const std::string& list) {
  for (const std::string& keyword : KeywordEntries(list)) {
    if (FindUnits(name, TextUnits(keyword)) == std::string::npos)
      return true;
  }
  return false;
}

// One replacement: every occurrence of `old` becomes `word`, except that a
// name equal to `old` as a whole is not emptied.
void ReplaceKeyword(NameChars& name, const std::string& old, const std::string& word,
                    NameForm form) {
  const std::u16string oldUnits = TextUnits(old);
  if (oldUnits.empty() || (word.empty() && EqualsUnits(name, oldUnits)))
    return;
  ReplaceUnits(name, oldUnits, TextChars(word, form));
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

void Prepend(NameChars& name, const std::string& text, NameForm form) {
  NameChars added = TextChars(text, form);
  name.insert(name.begin(), added.begin(), added.end());
}

void AddSuffix(NameChars& name, const std::string& suffix, bool folder, NameForm form) {
  if (folder) {
    AppendText(name, suffix, form);
    return;
  }
  const std::size_t dot = ExtensionStart(name);
  if (dot == std::string::npos)
    return;  // a file without extension gets no suffix
  const NameChars added = TextChars(suffix, form);
  name.insert(name.begin() + static_cast<std::ptrdiff_t>(dot), added.begin(), added.end());
}

void ReplaceExtension(NameChars& name, const std::string& extension, NameForm form) {
  const std::size_t dot = ExtensionStart(name);
  if (dot == std::string::npos)
    return;  // a file without extension gets none
  name.resize(dot);
  AppendText(name, "." + extension, form);
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
    Prepend(name, o.prefix, form);
  if (o.numberPrefixOn) {
    Prepend(name,
            readyPrefix.empty() ? sources.counter.Next(o.numberPrefixStart, restart) : readyPrefix,
            form);
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
