#include "jobs/number_prefix_counter.h"

NumberPrefixCounter g_numberPrefixCounter;

namespace {

constexpr std::string_view kDefaultStart = "000";

}  // namespace

std::string StepNumberPrefix(std::string_view counter) {
  if (counter.empty())
    counter = kDefaultStart;
  // The number the counter begins with: an optional sign and the digits after it.
  std::size_t signLength = 0;
  if (counter[0] == '-' || counter[0] == '+')
    signLength = 1;
  std::size_t end = signLength;
  while (end < counter.size() && counter[end] >= '0' && counter[end] <= '9')
    ++end;
  std::string digits;
  bool negative = false;
  if (end > signLength) {
    digits.assign(counter.substr(signLength, end - signLength));
    negative = counter[0] == '-';
  }
  const std::size_t firstNonZero = digits.find_first_not_of('0');
  digits.erase(0, firstNonZero == std::string::npos ? digits.size() : firstNonZero);
  if (digits.empty())
    negative = false;  // -0 is 0
  if (negative) {
    // -n + 1 is -(n - 1): take one from the magnitude, from the last digit.
    std::size_t i = digits.size();
    while (digits[i - 1] == '0')
      digits[--i] = '9';
    --digits[i - 1];
    if (digits.size() > 1 && digits[0] == '0')
      digits.erase(0, 1);
    if (digits == "0")
      negative = false;
  } else {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9')
      digits[--i] = '0';
    if (i == 0)
      digits.insert(digits.begin(), '1');
    else
      ++digits[i - 1];
  }
  // Zeros go between a minus sign and the digits, so a negative number keeps
  // the form of a number ("-05" steps to "-04", not "0-4").
  const std::size_t width = counter.size() - (negative ? 1 : 0);
  if (digits.size() < width)
    digits.insert(0, width - digits.size(), '0');
  return negative ? "-" + digits : digits;
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
