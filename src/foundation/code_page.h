#pragma once
// The program-wide code page of local text and the version of the running
// system, fixed once at start-up by InitUtilityModule and only read afterwards.

#include <cstdint>

// The code page of every text inside the program. Always 936, whatever the
// system's own settings; it already holds 936 before InitUtilityModule runs.
extern int32_t g_codePage;

// The running system's version as major * 256 + minor (one byte each); 0 when
// it could not be read.
extern int32_t g_osVersion;

// The module initialiser: sets g_codePage to 936, then ReadOsVersion, then
// NoOpInit. Runs once on the UI thread before any window opens.
void InitUtilityModule();

// Stores the version from QueryOsVersionFromPeb into g_osVersion, packed with
// PackOsVersion; leaves it 0 when the query fails.
void ReadOsVersion();

// Reads the running system's major and minor version and build number.
// Returns false (outputs untouched) when they cannot be read.
bool QueryOsVersionFromPeb(int32_t& major, int32_t& minor, uint16_t& build);

// Major in the high byte, minor in the low byte of a 16-bit value.
int32_t PackOsVersion(int32_t major, int32_t minor);

// An initialiser step with nothing to do; kept so the start-up order stays
// the documented one.
void NoOpInit();
