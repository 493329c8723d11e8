// Writing a JSON tree as text. The walk recurses once per level, which the
// tree's depth bound keeps within kMaxJsonDepth frames.

#include "data/json_writer.h"

#include "data/json_tree_node.h"

namespace {

void AppendTabs(std::u16string& out, int32_t count) {
  out.append(static_cast<size_t>(count), u'\t');
}

bool EscapeUnit(char16_t c, std::u16string& out) {
  switch (c) {
    case u'\\':
      out += u"\\\\";
      return true;
    case u'"':
      out += u"\\\"";
      return true;
    case u'\b':
      out += u"\\b";
      return true;
    case u'\t':
      out += u"\\t";
      return true;
    case u'\n':
      out += u"\\n";
      return true;
    case u'\f':
      out += u"\\f";
      return true;
    case u'\r':
      out += u"\\r";
      return true;
    default:
      return false;
  }
}

void WriteObject(const JsonTreeNode* node, std::u16string& out, bool pretty, int32_t depth,
                 bool escape) {
  out += u'{';
  if (pretty)
    out += u"\r\n";
  const int32_t inner = depth + 1;
  const auto& order = node->members->order;
  for (size_t k = 0; k < order.size(); ++k) {
    const JsonTreeNode* member = order[k];
    if (pretty)
      AppendTabs(out, inner);
    out += u'"';
    if (escape)
      out += EscapeJsonKey(member->key.View());
    else
      out += member->key.View();
    out += u"\":";
    WriteJsonNode(member, out, pretty, inner, escape);
    if (k + 1 < order.size())
      out += u',';
    if (pretty)
      out += u"\r\n";
  }
  if (pretty)
    AppendTabs(out, depth);
  out += u'}';
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// UTF-8 has no form for a surrogate that is not half of a pair: converted, it
// would become U+FFFD, so two keys "\udc00" and "\udc01" would both come out
// as one key. Written as its \u escape it reads back as the same unit. Only
// string contents can hold one (every other character the writer puts out is
// ASCII), so the whole text is scanned; a text without one is left untouched.
void EscapeLoneSurrogates(std::u16string& units) {
  const auto lone = [&](size_t i) {
    const char16_t c = units[i];
    if (IsHighSurrogate(c))
      return i + 1 >= units.size() || !IsLowSurrogate(units[i + 1]);
    if (IsLowSurrogate(c))
      return i == 0 || !IsHighSurrogate(units[i - 1]);
    return false;
  };
  size_t first = 0;
  while (first < units.size() && !lone(first))
    first += IsHighSurrogate(units[first]) ? 2 : 1;
  if (first >= units.size())
    return;
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string out(units, 0, first);
  for (size_t i = first; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (!lone(i)) {
      out += c;
      continue;
    }
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
      out += kHex[(c >> shift) & 0xF];
  }
  units = std::move(out);
}

}  // namespace

void WriteJsonNode(const JsonTreeNode* node, std::u16string& out, bool pretty, int32_t depth,
                   bool escape) {
  if (!node)
    return;
  switch (node->type) {
    case JsonNodeType::Null:
      out += u"null";
      break;
    case JsonNodeType::Bool:
      out += node->value.b ? u"true" : u"false";
      break;
    case JsonNodeType::Double:
    case JsonNodeType::Int64:
      out += NodeLiteral(node);
      break;
    case JsonNodeType::String:
      out += u'"';
      if (escape)
        EscapeJsonString(NodeText(node), out);
      else
        out += NodeText(node);
      out += u'"';
      break;
    case JsonNodeType::Array: {
      out += u'[';
      const auto& list = *node->elements;
      for (size_t k = 0; k < list.size(); ++k) {
        if (k > 0)
          out += u',';
        WriteJsonNode(list[k], out, pretty, depth + 1, escape);
      }
      out += u']';
      break;
    }
    case JsonNodeType::Object:
      WriteObject(node, out, pretty, depth, escape);
      break;
  }
}

std::u16string NodeToJsonUtf16(const JsonTreeNode* node, bool pretty, bool escape,
                               int32_t initialChars) {
  std::u16string out;
  if (!node)
    return out;
  // The starting room is a hint; a caller's huge number must not reserve more
  // than a large listing needs.
  constexpr int32_t kMaxInitialChars = 1 << 20;
  const int32_t room = initialChars > 0 ? initialChars : kJsonDefaultInitialChars;
  out.reserve(static_cast<size_t>(room < kMaxInitialChars ? room : kMaxInitialChars));
  WriteJsonNode(node, out, pretty, 0, escape);
  return out;
}

std::string NodeToJsonText(const JsonTreeNode* node, bool pretty, bool escape,
                           int32_t initialChars) {
  return JsonUtf16ToText(NodeToJsonUtf16(node, pretty, escape, initialChars), 936);
}

std::string NodeToJsonUtf8(const JsonTreeNode* node, bool pretty, bool escape,
                           int32_t initialChars) {
  std::u16string units = NodeToJsonUtf16(node, pretty, escape, initialChars);
  if (escape)
    EscapeLoneSurrogates(units);
  return JsonUtf16ToText(units, 65001);
}

void EscapeJsonString(std::u16string_view text, std::u16string& out) {
  out.reserve(out.size() + text.size() * 2);
  for (const char16_t c : text) {
    if (!EscapeUnit(c, out))
      out += c;
  }
}

std::u16string EscapeJsonKey(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (const char16_t c : text) {
    if (c == u'/')
      out += u"\\/";
    else if (!EscapeUnit(c, out))
      out += c;
  }
  return out;
}
