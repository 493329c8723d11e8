#pragma once
// Helpers shared by the files that implement JsonTreeAccess, JsonDocument and
// JsonNode: the conversions of the text and W forms, and the checks that keep
// copies within the tree's depth bound.

#include <cstdint>
#include <string>
#include <string_view>

#include "data/json_tree_node.h"

// A code page 936 argument (path, key, value, JSON text) up to its first NUL.
std::u16string JsonArgFromText(std::string_view text);
// A UTF-16LE byte argument up to its first NUL unit.
std::u16string JsonArgFromW(std::string_view bytes);
// A UTF-8 argument up to its first NUL.
std::u16string JsonArgFromUtf8(std::string_view text);
// UTF-16LE bytes with a two-byte terminator.
std::string JsonResultToW(std::u16string_view units);
// Code page 936 text.
std::string JsonResultToText(std::u16string_view units);

// True when a subtree may hang directly under parent without any node lying
// deeper than kMaxJsonDepth.
bool JsonChildFits(const JsonTreeNode* parent, const JsonTreeNode* child);
// True when a subtree may take the place of node.
bool JsonValueFits(const JsonTreeNode* node, const JsonTreeNode* value);

// The source's node copied whole (before the target is touched); nullptr when
// the source refers to no node.
JsonTreeNode* JsonSnapshot(const JsonTreeNode* source);
