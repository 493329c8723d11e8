#include "foundation/locked_queue.h"

#include "support/test_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace {

TEST(LockedQueue, NewQueueIsEmptyWithOneGrowStepOfRoom) {
  LockedQueue q;
  EXPECT_EQ(q.Count(), 0);
  EXPECT_EQ(q.Capacity(), 1048576u);
  EXPECT_EQ(q.ReadOffset(), 0u);
  EXPECT_EQ(q.WriteOffset(), 0u);
  std::string out = "stale";
  EXPECT_FALSE(q.PopText(out));
  EXPECT_EQ(out, "");
  std::int32_t n = 5;
  EXPECT_FALSE(q.PopInt(n));
  EXPECT_EQ(n, 0);
}

TEST(LockedQueue, ItemsAreLengthPrefixedAndComeOutInOrder) {
  LockedQueue q;
  ASSERT_TRUE(q.PushText("a"));
  ASSERT_TRUE(q.PushText("bc"));
  ASSERT_TRUE(q.PushBytes(Bytes({0, 'x', 0})));
  ASSERT_TRUE(q.PushText(""));
  ASSERT_TRUE(q.PushInt(7));
  EXPECT_EQ(q.BufferBytes(), Bytes({1, 0,   0, 0, 'a', 2, 0, 0, 0, 'b', 'c', 3, 0, 0, 0,
                                    0, 'x', 0, 0, 0,   0, 0, 4, 0, 0,   0,   7, 0, 0, 0}));
  EXPECT_EQ(q.Count(), 5);
  std::string out;
  ASSERT_TRUE(q.PopText(out));
  EXPECT_EQ(out, "a");
  ASSERT_TRUE(q.PopText(out));
  EXPECT_EQ(out, "bc");
  ASSERT_TRUE(q.PopBytes(out));
  EXPECT_EQ(out, Bytes({0, 'x', 0}));
  out = "stale";
  ASSERT_TRUE(q.PopText(out)) << "an empty item is still an item";
  EXPECT_EQ(out, "");
  std::int32_t n = 0;
  ASSERT_TRUE(q.PopInt(n));
  EXPECT_EQ(n, 7);
  EXPECT_FALSE(q.PopText(out));
}

