#include "jobs/number_prefix_counter.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace {

TEST(StepNumberPrefix, KeepsTheWidthAndNeverCuts) {
  struct Row {
    const char* name;
    std::string counter;
    std::string expected;
  } rows[] = {
      {"empty counts as 000", "", "001"},
      {"single digit grows", "9", "10"},
      {"leading zeros kept", "007", "008"},
      {"carry into the padding", "0099", "0100"},
      {"longer number is not cut", "999", "1000"},
      {"no leading digits counts from 0", "abc", "001"},
      {"only the leading digits count", "12ab", "0013"},
      {"beyond 32 bits", "99999999999999999999", "100000000000000000000"},
      {"a minus sign belongs to the number", "-5", "-4"},
      {"zeros follow the minus sign", "-05", "-04"},
      {"borrow across digits", "-100", "-099"},
      {"minus one steps to zero at full width", "-1", "00"},
      {"a plus sign is read and not written", "+5", "06"},
      {"a lone sign counts from 0", "-", "1"},
      {"a sign after digits ends the number", "1-", "02"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StepNumberPrefix(row.counter), row.expected);
  }
}

TEST(NumberPrefixCounter, StartsFromTheStartValueAndRestarts) {
  NumberPrefixCounter counter;
  EXPECT_EQ(counter.Next("", false), "001");
  EXPECT_EQ(counter.Next("500", false), "002") << "the start value only counts when empty";
  EXPECT_EQ(counter.Next("500", true), "501");
  counter.Reset();
  EXPECT_EQ(counter.Text(), "");
  EXPECT_EQ(counter.Next("9", false), "10");
}

TEST(NumberPrefixCounter, ConcurrentCallersGetDistinctNumbers) {
  NumberPrefixCounter counter;
  constexpr int kThreads = 4;
  constexpr int kSteps = 500;
  std::vector<std::vector<std::string>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kSteps; ++i)
        taken[t].push_back(counter.Next("0000", false));
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  std::set<std::string> all;
  for (const auto& numbers : taken)
    all.insert(numbers.begin(), numbers.end());
  EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kSteps));
  EXPECT_EQ(counter.Text(), "2000");
}

}  // namespace
