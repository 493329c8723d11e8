#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/scratch_folder.h"

namespace {

struct Write {
  const char* section;
  const char* key;
  std::string value;
};

struct WriteRow {
  const char* name;
  std::string before;  // file content; "-" for no file
  std::vector<Write> writes;
  std::string after;
};

TEST(PrivateProfileTest, WritesKeepEveryLineTheyDoNotChange) {
  const WriteRow rows[] = {
      {"a new file in the order of writing",
       "-",
       {{"单选框", "b", "真"}, {"单选框", "a", "假"}, {"编辑框", "e", "x"}},
       "[单选框]\r\nb=真\r\na=假\r\n[编辑框]\r\ne=x\r\n"},
      {"replacement in place keeps comments, blanks and unknown sections",
       "; made by hand\n[other]\nk = 1\n\n[单选框]\n  A =\"old\" \nz=2\n[tail]\nq=3",
       {{"单选框", "a", "new"}},
       "; made by hand\n[other]\nk = 1\n\n[单选框]\nA=new\nz=2\n[tail]\nq=3"},
      {"a new key goes after the section's last line, before its blank lines",
       "[s]\r\nx=1\r\n\r\n[t]\r\ny=2\r\n",
       {{"S", "w", "9"}},
       "[s]\r\nx=1\r\nw=9\r\n\r\n[t]\r\ny=2\r\n"},
      {"a new section is appended, ending the unterminated last line first",
       "[s]\nx=1",
       {{"n", "k", "v"}},
       "[s]\nx=1\r\n[n]\r\nk=v\r\n"},
      {"a value with a line break, an empty key and a key with = are refused",
       "[s]\r\nx=1\r\n",
       {{"s", "x", "a\r\nb"}, {"s", "x", "a\nb"}, {"s", "", "v"}, {"s", "a=b", "v"}},
       "[s]\r\nx=1\r\n"},
      {"a key line that would read as a section header is refused",
       "[s]\r\nx=1\r\n",
       {{"s", "[k]", "v"}, {"s", "[k", "]"}, {"s", " [k", "a]b"}, {"n", "[k]", "v"}},
       "[s]\r\nx=1\r\n"},
      {"a key with a bracket that still reads as a key is kept",
       "[s]\r\n",
       {{"s", "k]", "v"}, {"s", "[k", "v"}},
       "[s]\r\nk]=v\r\n[k=v\r\n"},
  };
  for (const WriteRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    const std::string path = folder.Utf8("set.ini");
    if (row.before != "-") {
      std::ofstream(path, std::ios::binary) << row.before;
    }
    for (const Write& write : row.writes) {
      WriteProfileText(path, write.section, write.key, write.value);
    }
    EXPECT_EQ(ReadFileBytes(path), row.after);
  }
}

struct ReadRow {
  const char* name;
  const char* section;
  const char* key;
  std::string expected;
};

TEST(PrivateProfileTest, ReadsTrimQuotesAndMatchNamesWithoutCase) {
  const std::string content =
      "[Main]\r\n"
      "Plain=  two words \t\r\n"
      "quoted = \" kept inside \" \r\n"
      "half=\"open\r\n"
      "twice=\"\"x\"\"\r\n"
      "empty=\r\n"
      "\xB0\x41=upper trail\r\n"
      "\xB0\x61=lower trail\r\n"
      "[main]\r\n"
      "plain=the second section of the same name is not read\r\n";
  const ReadRow rows[] = {
      {"blanks around the value are dropped", "main", "PLAIN", "two words"},
      {"one pair of quotes is dropped after trimming", "MAIN", "Quoted", " kept inside "},
      {"a lone quote stays", "Main", "half", "\"open"},
      {"only the outer pair goes", "Main", "twice", "\"x\""},
      {"an empty value", "Main", "empty", ""},
      {"a missing key reads the fallback", "Main", "absent", "fallback"},
      {"a missing section reads the fallback", "Other", "plain", "fallback"},
      // "\xB0\x41" and "\xB0\x61" are two different characters; ASCII case
      // folding must not touch a trail byte.
      {"trail bytes are compared exactly (A)", "Main", "\xB0\x41", "upper trail"},
      {"trail bytes are compared exactly (a)", "Main", "\xB0\x61", "lower trail"},
  };
  ScratchFolder folder;
  const std::string path = folder.Utf8("set.ini");
  std::ofstream(path, std::ios::binary) << content;
  for (const ReadRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReadProfileText(path, row.section, row.key, "fallback"), row.expected);
  }
  EXPECT_EQ(ReadProfileText(folder.Utf8("missing.ini"), "Main", "plain", "x"), "x");
}

struct SessionRow {
  const char* name;
  std::string before;
  std::vector<Write> writes;
  std::string after;
  std::vector<ReadRow> reads;  // after the writes, on the same profile
};

