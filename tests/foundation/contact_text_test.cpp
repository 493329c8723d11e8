// Reading the contact text from "联系方式.txt".

#include "foundation/contact_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "foundation/file_system_path.h"
#include "support/scratch_folder.h"

namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

struct ContactRow {
  const char* name;
  std::string fileBytes;
  std::string expected;  // code page 936
};

TEST(ContactTextTest, FileContentsBecomeTheContactText) {
  const ContactRow rows[] = {
      {"UTF-8 lines with blank lines between: one CR LF joins them",
       Utf8(u8"客服：张三\r\n\r\n   \r\n电话：800066888\r\n"), "客服：张三\r\n电话：800066888"},
      {"UTF-8 with LF line breaks", Utf8(u8"客服：张三\n\n电话：1\n"), "客服：张三\r\n电话：1"},
      {"UTF-8 byte-order mark is no text", Utf8(u8"\uFEFF联系我们"), "联系我们"},
      {"code page 936 text ends at a zero byte", std::string("联系\0后面", 10), "联系"},
      {"empty file: the built-in line", "", kBuiltInContactLine},
      {"only blank lines: the built-in line", "\r\n  \r\n\r\n", kBuiltInContactLine},
  };
  for (const ContactRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    std::ofstream(folder.Utf8("contact.txt"), std::ios::binary) << row.fileBytes;
    EXPECT_EQ(ReadContactText(TextFromFileSystemPath(folder.Utf8("contact.txt"))), row.expected);
  }
}

TEST(ContactTextTest, AMissingFileGivesTheBuiltInLine) {
  ScratchFolder folder;
  EXPECT_EQ(ReadContactText(TextFromFileSystemPath(folder.Utf8("none.txt"))), kBuiltInContactLine);
}

TEST(ContactTextTest, TheBuiltInLineHoldsTheServiceNumber) {
  EXPECT_TRUE(HoldsBuiltInServiceNumber(kBuiltInContactLine));
  EXPECT_FALSE(HoldsBuiltInServiceNumber("客服电话：12345"));
}

}  // namespace
