#include "rule_engine_harness.h"

#include <gtest/gtest.h>

#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "platform/code_page_codec.h"

void RuleEngineHarness::Rewind() {
  counter.Reset();
  drawsTaken = 0;
}

std::string RuleEngineHarness::Run(const std::string& name, int variant, int folderFlag,
                                   const std::string& readyPrefix, int firstRestart,
                                   RenameRuleProblem* problem) {
  const KeywordLists lists{mode, replaceKeywords, replacementWords, specifiedReplacements};
  const RenameRuleSources sources{lists, counter, [this](int count) {
                                    const int k = drawsTaken < draws.size() ? draws[drawsTaken] : 1;
                                    ++drawsTaken;
                                    EXPECT_GE(k, 1);
                                    EXPECT_LE(k, count);
                                    return k;
                                  }};
  return ApplyRenameRules(options, sources, name, firstRestart, 0, folderFlag, readyPrefix, variant,
                          problem);
}

std::string ToEscaped(const std::string& plain) {
  return EscapeToUnicodeNotation(TextToUtf16(plain), true, true);
}

std::string FromEscaped(const std::string& escaped) {
  return Utf16ToText(DecodeUnicodeEscapes(escaped));
}

std::u16string EscapedUnits(const std::string& escaped) {
  std::u16string units = LeBytesToUtf16(DecodeUnicodeEscapes(escaped));
  if (!units.empty())
    units.pop_back();  // the terminator
  return units;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

void ExpectBothVariants(RuleEngineHarness& engine, const std::string& plain, int folderFlag,
                        const std::string& expected) {
  engine.Rewind();
  EXPECT_EQ(engine.Run(plain, kPlainNameVariant, folderFlag), expected) << "plain variant";
  engine.Rewind();
  const std::string escaped = engine.Run(ToEscaped(plain), kEscapedNameVariant, folderFlag);
  EXPECT_EQ(FromEscaped(escaped), expected) << "escaped variant gave " << escaped;
  EXPECT_TRUE(IsAscii(escaped)) << "escaped variant left the notation: " << escaped;
}
