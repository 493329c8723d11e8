#include "foundation/byte_size.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatByteSize, Tiers) {
  struct Row {
    const char* name;
    std::string input;
    const char* expected;
  } rows[] = {
      {"zero", "0", "0b"},
      {"below a kilobyte", "1023", "1023b"},
      {"small counts keep their text", "0012", "0012b"},
      {"empty", "", "b"},
      {"one kilobyte", "1024", "1kb"},
      {"one decimal", "1536", "1.5kb"},
      {"rounded to two decimals", "1100", "1.07kb"},
      {"just below a megabyte", "1048575", "1024kb"},
      {"one megabyte", "1048576", "1mb"},
      {"nine hundred million", "900000000", "858.31mb"},
      {"one gigabyte", "1073741824", "1gb"},
      {"just below a terabyte", "1099511627775", "1024gb"},
      {"one terabyte", "1099511627776", "1tb"},
      {"2^50 is still terabytes", "1125899906842624", "1024tb"},
      {"the tb tier ends at 1.1259e15", "1125900000000000", "1pb"},
      {"the pb tier ends at 1.1529e18", "1152900000000000000", "1eb"},
      {"largest 64-bit count", "9223372036854775807", "8eb"},
      {"19 digits beyond 64 bits", "9300000000000000000", "8.07eb"},
      {"twenty nines", "99999999999999999999", "86.74eb"},
      {"a fraction is read as its whole part", "1.5", "1.5b"},
      {"digits stop at the first other character", "2048 bytes", "2kb"},
      {"leading blanks skipped", "  4096", "4kb"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatByteSize(row.input), row.expected);
  }
}

}  // namespace
