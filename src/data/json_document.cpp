// JsonDocument: the owner of one JSON tree, its parse entry points and its
// reset, clear and copy.

#include "data/json_document.h"

#include <utility>

#include "data/json_access_internal.h"
#include "data/json_parser.h"

JsonDocument::~JsonDocument() {
  Clear();
}

JsonDocument::JsonDocument(const JsonDocument& other) : JsonTreeAccess() {
  m_node = CloneNode(other.m_node);
  if (m_node)
    m_node->isDocumentRoot = true;
}

JsonDocument& JsonDocument::operator=(const JsonDocument& other) {
  if (this != &other) {
    JsonDocument copy(other);
    std::swap(m_node, copy.m_node);
  }
  return *this;
}

JsonDocument::JsonDocument(JsonDocument&& other) noexcept : JsonTreeAccess() {
  std::swap(m_node, other.m_node);
}

JsonDocument& JsonDocument::operator=(JsonDocument&& other) noexcept {
  if (this != &other) {
    Clear();
    std::swap(m_node, other.m_node);
  }
  return *this;
}

void JsonDocument::SetNodeHandle(JsonTreeNode* node) {
  if (node == m_node)
    return;
  // Taking a node that something else frees would free it twice.
  if (node && (node->parent || node->isDocumentRoot))
    return;
  Clear();
  m_node = node;
  if (m_node)
    m_node->isDocumentRoot = true;
}

void JsonDocument::Clear() {
  FreeNode(m_node);
  m_node = nullptr;
}

void JsonDocument::EnsureRoot() {
  if (!m_node) {
    m_node = NewObjectNode();
    m_node->isDocumentRoot = true;
  }
}

namespace {

// Hands a parse's code and position to the caller.
bool Report(int32_t result, int32_t at, int32_t* code, int32_t* position) {
  if (code)
    *code = result;
  if (position)
    *position = at;
  return result == kJsonParseOk;
}

}  // namespace

bool JsonDocument::ParseUnits(const std::u16string& units, int32_t options, int32_t* code,
                              int32_t* position) {
  EnsureRoot();
  int32_t at = 0;
  const int32_t result = ParseJsonUtf16(m_node, units, options, &at);
  return Report(result, at, code, position);
}

bool JsonDocument::ResetAndParse(const std::optional<std::string>& json, int32_t options,
                                 int32_t* code, int32_t* position) {
  Clear();
  EnsureRoot();
  return !json || ParseUnits(JsonArgFromText(*json), options, code, position);
}

bool JsonDocument::ResetAndParseW(const std::optional<std::string>& json, int32_t options,
                                  int32_t* code, int32_t* position) {
  Clear();
  EnsureRoot();
  return !json || ParseUnits(JsonArgFromW(*json), options, code, position);
}

bool JsonDocument::ParseW(const std::string& json, int32_t options, int32_t* code,
                          int32_t* position) {
  return ParseUnits(JsonArgFromW(json), options, code, position);
}

bool JsonDocument::ParseAscii(std::string_view json, int32_t options, int32_t* code,
                              int32_t* position) {
  EnsureRoot();
  int32_t at = 0;
  const int32_t result = ParseJsonAscii(m_node, json, options, &at);
  return Report(result, at, code, position);
}

bool JsonDocument::Parse(const std::string& json, int32_t options, int32_t* code,
                         int32_t* position) {
  // A reply in ASCII (\u escapes for everything else) is read as it is.
  const std::string_view text = std::string_view(json).substr(0, json.find('\0'));
  if (IsAsciiJsonText(text))
    return ParseAscii(text, options, code, position);
  return ParseUnits(JsonArgFromText(json), options, code, position);
}

bool JsonDocument::ParseUtf8(const std::string& json, int32_t options, int32_t* code,
                             int32_t* position) {
  const std::string_view text = std::string_view(json).substr(0, json.find('\0'));
  if (IsAsciiJsonText(text))
    return ParseAscii(text, options, code, position);
  return ParseUnits(JsonArgFromUtf8(json), options, code, position);
}
