#pragma once
// Random values and request ids. The service requests carry a `dp-logid`, 16
// random decimal digits made fresh for every request (MakeRandomLogId).
//
// RandomInRange is stateless: each call takes a seed from the seed source (the
// processor's time-stamp counter unless a test installs another), runs one
// step of a linear congruential generator on it and keeps 15 bits, so results
// never exceed low + 32767. Safe from any thread, no locks.

#include <cstdint>
#include <functional>
#include <string>

// Returns 32 bits of seed for one random draw. Must be thread-safe.
using RandomSeedSource = std::function<std::uint32_t()>;

// Installs a seed source for tests (an empty function restores the
// time-stamp counter). Install while no other thread draws.
void InstallRandomSeedSource(RandomSeedSource source);

// low + (r mod (high - low + 1)) in unsigned 32-bit arithmetic, r in 0..32767;
// a high of 0 stands for 2147483647. A span covering all 2^32 values gives
// low + r.
int RandomInRange(int low, int high);

// Decimal text of a random integer between a and b (either order); a when they
// are equal. parity 1 odd only, 2 even only, anything else any.
std::string RandomIntegerText(int a, int b, int parity = 0);

// count digits; kind 0 any digit, 1 odd digits only, any other kind even digits
// only.
std::string RandomDigits(int count, int kind = 0);

// 16 digits: four not starting with 0, eight, four not starting with 0.
std::string MakeRandomLogId();

// count characters drawn uniformly from the classes selected by classes: 1
// digits, 2 lower-case letters, 4 upper-case letters, 8 the 33 printable ASCII
// characters that are neither letters nor digits (space to "~"); digits when
// none of the four bits is set.
std::string MakeRandomText(int count, int classes = 0);
