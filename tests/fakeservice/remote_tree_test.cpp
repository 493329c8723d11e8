// The remote tree's rules, the reply texts' JSON escaping and the request
// JSON reader, without a server.

#include "fakeservice/remote_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "fakeservice/json_text.h"
#include "fakeservice/starting_trees.h"

namespace {

using ::testing::ElementsAre;

TEST(RemoteTreeTest, NormalisesPaths) {
  struct Row {
    const char* in;
    const char* out;
  };
  const Row rows[] = {{"/", "/"},    {"", "/"},       {"//a//b/", "/a/b"},
                      {"/a/", "/a"}, {"a/b", "/a/b"}, {"///", "/"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    EXPECT_EQ(RemoteTree::Normalise(row.in), row.out);
  }
}

TEST(RemoteTreeTest, PrintsReadablyAndComparesWithoutIds) {
  const RemoteTree tree = RemoteTree::FromPaths({"/b.txt:3", "/a/", U8(u8"/a/中.txt:5")});
  EXPECT_EQ(tree.Print(), U8(u8"/\n  a/\n    中.txt (5)\n  b.txt (3)\n"));
  std::ostringstream printed;
  PrintTo(tree, &printed);
  EXPECT_EQ(printed.str(), "\n" + tree.Print());

  // Built in another order, so every id differs: still equal.
  const RemoteTree same = RemoteTree::FromPaths({U8(u8"/a/中.txt:5"), "/b.txt:3"});
  EXPECT_EQ(tree, same);
  EXPECT_NE(tree.FsId("/b.txt"), same.FsId("/b.txt"));
  EXPECT_FALSE(tree == RemoteTree::FromPaths({"/a/", U8(u8"/a/中.txt:6"), "/b.txt:3"}));
  EXPECT_FALSE(tree == RemoteTree::FromPaths({"/a/", U8(u8"/a/中.txt:5"), "/b.txt/"}));
  EXPECT_FALSE(tree == RemoteTree::FromPaths({"/a/", U8(u8"/a/中.txt:5"), "/B.txt:3"}));
}

TEST(RemoteTreeTest, IdsAreStableAcrossRenameAndMoveAndNeverReused) {
  RemoteTree tree = RemoteTree::FromPaths({"/a/x.txt", "/a/sub/y.txt", "/b/"});
  const int64_t x = *tree.FsId("/a/x.txt");
  const int64_t y = *tree.FsId("/a/sub/y.txt");
  EXPECT_EQ(tree.Rename("/a/sub", "inner", kErrnoNameTaken), kErrnoOk);
  EXPECT_EQ(tree.FsId("/a/inner/y.txt"), y);
  EXPECT_EQ(tree.PathOf(y), "/a/inner/y.txt");
  EXPECT_EQ(tree.Move("/a/x.txt", "/b", "z.txt"), kErrnoOk);
  EXPECT_EQ(tree.FsId("/b/z.txt"), x);
  EXPECT_EQ(tree.Remove("/b/z.txt"), kErrnoOk);
  int64_t made = 0;
  EXPECT_EQ(tree.CreateFolder("/b/z.txt", &made), kErrnoOk);
  EXPECT_NE(made, x);
  EXPECT_EQ(tree.PathOf(x), std::nullopt);
  EXPECT_GE(made, 100000000000000);
}

TEST(RemoteTreeTest, OperationErrors) {
  struct Row {
    const char* name;
    int (*operation)(RemoteTree&);
    int result;
  };
  const Row rows[] = {
      {"rename missing", [](RemoteTree& t) { return t.Rename("/no", "x", -8); }, kErrnoMissing},
      {"rename to taken, -30 configured",
       [](RemoteTree& t) { return t.Rename("/a/x.txt", "y.txt", -30); }, -30},
      {"rename to empty", [](RemoteTree& t) { return t.Rename("/a/x.txt", "", -8); },
       kErrnoBadPath},
      {"rename unchanged", [](RemoteTree& t) { return t.Rename("/a/x.txt", "x.txt", -8); },
       kResultUnchanged},
      {"case is a different name", [](RemoteTree& t) { return t.Rename("/a/x.txt", "X.txt", -8); },
       kErrnoOk},
      {"remove root", [](RemoteTree& t) { return t.Remove("/"); }, kErrnoMissing},
      {"copy into own subtree",
       [](RemoteTree& t) { return t.Copy("/a", "/a/sub", "a", false, nullptr); }, kErrnoBadPath},
      {"copy onto taken name",
       [](RemoteTree& t) { return t.Copy("/a/x.txt", "/a", "y.txt", false, nullptr); },
       kErrnoSameNameCopy},
      {"copy to a file",
       [](RemoteTree& t) { return t.Copy("/a", "/a/x.txt", "a", false, nullptr); }, kErrnoBadPath},
      {"move into itself", [](RemoteTree& t) { return t.Move("/a", "/a/sub", "a"); },
       kErrnoBadPath},
      {"move onto itself", [](RemoteTree& t) { return t.Move("/a/x.txt", "/a/", "x.txt"); },
       kResultOntoItself},
      {"move onto taken", [](RemoteTree& t) { return t.Move("/a/x.txt", "/a", "y.txt"); },
       kErrnoNameTaken},
      {"create without parent", [](RemoteTree& t) { return t.CreateFolder("/q/r", nullptr); },
       kErrnoMissing},
      {"create existing", [](RemoteTree& t) { return t.CreateFolder("/a/sub", nullptr); },
       kErrnoNameTaken},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RemoteTree tree = RemoteTree::FromPaths({"/a/x.txt:1", "/a/y.txt:2", "/a/sub/"});
    const RemoteTree before = tree;
    const int result = row.operation(tree);
    EXPECT_EQ(result, row.result);
    if (result != kErrnoOk) {
      EXPECT_EQ(tree, before);
    }
  }
}

TEST(RemoteTreeTest, NewCopyGetsANumberedNameAndFreshIds) {
  RemoteTree tree = RemoteTree::FromPaths({"/a/x.txt:1", "/a/x(1).txt:1", "/a/noext", "/d/"});
  std::string made;
  EXPECT_EQ(tree.Copy("/a/x.txt", "/a", "x.txt", true, &made), kErrnoOk);
  EXPECT_EQ(made, "/a/x(2).txt");
  EXPECT_EQ(tree.Copy("/a/noext", "/a", "noext", true, &made), kErrnoOk);
  EXPECT_EQ(made, "/a/noext(1)");
  EXPECT_EQ(tree.Copy("/a", "/d", "a", false, &made), kErrnoOk);
  EXPECT_EQ(tree.Find("/d/a")->children.size(), 5u);
  EXPECT_NE(tree.FsId("/d/a/x.txt"), tree.FsId("/a/x.txt"));
  // Three one-byte files in /a, and their copies in /d/a.
  EXPECT_EQ(tree.UsedBytes(), 6);
}

TEST(RemoteTreeTest, StartingTreesHoldWhatTheyPromise) {
  const RemoteTree pages = PageBoundaryTree();
  for (const int count : {99, 100, 199, 200}) {
    EXPECT_EQ(pages.Find("/p" + std::to_string(count))->children.size(),
              static_cast<size_t>(count));
  }
  const RemoteTree names = AwkwardNamesTree();
  EXPECT_NE(names.Find("/names/it's"), nullptr);
  EXPECT_NE(names.Find(U8(u8"/names/Don’t.mp3")), nullptr);
  EXPECT_EQ(names.Find("/names/Don't.mp3"), nullptr);
  EXPECT_TRUE(names.Find("/names/deep/empty")->children.empty());
  EXPECT_NE(SampleTree().Find("/empty"), nullptr);
}

TEST(JsonTextTest, QuotesAsTheServiceDoes) {
  struct Row {
    std::string in;
    const char* out;
  };
  const Row rows[] = {
      {"/a/b.txt", "\"/a/b.txt\""},
      {U8(u8"中文"), "\"\\u4e2d\\u6587\""},
      {U8(u8"Don’t"), "\"Don\\u2019t\""},
      {U8(u8"😀"), "\"\\ud83d\\ude00\""},
      {"q\"b\\s\n\x01", "\"q\\\"b\\\\s\\n\\u0001\""},
      {"bad\xff", "\"bad\\ufffd\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.out);
    EXPECT_EQ(JsonQuote(row.in), row.out);
  }
}

TEST(JsonTextTest, RawUtf8FormUnescapesOnlyNonAsciiCharacters) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"a name of the service", "{\"n\":\"\\u4e2d\\u6587.txt\"}",
       "{\"n\":\"" + U8(u8"中文") + ".txt\"}"},
      {"upper-case hex", "\"ni\\u00F1o\"", "\"" + U8(u8"niño") + "\""},
      {"a surrogate pair is one character", "\"\\ud83d\\ude00\"", "\"" + U8(u8"😀") + "\""},
      {"ASCII escapes stay", "\"\\u0001\\\"\\n\\u007f\"", "\"\\u0001\\\"\\n\\u007f\""},
      {"an escaped backslash before u is no escape", "\"a\\\\u4e2d\"", "\"a\\\\u4e2d\""},
      {"a short escape at the end stays", "\"\\u4e2", "\"\\u4e2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RawUtf8Escapes(row.in), row.out);
  }
}

TEST(JsonTextTest, ReadsRequestListsWithEscapes) {
  const auto list = ParseJson(
      "[{\"id\":412345678901234,\"path\":\"/a/\\u4e2d\\ud83d\\ude00\",\"newname\":\"x\\/y\"},"
      " \"/b\"]");
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->items.size(), 2u);
  EXPECT_EQ(list->items[0].Int("id"), 412345678901234);
  // Outside the macro: its stringised text must fit code page 936, and the emoji does not.
  const std::string path = U8(u8"/a/中😀");
  EXPECT_EQ(list->items[0].String("path"), path);
  EXPECT_EQ(list->items[0].String("newname"), "x/y");
  EXPECT_EQ(list->items[1].text, "/b");
  for (const char* broken : {"[", "[1,]", "{\"a\"}", "[1] x", "\"\\u12\""}) {
    SCOPED_TRACE(broken);
    EXPECT_FALSE(ParseJson(broken).has_value());
  }
  EXPECT_FALSE(ParseJson(std::string(40, '[') + std::string(40, ']')).has_value());
  EXPECT_TRUE(ParseJson(std::string(20, '[') + std::string(20, ']')).has_value());
}

}  // namespace
