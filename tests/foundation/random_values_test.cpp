#include "foundation/random_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <deque>
#include <mutex>

namespace {

// The seed that makes the generator's step give r (0..32767).
std::uint32_t SeedGiving(std::uint32_t r) {
  std::uint32_t inverse = 214013u;  // Newton's iteration for the inverse mod 2^32
  for (int i = 0; i < 5; ++i)
    inverse *= 2u - 214013u * inverse;
  return ((r << 16) - 2531011u) * inverse;
}

// Hands out the seeds that give the listed draws, then repeats the last.
class ScriptedSeeds {
 public:
  explicit ScriptedSeeds(std::initializer_list<std::uint32_t> draws) : m_draws(draws) {
    InstallRandomSeedSource([this] {
      std::lock_guard lock(m_mutex);
      const std::uint32_t r = m_draws.front();
      if (m_draws.size() > 1)
        m_draws.pop_front();
      return SeedGiving(r);
    });
  }
  ~ScriptedSeeds() { InstallRandomSeedSource({}); }

 private:
  std::mutex m_mutex;
  std::deque<std::uint32_t> m_draws;
};

TEST(RandomInRange, MapsTheDrawIntoTheRange) {
  struct Row {
    const char* name;
    std::uint32_t draw;
    int low, high, expected;
  } rows[] = {
      {"smallest draw", 0, 0, 9, 0},
      {"draw modulo the span", 32767, 0, 9, 7},
      {"high 0 stands for the largest int", 32767, 5, 0, 32772},
      {"high 0, smallest draw", 0, 5, 0, 5},
      {"span of all 2^32 values does not divide by zero", 12345, INT_MIN, INT_MAX, INT_MIN + 12345},
      {"low above high wraps like unsigned arithmetic", 3, 10, 5, 13},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedSeeds seeds{row.draw};
    EXPECT_EQ(RandomInRange(row.low, row.high), row.expected);
  }
}

TEST(RandomInRange, StaysInRangeOnTheRealCounter) {
  for (int i = 0; i < 2000; ++i) {
    const int v = RandomInRange(0, 9);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 9);
  }
}

TEST(RandomIntegerText, ParityAdjustmentStaysInTheRange) {
  struct Row {
    const char* name;
    std::uint32_t draw;
    int a, b, parity;
    const char* expected;
  } rows[] = {
      {"equal bounds are returned as they are", 0, 7, 7, 1, "7"},
      {"even made odd upwards", 0, 1000, 9999, 1, "1001"},
      {"even at the top made odd downwards", 2, 1000, 1002, 1, "1001"},
      {"odd made even upwards", 1, 1000, 9999, 2, "1002"},
      {"odd at the top made even downwards", 2, 1001, 1003, 2, "1002"},
      {"negative odd made even", 0, -3, 5, 2, "-2"},
      {"no parity", 9, 1000, 9999, 0, "1009"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedSeeds seeds{row.draw};
    EXPECT_EQ(RandomIntegerText(row.a, row.b, row.parity), row.expected);
  }
}

TEST(RandomIntegerText, ParityHoldsOnTheRealCounter) {
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(std::stoi(RandomIntegerText(1000, 9999, 1)) % 2, 1);
    ASSERT_EQ(std::stoi(RandomIntegerText(1000, 9999, 2)) % 2, 0);
  }
}

TEST(RandomDigits, KindsDrawFromTheirDigits) {
  struct Row {
    int kind;
    const char* allowed;
  } rows[] = {{0, "0123456789"}, {1, "13579"}, {2, "02468"}, {7, "02468"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind);
    const std::string digits = RandomDigits(200, row.kind);
    ASSERT_EQ(digits.size(), 200u);
    EXPECT_EQ(digits.find_first_not_of(row.allowed), std::string::npos) << digits;
  }
  ScriptedSeeds seeds{4};  // k = 1 + 4 mod 5 = 5: the fifth digit of each kind
  EXPECT_EQ(RandomDigits(2, 1), "99");
  EXPECT_EQ(RandomDigits(2, 2), "88");
}

TEST(MakeRandomLogId, SixteenDigitsWithoutLeadingZeroInEitherOuterGroup) {
  for (int i = 0; i < 500; ++i) {
    const std::string id = MakeRandomLogId();
    ASSERT_EQ(id.size(), 16u) << id;
    ASSERT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << id;
    ASSERT_NE(id[0], '0') << id;
    ASSERT_NE(id[12], '0') << id;
  }
}

TEST(MakeRandomText, DrawsOnlyFromTheChosenClasses) {
  const std::string punctuation = " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
  ASSERT_EQ(punctuation.size(), 33u);
  struct Row {
    const char* name;
    int classes;
    std::string allowed;
  } rows[] = {
      {"no class means digits", 0, "0123456789"},
      {"letters only", 2 + 4, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
      {"punctuation", 8, punctuation},
      {"unknown bits ignored", 16 + 1, "0123456789"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = MakeRandomText(300, row.classes);
    ASSERT_EQ(text.size(), 300u);
    EXPECT_EQ(text.find_first_not_of(row.allowed), std::string::npos) << text;
  }
  const std::string all = MakeRandomText(3000, 15);
  EXPECT_NE(all.find_first_of("0123456789"), std::string::npos);
  EXPECT_NE(all.find_first_of(punctuation), std::string::npos);
  EXPECT_EQ(MakeRandomText(0, 15), "");
}

}  // namespace
