#include "foundation/random_values.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace {

std::uint32_t TimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return static_cast<std::uint32_t>(__rdtsc());
#else
  return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

// The installed source; read on every draw, so kept behind an atomic pointer.
std::atomic<const RandomSeedSource*> s_seedSource{nullptr};

std::uint32_t NextSeed() {
  const RandomSeedSource* source = s_seedSource.load(std::memory_order_acquire);
  return source ? (*source)() : TimeStampCounter();
}

}  // namespace

void InstallRandomSeedSource(RandomSeedSource source) {
  // Earlier sources are kept alive: a thread may still be calling one.
  static std::mutex s_mutex;
  static std::vector<std::unique_ptr<RandomSeedSource>> s_sources;
  std::lock_guard lock(s_mutex);
  if (!source) {
    s_seedSource.store(nullptr, std::memory_order_release);
    return;
  }
  s_sources.push_back(std::make_unique<RandomSeedSource>(std::move(source)));
  s_seedSource.store(s_sources.back().get(), std::memory_order_release);
}

int RandomInRange(int low, int high) {
  std::uint32_t x = NextSeed();
  x = x * 214013u + 2531011u;
  const std::uint32_t r = (x >> 16) & 0x7FFF;
  if (high == 0)
    high = 2147483647;
  const std::uint32_t span =
      static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low) + 1u;
  // A span of 0 means all 2^32 values; r itself is then in range.
  const std::uint32_t offset = span == 0 ? r : r % span;
  return static_cast<int>(static_cast<std::uint32_t>(low) + offset);
}

std::string RandomIntegerText(int a, int b, int parity) {
  if (a == b)
    return std::to_string(a);
  const int low = a < b ? a : b;
  const int high = a < b ? b : a;
  int v = RandomInRange(low, high);
  const bool odd = v % 2 != 0;
  if ((parity == 1 && !odd) || (parity == 2 && odd))
    v = v == high ? v - 1 : v + 1;  // stays within the range
  return std::to_string(v);
}

std::string RandomDigits(int count, int kind) {
  static constexpr char kOdd[] = "13579";
  static constexpr char kEven[] = "02468";
  std::string digits;
  for (int i = 0; i < count; ++i) {
    if (kind == 0) {
      digits += static_cast<char>('0' + RandomInRange(0, 9));
    } else {
      const int k = RandomInRange(1, 5);
      digits += (kind == 1 ? kOdd : kEven)[k - 1];
    }
  }
  return digits;
}

std::string MakeRandomLogId() {
  return RandomIntegerText(1000, 9999, 0) + RandomDigits(8, 0) + RandomIntegerText(1000, 9999, 0);
}

std::string MakeRandomText(int count, int classes) {
  if ((classes & 15) == 0)
    classes = 1;
  std::string pool;
  if (classes & 1)
    pool += "0123456789";
  if (classes & 2)
    pool += "abcdefghijklmnopqrstuvwxyz";
  if (classes & 4)
    pool += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (classes & 8)
    pool += " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
  std::mt19937 generator(NextSeed());
  std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
  std::string text;
  for (int i = 0; i < count; ++i)
    text += pool[pick(generator)];
  return text;
}
