#include "foundation/contact_text.h"

#include <fstream>
#include <iterator>

#include "foundation/blank_lines.h"
#include "foundation/file_system_path.h"
#include "foundation/text_encodings.h"
#include "foundation/text_file_encoding.h"
#include "foundation/text_search.h"
#include "platform/control_store.h"

std::string g_contactText;

std::string ContactTextFromBytes(std::string_view bytes, bool isUtf8) {
  std::string text;
  if (isUtf8) {
    text = DecodeUtf8Bytes(SkipUtf8ByteOrderMark(bytes));
  } else {
    text = std::string(bytes.substr(0, bytes.find('\0')));
  }
  // A file saved on this system may break its lines with LF alone; blank-line
  // removal works on CR LF lines.
  text = RemoveBlankLines(NormalizeToCrLf(text));
  return text.empty() ? std::string(kBuiltInContactLine) : text;
}

std::string ReadContactText(const std::string& path) {
  std::ifstream file(FileSystemPathFromText(path), std::ios::binary);
  if (!file) {
    return kBuiltInContactLine;
  }
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ContactTextFromBytes(bytes, DetectTextFileEncoding(path) == kTextFileUtf8);
}

bool HoldsBuiltInServiceNumber(std::string_view text) {
  return FindText(text, kBuiltInServiceNumber) != -1;
}
