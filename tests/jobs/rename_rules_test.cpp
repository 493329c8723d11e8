#include "jobs/rename_rules.h"

#include <gtest/gtest.h>

#include "jobs/name_legalisation.h"
#include "rule_engine_harness.h"

namespace {

TEST(RenameRules, ExcludeAndIncludeKeywordsIgnoreEmptyEntries) {
  struct Row {
    const char* name;
    bool exclude;  // else include
    std::string keywords;
    std::string input;
    std::string expected;
  } rows[] = {
      {"exclude with an empty entry: other names still renamed", true, "a,,b", "xyz.txt",
       "P_xyz.txt"},
      {"exclude with an empty entry: a named keyword still excludes", true, "a,,b", "cab.txt",
       "cab.txt"},
      {"exclude of only commas excludes nothing", true, ",", "xyz", "P_xyz"},
      {"exclude is case-sensitive", true, "A", "abc", "P_abc"},
      {"exclude finds a Chinese keyword", true, "文", "中文.txt", "中文.txt"},
      {"exclude never matches across two characters", true, "形", "中文.txt", "P_中文.txt"},
      {"exclude with an empty box excludes nothing", true, "", "ab", "P_ab"},
      {"include a,,b with both held", false, "a,,b", "ab.txt", "P_ab.txt"},
      {"include a,,b with one missing", false, "a,,b", "a.txt", "a.txt"},
      {"include with a trailing comma", false, "txt,", "a.txt", "P_a.txt"},
      {"include of only commas lets every name through", false, ",,", "q", "P_q"},
      {"include lacking a Chinese keyword", false, "中", "文.txt", "文.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.prefixOn = true;
    engine.options.prefix = "P_";
    (row.exclude ? engine.options.excludeOn : engine.options.includeOn) = true;
    (row.exclude ? engine.options.excludeKeywords : engine.options.includeKeywords) = row.keywords;
    ExpectBothVariants(engine, row.input, 0, row.expected);
  }
}

TEST(RenameRules, SpecifiedReplacementLines) {
  struct Row {
    const char* name;
    TextArray lines;
    std::string input;
    std::string expected;
  } rows[] = {
      {"old is left of the first arrow, new right of the last", {"a---->b---->c"}, "abc", "cbc"},
      {"two arrows on a longer name", {"a---->b---->c"}, "abcd", "cbcd"},
      {"empty new part keeps a name equal to old", {"abc---->"}, "abc", "abc"},
      {"empty new part deletes old inside a longer name", {"abc---->"}, "abcd", "d"},
      {"line without arrow is passed over", {"abc"}, "abc", "abc"},
      {"empty old part is passed over", {"---->x"}, "abc", "abc"},
      {"empty line is passed over", {""}, "abc", "abc"},
      {"lines run in order", {"a---->b", "b---->c"}, "ab", "cc"},
      {"every occurrence, no re-scan of inserted text", {"a---->aa"}, "aXa", "aaXaa"},
      {"Chinese old and new", {"中---->汉字"}, "中文中.txt", "汉字文汉字.txt"},
      {"punctuation keyword", {"!---->_"}, "a!b#c", "a_b#c"},
      {"apostrophe keyword", {"'---->"}, "it's", "its"},
      {"space and percent keep their meaning", {" ---->%20"}, "a b", "a%20b"},
      {"never matches across two characters", {"形---->X"}, "中文", "中文"},
      {"case-sensitive", {"A---->x"}, "abc", "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.replaceOn = true;
    engine.mode = kSpecifiedReplaceMode;
    engine.specifiedReplacements = row.lines;
    ExpectBothVariants(engine, row.input, 0, row.expected);
  }
}

TEST(RenameRules, NormalReplacementDrawsOneWordPerKeyword) {
  struct Row {
    const char* name;
    TextArray keywords;
    TextArray words;
    std::vector<int> draws;
    std::string input;
    std::string expected;
  } rows[] = {
      {"all occurrences of a keyword get the same word", {"x"}, {"1", "2"}, {2}, "x-x.x", "2-2.2"},
      {"each keyword draws its own word", {"x", "y"}, {"1", "2"}, {1, 2}, "xy", "12"},
      {"empty keyword neither matches nor draws", {"", "y"}, {"1", "2"}, {2}, "xy", "x2"},
      {"no words deletes the keyword", {"x"}, {}, {}, "axb", "ab"},
      {"no words keeps a name equal to the keyword", {"x"}, {}, {}, "x", "x"},
      {"empty words are never drawn", {"x"}, {"", "z", ""}, {1}, "axb", "azb"},
      {"only empty words delete like no words", {"x"}, {"", ""}, {}, "axb", "ab"},
      {"word with Chinese and a space", {"x"}, {"新 名"}, {1}, "x.doc", "新 名.doc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.replaceOn = true;
    engine.mode = "anything but the specified mode";
    engine.replaceKeywords = row.keywords;
    engine.replacementWords = row.words;
    engine.draws = row.draws;
    ExpectBothVariants(engine, row.input, 0, row.expected);
    EXPECT_EQ(engine.drawsTaken, row.draws.size());
  }
}

TEST(RenameRules, ReplacementOffLeavesKeywordsAlone) {
  RuleEngineHarness engine;
  engine.mode = kSpecifiedReplaceMode;
  engine.specifiedReplacements = {"a---->b"};
  ExpectBothVariants(engine, "abc", 0, "abc");
}

TEST(RenameRules, NumberPrefixSequences) {
  struct Row {
    const char* name;
    std::string start;
    std::string fixedPrefix;
    std::vector<std::string> expected;  // results for a.txt, call after call
  } rows[] = {
      {"start 9 grows past its width", "9", "", {"10a.txt", "11a.txt", "12a.txt"}},
      {"start 0099 keeps four digits", "0099", "", {"0100a.txt", "0101a.txt"}},
      {"empty start counts from 000", "", "", {"001a.txt", "002a.txt"}},
      {"number stands before the fixed prefix", "000", "X_", {"001X_a.txt", "002X_a.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.numberPrefixOn = true;
    engine.options.numberPrefixStart = row.start;
    engine.options.prefixOn = !row.fixedPrefix.empty();
    engine.options.prefix = row.fixedPrefix;
    for (int variant : {kPlainNameVariant, kEscapedNameVariant}) {
      SCOPED_TRACE(variant == kPlainNameVariant ? "plain" : "escaped");
      engine.Rewind();
      for (const std::string& expected : row.expected) {
        const std::string out = engine.Run(ToEscaped("a.txt"), variant);
        EXPECT_EQ(variant == kPlainNameVariant ? out : FromEscaped(out), expected);
      }
    }
  }
}

TEST(RenameRules, NumberPrefixReadyMadeAndRestart) {
  RuleEngineHarness engine;
  engine.options.numberPrefixOn = true;
  engine.options.numberPrefixStart = "05";
  for (int variant : {kPlainNameVariant, kEscapedNameVariant}) {
    SCOPED_TRACE(variant == kPlainNameVariant ? "plain" : "escaped");
    engine.Rewind();
    EXPECT_EQ(FromEscaped(engine.Run("a", variant, 0, "K7")), "K7a");
    EXPECT_EQ(engine.counter.Text(), "") << "a ready-made prefix leaves the counter alone";
    EXPECT_EQ(FromEscaped(engine.Run("a", variant)), "06a");
    EXPECT_EQ(FromEscaped(engine.Run("a", variant)), "07a");
    EXPECT_EQ(FromEscaped(engine.Run("a", variant, 0, "", 1)), "06a") << "restart flag";
    EXPECT_EQ(engine.counter.Text(), "06");
  }
}

TEST(RenameRules, SuffixAndNewExtensionActOnTheTrailingExtension) {
  struct Row {
    const char* name;
    std::string suffix;     // empty: rule off
    std::string extension;  // empty: rule off
    int folderFlag;
    std::string input;
    std::string expected;
  } rows[] = {
      {"suffix before the extension", "_1", "", 0, "a.txt", "a_1.txt"},
      {"suffix before the last extension only", "_1", "", 0, "a.txt.txt", "a.txt_1.txt"},
      {"file without extension gets no suffix", "_1", "", 0, "README", "README"},
      {"folder a.b gets the suffix at the end", "_1", "", 1, "a.b", "a.b_1"},
      {"dot followed by a space is no extension", "_1", "", 0, "a.b c", "a.b c"},
      {"suffix with Chinese", "副本", "", 0, "文.doc", "文副本.doc"},
      {"new extension, any case", "", "doc", 0, "x.TXT", "x.doc"},
      {"new extension on the last extension only", "", "doc", 0, "my.txtfile.txt",
       "my.txtfile.doc"},
      {"new extension leaves earlier equal parts", "", "doc", 0, "a.TXT.txt", "a.TXT.doc"},
      {"file without extension gets none", "", "doc", 0, "README", "README"},
      {"folder keeps its extension", "", "doc", 1, "a.b", "a.b"},
      {"both: suffix then new extension", "_1", "md", 0, "a.txt", "a_1.md"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.suffixOn = !row.suffix.empty();
    engine.options.suffix = row.suffix;
    engine.options.newExtensionOn = !row.extension.empty();
    engine.options.newExtension = row.extension;
    ExpectBothVariants(engine, row.input, row.folderFlag, row.expected);
  }
}

TEST(RenameRules, ChineseCharacterDeletion) {
  struct Row {
    const char* name;
    std::string count;
    std::string input;
    std::string expected;
  } rows[] = {
      {"first ones go, in order", "2", "中a文b字.txt", "ab字.txt"},
      {"count above the number of Chinese characters", "9", "中文.txt", ".txt"},
      {"full-width punctuation is no Chinese character", "5", "中，文。", "，。"},
      {"count 0 is off", "0", "中文", "中文"},
      {"count text that is no number is off", "abc", "中文", "中文"},
      {"count with leading blanks", "  1", "中文", "文"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.chineseDeletionOn = true;
    engine.options.chineseDeletionCount = row.count;
    ExpectBothVariants(engine, row.input, 0, row.expected);
  }
}

TEST(RenameRules, RegularExpressionDeletion) {
  struct Row {
    const char* name;
    std::string pattern;
    std::string input;
    std::string expected;
  } rows[] = {
      {"every match goes", "[0-9]+", "a12b3.txt", "ab.txt"},
      {"digits next to a Chinese character", "[0-9]+", "中1文22.txt", "中文.txt"},
      {"case ignored", "ab", "xABy", "xy"},
      {"Chinese in the pattern", "文+", "中文文字", "中字"},
      {"escape in the pattern", "\\u4e2d", "中文", "文"},
      {"empty matches remove nothing", "x*", "abc", "abc"},
      {"anchored at the start", "^\\[.*?\\]", "[tag]name[x]", "name[x]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.regexDeletionOn = true;
    engine.options.regexPattern = row.pattern;
    ExpectBothVariants(engine, row.input, 0, row.expected);
  }
}

TEST(RenameRules, InvalidExpressionLeavesTheWholeNameAndTheCounter) {
  RuleEngineHarness engine;
  engine.options.prefixOn = true;
  engine.options.prefix = "P_";
  engine.options.numberPrefixOn = true;
  engine.options.regexDeletionOn = true;
  engine.options.regexPattern = "([0-9]";
  for (int variant : {kPlainNameVariant, kEscapedNameVariant}) {
    SCOPED_TRACE(variant == kPlainNameVariant ? "plain" : "escaped");
    RenameRuleProblem problem;
    EXPECT_EQ(engine.Run("a1.txt", variant, 0, "", 0, &problem), "a1.txt");
    EXPECT_TRUE(problem.regexFailed);
    EXPECT_EQ(problem.pattern, "([0-9]");
    EXPECT_FALSE(problem.reason.empty());
    EXPECT_EQ(engine.counter.Text(), "");
  }
}

TEST(RenameRules, RunawayExpressionLeavesTheName) {
  struct Row {
    const char* name;
    const char* pattern;
    std::string subject;
  } rows[] = {
      {"nested repeat on a short name", "(a+)+$", std::string(40, 'a') + "!"},
      // Each start position stays under the per-start limit; only a limit over
      // the whole search stops it.
      {"alternation repeat on a long name", "(?:a|a){19}!", std::string(200, 'a') + "b!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (int variant : {kPlainNameVariant, kEscapedNameVariant}) {
      RuleEngineHarness engine;
      engine.options.regexDeletionOn = true;
      engine.options.regexPattern = row.pattern;
      RenameRuleProblem problem;
      EXPECT_EQ(engine.Run(row.subject, variant, 0, "", 0, &problem), row.subject);
      EXPECT_TRUE(problem.regexFailed);
    }
  }
}

// Names that code page 936 cannot hold travel only in the escaped variant.
TEST(RenameRules, EscapedNamesOutsideCodePage936) {
  struct Row {
    const char* name;
    std::string input;  // backslash-u notation
    std::string pattern;
    std::u16string expected;
  } rows[] = {
      {"suffix on a Korean name", "\\uD55C.txt", "[0-9]", u"한_s.txt"},
      {"digits deleted beside an emoji, the pair kept", "\\uD83D\\uDE001a.txt", "[0-9]",
       u"\U0001F600a_s.txt"},
      {"Chinese deletion spares Korean", "\\uD55C\\u4E2D.txt", "[0-9]", u"한_s.txt"},
      {"an emoji is one character to the expression", "x\\uD83D\\uDE00y.txt", "[^a-z._]",
       u"xy_s.txt"},
      {"escaped dot still starts the extension", "a\\u002Etxt", "[0-9]", u"a_s.txt"},
      {"escaped dot survives Chinese deletion", "\\u4E2D\\u002Etxt", "[0-9]", u"_s.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.suffixOn = true;
    engine.options.suffix = "_s";
    engine.options.chineseDeletionOn = true;
    engine.options.chineseDeletionCount = "3";
    engine.options.regexDeletionOn = true;
    engine.options.regexPattern = row.pattern;
    const std::string out = engine.Run(row.input, kEscapedNameVariant);
    EXPECT_EQ(EscapedUnits(out), row.expected) << out;
    EXPECT_TRUE(IsAscii(out)) << out;
  }
}

TEST(RenameRules, KeywordRulesBesideCharactersOutsideCodePage936) {
  struct Row {
    const char* name;
    std::string exclude;  // empty: rule off
    std::string include;  // empty: rule off
    std::string input;    // backslash-u notation
    std::u16string expected;
  } rows[] = {
      {"include keyword beside Korean", "", "a", "\\uD55Ca.txt", u"1P_한b.txt"},
      {"include keyword missing", "", "q", "\\uD55Ca.txt", u"한a.txt"},
      {"exclude keyword beside an emoji", "a", "", "\\uD83D\\uDE00a", u"\U0001F600a"},
      {"exclude keyword not held", "z,,", "", "\\uD83D\\uDE00a", u"1P_\U0001F600b"},
      {"punctuation in the name", "", "-", "\\uD55C-'+a", u"1P_한-'+b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.excludeOn = !row.exclude.empty();
    engine.options.excludeKeywords = row.exclude;
    engine.options.includeOn = !row.include.empty();
    engine.options.includeKeywords = row.include;
    engine.options.replaceOn = true;
    engine.mode = kSpecifiedReplaceMode;
    engine.specifiedReplacements = {"a---->b"};
    engine.options.prefixOn = true;
    engine.options.prefix = "P_";
    engine.options.numberPrefixOn = true;
    engine.options.numberPrefixStart = "0";
    const std::string out = engine.Run(row.input, kEscapedNameVariant);
    EXPECT_EQ(EscapedUnits(out), row.expected) << out;
    EXPECT_TRUE(IsAscii(out)) << out;
  }
}

TEST(RenameRules, EscapedVariantKeepsUntouchedNotation) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  } rows[] = {
      {"unchanged name keeps its bytes", "\\u4e2d-'+x", "\\u4e2d-'+x"},
      {"escaped dot stays as written", "\\u4e2d\\u002etxt", "\\u4e2d_\\u526F\\u002etxt"},
      {"lower-case escapes stay beside a suffix", "\\u4e2d.txt", "\\u4e2d_\\u526F.txt"},
      {"backslash without an escape stays", "a\\b.txt", "a\\b_\\u526F.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.suffixOn = true;
    engine.options.suffix = "_副";
    EXPECT_EQ(engine.Run(row.input, kEscapedNameVariant), row.expected);
  }
}

TEST(RenameRules, AddedTextInTheEscapedVariant) {
  // What the rules add is written so that it decodes to exactly the typed text
  // and the legalisation still sees characters it must replace.
  RuleEngineHarness engine;
  engine.options.prefixOn = true;
  engine.options.prefix = "a b%26\\:?'中";
  EXPECT_EQ(engine.Run("x", kEscapedNameVariant), "a b\\u002526\\u005C:?'\\u4E2Dx");
}

// The way every new name leaves the rules before it is sent: legalised, then
// its escaped punctuation restored.
std::string SentName(RuleEngineHarness& engine, const std::string& name, int variant) {
  return RestoreEncodedPunctuation(MakeLegalName(engine.Run(name, variant)));
}

TEST(RenameRules, PunctuationTheRulesAddReachesTheServiceAsCharacters) {
  struct Row {
    const char* name;
    bool specified;  // else prefix, suffix and a normal replacement word
    std::string input;
    std::string expected;
  } rows[] = {
      {"prefix, suffix and word", false, "k.txt", "~ &=·~ &=·_~ &=·.txt"},
      {"specified replacement", true, "k.txt", "a ~&=·b.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RuleEngineHarness engine;
    engine.options.replaceOn = true;
    if (row.specified) {
      engine.mode = kSpecifiedReplaceMode;
      engine.specifiedReplacements = {"k---->a ~&=·b"};
    } else {
      engine.options.prefixOn = engine.options.suffixOn = true;
      engine.options.prefix = "~ &=·";
      engine.options.suffix = "_~ &=·";
      engine.replaceKeywords = {"k"};
      engine.replacementWords = {"~ &=·"};
    }
    engine.Rewind();
    EXPECT_EQ(SentName(engine, row.input, kPlainNameVariant), row.expected) << "plain";
    engine.Rewind();
    const std::string escaped = SentName(engine, ToEscaped(row.input), kEscapedNameVariant);
    EXPECT_EQ(FromEscaped(escaped), row.expected) << escaped;
    for (const char* leftOver : {"%20", "%7E", "%26", "%3D", "%B7"})
      EXPECT_EQ(escaped.find(leftOver), std::string::npos) << escaped;
  }
}

TEST(RenameRules, PercentSequencesOfARealNameReachTheServiceUnchanged) {
  const std::string name = "a%26b%20c%7e%3D%B7%21.txt";
  RuleEngineHarness engine;
  engine.options.prefixOn = true;
  engine.options.prefix = "P";
  EXPECT_EQ(SentName(engine, name, kPlainNameVariant), "P" + name);
  EXPECT_EQ(SentName(engine, name, kEscapedNameVariant), "P" + name);
  engine.options.prefixOn = false;
  EXPECT_EQ(SentName(engine, name, kPlainNameVariant), name) << "no rule changed it";
  EXPECT_EQ(SentName(engine, name, kEscapedNameVariant), name) << "no rule changed it";
}

TEST(RenameRules, OtherVariantsReturnTheName) {
  RuleEngineHarness engine;
  RenameRuleOptions& o = engine.options;
  o.excludeOn = o.includeOn = o.replaceOn = o.prefixOn = o.numberPrefixOn = true;
  o.suffixOn = o.newExtensionOn = o.chineseDeletionOn = o.regexDeletionOn = true;
  o.includeKeywords = "a";
  o.prefix = o.suffix = "_";
  o.newExtension = "doc";
  o.chineseDeletionCount = "9";
  o.regexPattern = "a";
  engine.replaceKeywords = {"a"};
  for (int variant : {2, -1}) {
    EXPECT_EQ(engine.Run("中a.txt", variant), "中a.txt");
  }
  EXPECT_EQ(engine.counter.Text(), "");
}

TEST(RenameRules, FullRuleSetInOrder) {
  RuleEngineHarness engine;
  RenameRuleOptions& o = engine.options;
  o.replaceOn = o.prefixOn = o.numberPrefixOn = o.suffixOn = o.newExtensionOn = true;
  o.chineseDeletionOn = o.regexDeletionOn = true;
  engine.mode = kSpecifiedReplaceMode;
  engine.specifiedReplacements = {"old---->新"};
  o.prefix = "P";
  o.numberPrefixStart = "08";
  o.suffix = "_s";
  o.newExtension = "mp4";
  o.chineseDeletionCount = "1";
  o.regexPattern = "[0-9]{3}";
  // Replacement, prefix, number, suffix, extension, then the first Chinese
  // character (the replacement's) goes and the three-digit run is removed.
  ExpectBothVariants(engine, "old123.avi", 0, "09P_s.mp4");
}

}  // namespace
