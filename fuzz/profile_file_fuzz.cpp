// The settings layer: parts are a file, a section, a key and a value. The
// file is read whole; a write it accepts reads back as written (the value
// trimmed and unquoted as every read does), in the profile and in the file
// saved and loaded again, which keeps every other byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/private_profile.h"
#include "support/fuzz_support.h"

namespace {

std::string Trimmed(std::string text) {
  const char* blanks = " \t\v\f";
  const size_t first = text.find_first_not_of(blanks);
  text.erase(0, first == std::string::npos ? text.size() : first);
  text.erase(text.find_last_not_of(blanks) + 1);
  return text;
}

std::string AsRead(std::string value) {
  value = Trimmed(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  const std::vector<std::string> parts = SplitFuzzInput(data, size, 4);
  WriteFuzzFile("set.ini", parts[0]);
  const std::string path = FuzzFilePath("set.ini");
  ProfileFile file;
  if (!file.Load(path))
    return 0;
  FuzzCheckEqual("a loaded file keeps its bytes", parts[0], file.Bytes());
  file.Read("单选框", "a", "-");
  if (!file.Write(parts[1], parts[2], parts[3]))
    return 0;
  // Names are written trimmed; reading takes them as given.
  const std::string section = Trimmed(parts[1]);
  const std::string key = Trimmed(parts[2]);
  FuzzCheckEqual("a written value reads back", AsRead(parts[3]), file.Read(section, key));
  if (!file.Save(path))
    return 0;
  ProfileFile loaded;
  loaded.Load(path);
  FuzzCheckEqual("the saved file loads as it was", file.Bytes(), loaded.Bytes());
  FuzzCheckEqual("a saved value reads back", AsRead(parts[3]), loaded.Read(section, key));
  return 0;
}