// Many writes on one loaded profile, each finding what the ones before it
// added or moved: keys added to a section shift every later one, a new section
// takes keys again, and the first of duplicate sections and keys stays the
// one read and replaced.
TEST(PrivateProfileTest, OneProfileFindsWhatItsOwnWritesMoved) {
  const SessionRow rows[] = {
      {"keys added to an earlier section move the later sections",
       "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n[B]\r\nz=3\r\n",
       {{"a", "n1", "v1"}, {"a", "n2", "v2"}, {"b", "y", "new"}, {"B", "z", "4"}, {"a", "x", "5"}},
       "[a]\r\nx=5\r\nn1=v1\r\nn2=v2\r\n\r\n[b]\r\ny=new\r\nz=4\r\n[B]\r\nz=3\r\n",
       {{"later section", "B", "Y", "new"},
        {"key of the second section of a name, written to the first", "b", "Z", "4"},
        {"added key", "A", "N2", "v2"}}},
      {"the first of duplicate keys is read and replaced",
       "[s]\nk=1\nK=2\n",
       {{"s", "K", "3"}},
       "[s]\nk=3\nK=2\n",
       {{"replaced", "s", "k", "3"}}},
      {"a new section takes keys after the first one's",
       "[s]\nx=1",
       {{"t", "a", "1"}, {"s", "y", "2"}, {"t", "b", "3"}, {"T", "A", "4"}},
       "[s]\nx=1\r\ny=2\r\n[t]\r\na=4\r\nb=3\r\n",
       {{"new section", "t", "b", "3"}, {"added to the old section", "s", "y", "2"}}},
      {"trail bytes that look like letters stay apart",
       "[s]\r\n\xB0\x41=1\r\n",
       {{"s", "\xB0\x61", "2"}, {"s", "\xB0\x41", "3"}},
       "[s]\r\n\xB0\x41=3\r\n\xB0\x61=2\r\n",
       {{"upper trail", "s", "\xB0\x41", "3"}, {"lower trail", "s", "\xB0\x61", "2"}}},
      {"a key line before the first section is no key",
       "k=0\r\n[s]\r\n",
       {{"s", "k", "1"}},
       "k=0\r\n[s]\r\nk=1\r\n",
       {{"the section's own", "s", "k", "1"}}},
  };
  for (const SessionRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    const std::string path = folder.Utf8("set.ini");
    std::ofstream(path, std::ios::binary) << row.before;
    ProfileFile file;
    ASSERT_TRUE(file.Load(path));
    for (const Write& write : row.writes) {
      EXPECT_TRUE(file.Write(write.section, write.key, write.value));
    }
    EXPECT_EQ(file.Bytes(), row.after);
    for (const ReadRow& read : row.reads) {
      SCOPED_TRACE(read.name);
      EXPECT_EQ(file.Read(read.section, read.key, "fallback"), read.expected);
    }
  }
}

TEST(PrivateProfileTest, CodePageBytesOnDiskAndLongValuesWhole) {
  ScratchFolder folder;
  const std::string path = folder.Utf8("set.ini");
  // "编辑框" and "真" in code page 936.
  const std::string section = "\xB1\xE0\xBC\xAD\xBF\xF2";
  const std::string value = "\xD5\xE6";
  ASSERT_TRUE(WriteProfileText(path, section, "k", value));
  EXPECT_EQ(ReadFileBytes(path), "[" + section + "]\r\nk=" + value + "\r\n");

  std::string longValue;
  for (int i = 0; longValue.size() < 20000; ++i) {
    longValue += "keyword" + std::to_string(i) + ",";
  }
  ASSERT_TRUE(WriteProfileText(path, section, "long", longValue));
  EXPECT_EQ(ReadProfileText(path, section, "long"), longValue);
  EXPECT_EQ(ReadProfileText(path, section, "k"), value);
}

TEST(PrivateProfileTest, AValueWrittenInItsExactFormReadsBackExactly) {
  ScratchFolder folder;
  const std::string path = folder.Utf8("set.ini");
  struct Row {
    const char* name;
    std::string value;
    std::string stored;  // what follows "k="
  };
  const Row rows[] = {
      {"plain", "P_", "P_"},
      {"blanks inside", "a b", "a b"},
      {"spaces at the ends", "  mid  ", "\"  mid  \""},
      {"a tab, a vertical tab and a form feed", "\t\v\fP_\f", "\"\t\v\fP_\f\""},
      {"a trailing space only", "P ", "\"P \""},
      {"a whole quoted text", "\"q\"", "\"\"q\"\""},
      {"a quote at one end only", "\"q", "\"q"},
      {"one quote", "\"", "\""},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(path);
    ASSERT_TRUE(WriteProfileText(path, "s", "k", ProfileValueReadingBackExactly(row.value)));
    EXPECT_EQ(ReadFileBytes(path), "[s]\r\nk=" + row.stored + "\r\n");
    EXPECT_EQ(ReadProfileText(path, "s", "k", "fallback"), row.value);
  }
}

TEST(PrivateProfileTest, AFailedSaveLeavesTheOldFile) {
  ScratchFolder folder;
  const std::string path = folder.Utf8("set.ini");
  std::ofstream(path, std::ios::binary) << "[s]\r\nx=1\r\n";
  ProfileFile file;
  ASSERT_TRUE(file.Load(path));
  ASSERT_TRUE(file.Write("s", "x", "2"));
  EXPECT_FALSE(file.Save(folder.Utf8("no-such-folder/set.ini")));
  // A path that is a folder cannot be read as a profile.
  EXPECT_FALSE(ProfileFile().Load(folder.Utf8()));
  EXPECT_EQ(ReadFileBytes(path), "[s]\r\nx=1\r\n");
}

}  // namespace
