#include "platform/pe_version_info.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/pe_image_builder.h"
#include "support/scratch_folder.h"

namespace {

std::string FileVersionOf(const std::string& block, std::u16string_view path) {
  std::string binary;
  std::u16string text;
  bool isText = false;
  if (!QueryVersionValue(block, path, binary, text, isText) || !isText) {
    return "<none>";
  }
  return std::string(text.begin(), text.end());
}

TEST(PeVersionInfoTest, FindsTheVersionResourceOfBothImageKinds) {
  ScratchFolder folder;
  for (bool pe32Plus : {false, true}) {
    SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
    const std::string block = pe_test::VersionBlock({.fileVersion = u"1.2.3.4"});
    const std::string path = folder.Utf8("updater.exe");
    std::ofstream(path, std::ios::binary) << pe_test::PeImage(block, pe32Plus);
    const std::string found = ReadPeVersionResource(path);
    ASSERT_EQ(found, block);
    EXPECT_TRUE(IsVersionBlock(found));
    EXPECT_EQ(FileVersionOf(found, u"\\StringFileInfo\\080404B0\\FileVersion"), "1.2.3.4");
    // Keys compare without regard to case, as the version functions do.
    EXPECT_EQ(FileVersionOf(found, u"\\stringfileinfo\\080404b0\\FILEVERSION"), "1.2.3.4");
    EXPECT_EQ(FileVersionOf(found, u"\\StringFileInfo\\080404B0\\CompanyName"), "Maker");
    EXPECT_EQ(FileVersionOf(found, u"\\StringFileInfo\\040904B0\\FileVersion"), "<none>");
    std::string pair;
    std::u16string text;
    bool isText = true;
    ASSERT_TRUE(QueryVersionValue(found, u"\\VarFileInfo\\Translation", pair, text, isText));
    EXPECT_FALSE(isText);
    EXPECT_EQ(pair, std::string("\x04\x08\xB0\x04", 4));
  }
}

TEST(PeVersionInfoTest, FilesWithoutAResourceAndDamagedImagesGiveNothing) {
  ScratchFolder folder;
  const std::string path = folder.Utf8("file.exe");
  for (const std::string& content :
       {std::string("MZ quillmere updater"), std::string(), pe_test::PeImage({})}) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    EXPECT_EQ(ReadPeVersionResource(path), "");
  }
  EXPECT_EQ(ReadPeVersionResource(folder.Utf8("missing.exe")), "");

  // Every cut of a good image either still holds the whole resource or gives
  // none; nothing is read past the end.
  const std::string block = pe_test::VersionBlock({});
  const std::string image = pe_test::PeImage(block);
  for (std::size_t length = 0; length < image.size(); ++length) {
    const std::string found = FindPeVersionResource(std::string_view(image).substr(0, length));
    EXPECT_TRUE(found.empty() || found == block) << length;
  }
  // Cut version blocks are refused or answered from what is there.
  for (std::size_t length = 0; length < block.size(); ++length) {
    const std::string cut = block.substr(0, length);
    std::string binary;
    std::u16string text;
    bool isText = false;
    if (QueryVersionValue(cut, u"\\StringFileInfo\\080404B0\\FileVersion", binary, text, isText)) {
      EXPECT_TRUE(std::u16string(u"1.1.0.0").starts_with(text)) << length;
    }
  }
}

}  // namespace
