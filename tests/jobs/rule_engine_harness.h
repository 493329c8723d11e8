#pragma once
// Test harness for the rename-rule engine: options, keyword lists, a number
// counter and scripted random draws of one's own, and runs of one name through
// the plain and the escaped variant.

#include <string>
#include <vector>

#include "foundation/text_arrays.h"
#include "jobs/rename_rules.h"

struct RuleEngineHarness {
  RenameRuleOptions options;
  std::string mode = kNormalReplaceMode;
  TextArray replaceKeywords;
  TextArray replacementWords;
  TextArray specifiedReplacements;
  NumberPrefixCounter counter;
  std::vector<int> draws;  // answers of the random source in order, then 1
  std::size_t drawsTaken = 0;

  // Empties the counter and rewinds the draws.
  void Rewind();

  std::string Run(const std::string& name, int variant, int folderFlag = 0,
                  const std::string& readyPrefix = "", int firstRestart = 0,
                  RenameRuleProblem* problem = nullptr);
};

// The selection-list notation of a code page 936 name: letters, digits and
// printable ASCII punctuation as they are, everything else as "\uXXXX".
std::string ToEscaped(const std::string& plain);
// The code page 936 text of a name in backslash-u notation.
std::string FromEscaped(const std::string& escaped);
// UTF-16 code units of a name in backslash-u notation.
std::u16string EscapedUnits(const std::string& escaped);
bool IsAscii(const std::string& text);

// Runs `plain` through the plain variant and its escaped notation through the
// escaped variant (the harness rewound before each) and checks that both give
// `expected` and that the escaped result stays in the notation.
void ExpectBothVariants(RuleEngineHarness& engine, const std::string& plain, int folderFlag,
                        const std::string& expected);
