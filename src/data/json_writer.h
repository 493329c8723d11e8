#pragma once
// The JSON writer of the native tree: compact, or laid out with CR LF after
// each object member and one tab per level (arrays stay on one line), with or
// without escaping. Numbers are written as the literal their node carries, so
// a parsed 1.50 or a 19-digit fs_id comes out exactly as it came in.

#include <cstdint>
#include <string>

struct JsonTreeNode;

inline constexpr int32_t kJsonDefaultInitialChars = 1024;

// Appends the JSON text of a node. depth is the level of the node (0 for the
// one being written).
void WriteJsonNode(const JsonTreeNode* node, std::u16string& out, bool pretty, int32_t depth,
                   bool escape);

// The JSON text of a node; empty when there is no node. initialChars is the
// buffer's starting room (kJsonDefaultInitialChars when not above 0).
std::u16string NodeToJsonUtf16(const JsonTreeNode* node, bool pretty, bool escape,
                               int32_t initialChars);
// The same in code page 936 (a character the code page lacks becomes "?").
std::string NodeToJsonText(const JsonTreeNode* node, bool pretty, bool escape,
                           int32_t initialChars);
// The same in UTF-8; loses nothing.
std::string NodeToJsonUtf8(const JsonTreeNode* node, bool pretty, bool escape,
                           int32_t initialChars);

// Escapes a string value: backslash, double quote, \b \t \n \f \r. Every other
// character, the slash and other control characters included, stays as it is.
void EscapeJsonString(std::u16string_view text, std::u16string& out);
// Escapes a member name: as EscapeJsonString, and the slash as \/.
std::u16string EscapeJsonKey(std::u16string_view text);
