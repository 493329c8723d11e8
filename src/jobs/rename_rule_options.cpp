#include "jobs/rename_rule_options.h"

#include <climits>

#include "platform/control_store.h"

RenameRuleOptions ReadRenameRuleOptions(const ControlStore& store) {
  RenameRuleOptions o;
  o.excludeOn = store.Checked(kExcludeRuleBox);
  o.excludeKeywords = store.Text(kExcludeKeywordsEdit);
  o.includeOn = store.Checked(kIncludeRuleBox);
  o.includeKeywords = store.Text(kIncludeKeywordsEdit);
  o.replaceOn = store.Checked(kReplaceRuleBox);
  o.prefixOn = store.Checked(kPrefixRuleBox);
  o.prefix = store.Text(kPrefixEdit);
  o.numberPrefixOn = store.Checked(kNumberPrefixRuleBox);
  o.numberPrefixStart = store.Text(kNumberPrefixEdit);
  o.suffixOn = store.Checked(kSuffixRuleBox);
  o.suffix = store.Text(kSuffixEdit);
  o.newExtensionOn = store.Checked(kNewExtensionRuleBox);
  o.newExtension = store.Text(kNewExtensionEdit);
  o.chineseDeletionOn = store.Checked(kChineseDeletionRuleBox);
  o.chineseDeletionCount = store.Text(kChineseDeletionCountEdit);
  o.regexDeletionOn = store.Checked(kRegexDeletionRuleBox);
  o.regexPattern = store.Text(kRegexDeletionEdit);
  return o;
}

int EditBoxInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX)
      return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}
