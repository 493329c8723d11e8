#pragma once
// The emulator's JSON: a writer for the service's compact replies (no blanks,
// every non-ASCII character as a lower-case \uXXXX escape, surrogate pairs
// beyond the BMP) and a small reader for the JSON that requests carry in their
// form fields. Texts are UTF-8 on both sides.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// `text` as a quoted JSON string. Invalid UTF-8 bytes become \ufffd.
std::string JsonQuote(std::string_view text);

// A JSON text with every \u escape of a non-ASCII character (surrogate pairs
// joined) written as raw UTF-8; other escapes and all else stay as they are.
std::string RawUtf8Escapes(std::string_view json);

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::string text;  // a string's value; a number's literal text
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  const JsonValue* Member(std::string_view name) const;
  // A number member read as int64, or nullopt.
  std::optional<int64_t> Int(std::string_view name) const;
  // A string member, or nullopt.
  std::optional<std::string> String(std::string_view name) const;
};

// Parses a whole JSON text (nesting capped at 32 levels). Nullopt on any error.
std::optional<JsonValue> ParseJson(std::string_view text);
