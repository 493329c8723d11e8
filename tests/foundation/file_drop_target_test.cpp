// FileDropTarget against a drop host held in memory: the order of the files,
// the two name forms, several windows on one object and unregistering.

#include "foundation/file_drop_target.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/code_page_codec.h"
#include "platform/drop_target_host.h"

namespace {

class FakeDropHost final : public DropTargetHost {
 public:
  std::map<WindowHandle, DroppedFilesHandler> handlers;

  bool AcceptDrops(WindowHandle window, DroppedFilesHandler handler) override {
    handlers[window] = std::move(handler);
    return true;
  }
  void RefuseDrops(WindowHandle window) override { handlers.erase(window); }
  // A drop on `window`; false when the window does not accept drops.
  bool Drop(WindowHandle window, const std::vector<std::u16string>& paths) {
    auto it = handlers.find(window);
    if (it == handlers.end()) {
      return false;
    }
    it->second(paths);
    return true;
  }
};

struct FileDropTargetTest : ::testing::Test {
  FakeDropHost host;
  ScopedDropTargetHost use{host};
  std::vector<std::string> received;
  FileDropTarget::Routine Record() {
    return [this](const std::string& path) { received.push_back(path); };
  }
};

constexpr WindowHandle kEdit = 11;
constexpr WindowHandle kLabel7 = 12;
constexpr WindowHandle kLabel2 = 13;

TEST_F(FileDropTargetTest, ThreeFilesArriveOneCallEachInOrder) {
  FileDropTarget target;
  target.Register(kEdit, Record(), false);
  ASSERT_TRUE(host.Drop(kEdit, {u"/k/一.txt", u"/k/b.txt", u"/k/c.txt"}));
  EXPECT_EQ(received, (std::vector<std::string>{"/k/一.txt", "/k/b.txt", "/k/c.txt"}));
}

TEST_F(FileDropTargetTest, NarrowNamesMarkLostCharactersWideNamesKeepThem) {
  FileDropTarget narrow;
  narrow.Register(kEdit, Record(), false);
  host.Drop(kEdit, {u"/k/a\U0001F600.txt"});
  FileDropTarget wide;
  wide.Register(kLabel7, Record(), true);
  host.Drop(kLabel7, {u"/k/a\U0001F600.txt"});
  EXPECT_EQ(received,
            (std::vector<std::string>{"/k/a?.txt", Utf16ToLeBytes(u"/k/a\U0001F600.txt")}));
}

TEST_F(FileDropTargetTest, LongPathsAreCutTo1023Characters) {
  FileDropTarget target;
  target.Register(kEdit, Record(), true);
  host.Drop(kEdit, {std::u16string(1500, u'x')});
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].size(), 2 * kMaxDroppedPathChars);
}

TEST_F(FileDropTargetTest, WithoutRoutineNothingIsCalled) {
  FileDropTarget target;
  target.Register(kEdit, nullptr, false);
  EXPECT_TRUE(host.Drop(kEdit, {u"/k/a.txt"}));
  EXPECT_EQ(target.WindowProc(kEdit, {u"/k/a.txt"}), 0);
  EXPECT_TRUE(received.empty());
}

TEST_F(FileDropTargetTest, TwoWindowsOnOneObjectBothDeliver) {
  FileDropTarget labels;
  labels.Register(kLabel7, Record(), false);
  labels.Register(kLabel2, Record(), false);
  EXPECT_EQ(labels.Window(), kLabel2);
  host.Drop(kLabel7, {u"/k/7.txt"});
  host.Drop(kLabel2, {u"/k/2.txt"});
  EXPECT_EQ(received, (std::vector<std::string>{"/k/7.txt", "/k/2.txt"}));
}

TEST_F(FileDropTargetTest, UnregisterAndReleaseMakeEveryWindowRefuseDrops) {
  {
    FileDropTarget labels;
    labels.Register(kLabel7, Record(), false);
    labels.Register(kLabel2, Record(), false);
    FileDropTarget edit;
    edit.Register(kEdit, Record(), false);
    edit.Unregister();
    EXPECT_FALSE(host.Drop(kEdit, {u"/k/a.txt"}));
    EXPECT_FALSE(edit.HasRoutine());
    EXPECT_EQ(edit.Window(), kEdit);
    EXPECT_TRUE(host.Drop(kLabel7, {u"/k/a.txt"}));
  }
  // The released object can no longer be reached from any window.
  EXPECT_TRUE(host.handlers.empty());
}

}  // namespace
