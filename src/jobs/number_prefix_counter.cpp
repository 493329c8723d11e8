#include "jobs/number_prefix_counter.h"

NumberPrefixCounter g_numberPrefixCounter;

namespace {

constexpr std::string_view kDefaultStart = "000";

}  // namespace

std::string StepNumberPrefix(std::string_view counter) {
  if (counter.empty())
    counter = kDefaultStart;
  std::size_t digits = 0;
  while (digits < counter.size() && counter[digits] >= '0' && counter[digits] <= '9')
    ++digits;
  std::string number(counter.substr(0, digits));
  const std::size_t firstNonZero = number.find_first_not_of('0');
  number.erase(0, firstNonZero == std::string::npos ? number.size() : firstNonZero);
  // Add one to the decimal text, from the last digit.
  std::size_t i = number.size();
  while (i > 0 && number[i - 1] == '9')
    number[--i] = '0';
  if (i == 0)
    number.insert(number.begin(), '1');
  else
    ++number[i - 1];
  if (number.size() < counter.size())
    number.insert(0, counter.size() - number.size(), '0');
  return number;
}

std::string NumberPrefixCounter::Text() const {
  std::lock_guard lock(m_mutex);
  return m_text;
}

void NumberPrefixCounter::Reset(std::string_view text) {
  std::lock_guard lock(m_mutex);
  m_text.assign(text);
}

std::string NumberPrefixCounter::Next(std::string_view startValue, bool restart) {
  std::lock_guard lock(m_mutex);
  if (m_text.empty() || restart)
    m_text.assign(startValue.empty() ? kDefaultStart : startValue);
  m_text = StepNumberPrefix(m_text);
  return m_text;
}
