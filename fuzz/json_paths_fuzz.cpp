// The path operations of a document: parts are a path, a JSON text and a
// value; the text is parsed and merged at the path of a parsed tree, and the
// path is read and written in both text forms.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/json_document.h"
#include "platform/code_page_codec.h"
#include "support/fuzz_support.h"

namespace {

std::string Wide(const std::string& text) {
  return Utf16ToLeBytes(DecodeToUtf16(text, kCodePageLocal));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = SplitFuzzInput(data, size, 3);
  const std::string& path = parts[0];
  const std::string& json = parts[1];
  const std::string& value = parts[2];
  JsonDocument doc;
  doc.Parse("{\"list\":[{\"server_filename\":\"a\",\"isdir\":1},{\"fs_id\":123}],\"errno\":0}");
  doc.ParseAt(path, json);
  doc.InsertParsed(path, json, 1, true);
  doc.InsertParsedW(Wide(path), Wide(json), 0, false);
  doc.ParseAtW(Wide(path), Wide(json), 0);
  doc.GetText(path);
  doc.GetCount(path);
  doc.GetJsonText(path, true);
  std::vector<std::string> names;
  doc.GetMemberNames(path, names);
  doc.SetString(path, value);
  doc.SetStringW(Wide(path), Wide(value));
  doc.SetInt64(path + ".n", 7);
  doc.SortMembers(path);
  JsonDocument other;
  other.Parse(json);
  doc.Swap(path, other);
  doc.AddMembersFrom(path, other);
  doc.AppendElementsFrom(path, other);
  doc.GetJsonText("");
  return 0;
}