TEST(LockedQueue, UniquePushRefusesAnItemAlreadyQueued) {
  struct Row {
    const char* name;
    std::function<bool(LockedQueue&, bool)> push;
    std::function<bool(LockedQueue&, bool)> other;
  } rows[] = {
      {"text", [](LockedQueue& q, bool u) { return q.PushText("abc", u); },
       [](LockedQueue& q, bool u) { return q.PushText("ABC", u); }},
      {"bytes with zeros",
       [](LockedQueue& q, bool u) {
         return q.PushBytes(Bytes({0, 1}), u);
       },
       [](LockedQueue& q, bool u) {
         return q.PushBytes(Bytes({0, 1, 0}), u);
       }},
      {"integer", [](LockedQueue& q, bool u) { return q.PushInt(-3, u); },
       [](LockedQueue& q, bool u) { return q.PushInt(3, u); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LockedQueue q;
    q.PushText("-|||||-");  // an unrelated item before
    EXPECT_TRUE(row.push(q, true));
    EXPECT_FALSE(row.push(q, true));
    EXPECT_TRUE(row.other(q, true)) << "a different item is queued";
    EXPECT_TRUE(row.push(q, false)) << "without the flag duplicates are queued";
    EXPECT_EQ(q.Count(), 4);
  }
}

TEST(LockedQueue, UniqueIntegerIgnoresLongerItemsThatStartWithItsBytes) {
  LockedQueue q;
  q.PushText(Bytes({7, 0, 0, 0, 9, 9, 9, 9}));
  EXPECT_TRUE(q.PushInt(7, true));
}

TEST(LockedQueue, GrowsWhenFullAndCompactsPastTheGrowStep) {
  LockedQueue q;
  q.SetGrowStep(100);
  EXPECT_EQ(q.GrowStep(), 1024u);
  q.SetGrowStep();
  EXPECT_EQ(q.GrowStep(), 1048576u);
  q.SetGrowStep(1024);
  EXPECT_EQ(q.Capacity(), 1048576u) << "setting the step does not resize";

  const std::string item(96, 'q');  // 100 bytes per item with its length
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(q.PushText(item + std::to_string(i % 10)));
  std::string out;
  for (int i = 0; i < 10; ++i)
    q.PopText(out);
  EXPECT_EQ(q.ReadOffset(), 1010u);
  q.PopText(out);  // the read offset passes 1024: compact and shrink
  EXPECT_EQ(out, item + "0");
  EXPECT_EQ(q.ReadOffset(), 0u);
  EXPECT_EQ(q.WriteOffset(), 9u * 101);
  EXPECT_EQ(q.Capacity(), 9u * 101 + 1024);

  // Fill beyond the capacity: the buffer grows and keeps every item in order.
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(q.PushText(item + std::to_string(i % 10)));
  EXPECT_EQ(q.Count(), 39);
  for (int i = 1; i < 10; ++i) {
    ASSERT_TRUE(q.PopText(out));
    EXPECT_EQ(out, item + std::to_string(i));
  }
  for (int i = 0; i < 30; ++i) {
    ASSERT_TRUE(q.PopText(out));
    EXPECT_EQ(out, item + std::to_string(i % 10));
  }
}

TEST(LockedQueue, ClearEmptiesAndShrinksOnlyWhenItHoldsItems) {
  LockedQueue q;
  q.SetGrowStep(2048);
  q.Clear();
  EXPECT_EQ(q.Capacity(), 1048576u) << "an empty queue is left alone";
  q.PushText("x");
  q.Clear();
  EXPECT_EQ(q.Count(), 0);
  EXPECT_EQ(q.WriteOffset(), 0u);
  EXPECT_EQ(q.Capacity(), 2048u);
  std::string out;
  EXPECT_FALSE(q.PopText(out));
}

TEST(LockedQueue, CopyHasItsOwnItems) {
  LockedQueue q;
  q.PushText("a");
  LockedQueue copy(q);
  std::string out;
  ASSERT_TRUE(copy.PopText(out));
  EXPECT_EQ(out, "a");
  EXPECT_EQ(q.Count(), 1);
  q.PushText("b");
  EXPECT_EQ(copy.Count(), 0);
}

TEST(LockedQueue, ManyProducersAndConsumersLoseAndDuplicateNothing) {
  LockedQueue q;
  q.SetGrowStep(1024);  // force frequent growth and compaction
  constexpr int kProducers = 4, kConsumers = 4, kPerProducer = 5000;
  std::atomic<int> producing{kProducers};
  std::vector<std::vector<std::string>> got(kConsumers);
  std::vector<std::thread> threads;
  for (int p = 0; p < kProducers; ++p) {
    threads.emplace_back([&, p] {
      for (int i = 0; i < kPerProducer; ++i)
        while (!q.PushText(std::to_string(p) + "-|||||-" + std::to_string(i))) {
        }
      --producing;
    });
  }
  for (int c = 0; c < kConsumers; ++c) {
    threads.emplace_back([&, c] {
      std::string out;
      for (;;) {
        if (q.PopText(out))
          got[c].push_back(out);
        else if (producing == 0 && q.Count() == 0)
          break;
      }
    });
  }
  for (auto& t : threads)
    t.join();
  std::vector<std::string> all;
  for (auto& g : got)
    all.insert(all.end(), g.begin(), g.end());
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kProducers * kPerProducer));
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "an item came out twice";
  // Each producer's items come out in the order it pushed them.
  for (auto& g : got) {
    std::vector<int> last(kProducers, -1);
    for (const std::string& s : g) {
      const int p = s[0] - '0';
      const int i = std::stoi(s.substr(s.rfind('-') + 1));
      EXPECT_GT(i, last[p]);
      last[p] = i;
    }
  }
}

}  // namespace
