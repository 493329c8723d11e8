#pragma once
// The running number of the number-prefix rename rule.
//
// The rename task empties g_numberPrefixCounter at each start; every rename
// that asks the rules for a number without bringing one of its own steps it.
// The rename task's thread, the traversal and the preview on the user-interface
// thread may step it at the same time, so it is read and stepped under its own
// lock: each caller gets a number of its own.

#include <mutex>
#include <string>
#include <string_view>

// The next number after `counter`. An empty counter counts as "000". The width
// is the counter's length in bytes; the value is the number the counter begins
// with (an optional sign and decimal digits; 0 when it begins with none) plus
// one, padded with "0" up to the width and never cut: "9" gives "10", "0099"
// gives "0100", "999" gives "1000", "abc" gives "001", "-05" gives "-04" (the
// zeros follow the sign). Digits of any count are stepped exactly (no
// overflow). Any thread.
std::string StepNumberPrefix(std::string_view counter);

class NumberPrefixCounter {
 public:
  NumberPrefixCounter() = default;
  NumberPrefixCounter(const NumberPrefixCounter&) = delete;
  NumberPrefixCounter& operator=(const NumberPrefixCounter&) = delete;

  // The last number given out; empty after Reset.
  std::string Text() const;

  // Sets the counter (the rename task empties it at each start).
  void Reset(std::string_view text = {});

  // One step, under the lock: an empty counter, or any counter when `restart`
  // is set, starts again from `startValue` ("000" when that is empty); then it
  // is stepped with StepNumberPrefix and the new number is returned. Any thread.
  std::string Next(std::string_view startValue, bool restart);

 private:
  mutable std::mutex m_mutex;
  std::string m_text;
};

// The program-wide counter of the rename rules.
extern NumberPrefixCounter g_numberPrefixCounter;
