#include "platform/control_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>

namespace {

using Change = std::tuple<std::string, ControlProperty, ChangeOrigin>;

TEST(ControlStore, UnwrittenControlReadsAsDefaults) {
  ControlStore store;
  const ControlState s = store.State("按钮_开始改名");
  EXPECT_EQ(s.text, "");
  EXPECT_FALSE(s.checked);
  EXPECT_TRUE(s.enabled) << "an unknown start button must not look like a running job";
  EXPECT_TRUE(s.visible);
  EXPECT_EQ(s.selection, -1);
  EXPECT_TRUE(s.items.empty());
  EXPECT_FALSE(store.Has("按钮_开始改名"));
}

TEST(ControlStore, ListenersHearRealChangesWithTheirOrigin) {
  ControlStore store;
  std::vector<Change> changes;
  const int id = store.AddListener([&](const std::string& name, ControlProperty p, ChangeOrigin o) {
    changes.emplace_back(name, p, o);
  });
  store.SetEnabled("按钮_开始改名", false);
  store.SetEnabled("按钮_开始改名", false);  // no change, no notice
  store.SetChecked("选择框_当天暂停", true, ChangeOrigin::User);
  store.SetItems("组合框1", {"a", "b"});
  store.RemoveListener(id);
  store.SetText("编辑框1", "x");
  const std::vector<Change> expected = {
      {"按钮_开始改名", ControlProperty::Enabled, ChangeOrigin::Program},
      {"选择框_当天暂停", ControlProperty::Checked, ChangeOrigin::User},
      {"组合框1", ControlProperty::Items, ChangeOrigin::Program},
  };
  EXPECT_EQ(changes, expected);
  EXPECT_FALSE(store.Enabled("按钮_开始改名"));
  EXPECT_EQ(store.Items("组合框1"), (std::vector<std::string>{"a", "b"}));
}

TEST(ControlStore, ListenerMayReadTheStore) {
  ControlStore store;
  std::string seen;
  store.AddListener(
      [&](const std::string& name, ControlProperty, ChangeOrigin) { seen = store.Text(name); });
  store.SetText("编辑框2", "abc");
  EXPECT_EQ(seen, "abc");
}

TEST(ControlStore, UserEditsGetCrLfLineBreaks) {
  struct Row {
    const char* name;
    std::string typed;
    std::string stored;
    std::string forWidget;
  } rows[] = {
      {"lone LF", "a\nb\n", "a\r\nb\r\n", "a\nb\n"},
      {"CR LF kept", "a\r\nb", "a\r\nb", "a\nb"},
      {"lone CR", "a\rb", "a\r\nb", "a\nb"},
      {"mixed", "a\r\n\nb", "a\r\n\r\nb", "a\n\nb"},
      {"chinese untouched", "关键词\n词", "关键词\r\n词", "关键词\n词"},
  };
  ControlStore store;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    store.SetText("编辑框2", row.typed, ChangeOrigin::User);
    EXPECT_EQ(store.Text("编辑框2"), row.stored);
    EXPECT_EQ(CrLfToLf(row.stored), row.forWidget);
  }
  store.SetText("编辑框3", "a\nb");
  EXPECT_EQ(store.Text("编辑框3"), "a\nb") << "program writes are stored as written";
}

TEST(ControlStore, ConcurrentWritersAndReadersSeeWholeValues) {
  ControlStore store;
  std::atomic<int> notices{0};
  store.AddListener([&](const std::string&, ControlProperty, ChangeOrigin) { ++notices; });
  const std::string a(200, 'a'), b(200, 'b');
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        store.SetText("编辑框1", (i + t) % 2 ? a : b);
        const std::string seen = store.Text("编辑框1");
        if (seen != a && seen != b)
          ADD_FAILURE() << "torn text";
      }
    });
  }
  for (auto& th : threads)
    th.join();
  EXPECT_GT(notices.load(), 0);
}

}  // namespace

namespace {

// The process ends while a worker still writes controls: the program's store
// must outlive the static destructors that run at exit.
TEST(ControlStoreDeathTest, TheProgramsStoreOutlivesTheExitOfTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static std::atomic<bool> started{false};
        std::thread([] {
          for (unsigned i = 0;; ++i) {
            GetControlStore().SetText("编辑框_状态", std::to_string(i % 97));
            started = true;
          }
        }).detach();
        while (!started) {
          std::this_thread::yield();
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
