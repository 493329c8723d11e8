// Texts whose first top-level value is followed by a second one: every pairing
// of kinds, each value closed or left open, through every parse entry of a
// document, several times over. A parse gives up the nodes of a first value
// that a second one replaces while it still makes nodes in the same memory;
// built with the address sanitizer, these tests show any use of freed memory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/json_document.h"
#include "data/json_parser.h"
#include "platform/code_page_codec.h"

namespace {

struct Outcome {
  bool ok = false;
  int32_t code = 99;
  int32_t position = 99;
  std::string written;
  bool operator==(const Outcome&) const = default;
};

std::string Utf8Of(const std::string& text) {
  return EncodeFromUtf16(DecodeToUtf16(text, kCodePageLocal), kCodePageUtf8);
}

std::string Utf16Of(const std::string& text) {
  return Utf16ToLeBytes(DecodeToUtf16(text, kCodePageLocal));
}

Outcome Written(JsonDocument& doc, bool ok, int32_t code, int32_t position,
                const std::string& path = "") {
  return {ok, code, position, doc.GetJsonText(path)};
}

// The document entries that parse a whole text into the root, each with the
// text in the form it takes; the root holds an earlier parse's tree first.
std::vector<std::pair<const char*, Outcome>> ParseThroughRootEntries(const std::string& text) {
  std::vector<std::pair<const char*, Outcome>> outcomes;
  JsonDocument doc;
  int32_t code = 99;
  int32_t position = 99;
  const auto note = [&](const char* entry, bool ok) {
    outcomes.emplace_back(entry, Written(doc, ok, code, position));
    code = position = 99;
  };
  note("code page 936", doc.Parse(text, 1, &code, &position));
  note("code page 936 again", doc.Parse(text, 1, &code, &position));
  note("UTF-8", doc.ParseUtf8(Utf8Of(text), 1, &code, &position));
  note("UTF-16", doc.ParseW(Utf16Of(text), 1, &code, &position));
  note("reset, code page 936", doc.ResetAndParse(text, 1, &code, &position));
  note("reset, UTF-16", doc.ResetAndParseW(Utf16Of(text), 1, &code, &position));
  return outcomes;
}

// The path entries, parsing into a member of a tree an earlier parse made.
std::vector<std::pair<const char*, Outcome>> ParseThroughPathEntries(const std::string& text) {
  std::vector<std::pair<const char*, Outcome>> outcomes;
  for (const bool wide : {false, true}) {
    JsonDocument doc;
    EXPECT_TRUE(doc.Parse("{\"外\":{\"层\":[1,{\"键\":\"值\"}]}}"));
    const bool ok =
        wide ? doc.ParseAtW(Utf16Of("外.层"), Utf16Of(text)) : doc.ParseAt("外.层", text);
    outcomes.emplace_back(wide ? "path, UTF-16" : "path, code page 936",
                          Outcome{ok, 0, 0, doc.GetJsonText("外.层")});
    // A merge parses the text on its own before it merges.
    const bool merged =
        wide ? doc.InsertParsedW(Utf16Of("外"), Utf16Of(text)) : doc.InsertParsed("外", text);
    outcomes.emplace_back(wide ? "merge, UTF-16" : "merge, code page 936",
                          Outcome{merged, 0, 0, ok ? "" : "-"});
  }
  return outcomes;
}

// Every entry gives what the plain code page 936 parse gives, and a tree
// parsed whole writes a text that parses to itself again.
void CheckEveryEntryAgrees(const std::string& text) {
  const auto roots = ParseThroughRootEntries(text);
  const Outcome& first = roots.front().second;
  for (const auto& [entry, outcome] : roots) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(outcome, first);
  }
  if (first.ok) {
    JsonDocument again;
    EXPECT_TRUE(again.Parse(first.written));
    EXPECT_EQ(again.GetJsonText(""), first.written);
  } else {
    EXPECT_EQ(first.written, "null");
  }
  for (const auto& [entry, outcome] : ParseThroughPathEntries(text)) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(outcome.ok, first.ok);
    if (std::string(entry).starts_with("path")) {
      EXPECT_EQ(outcome.written, first.written);
    }
  }
}

struct Kind {
  const char* name;
  const char* closed;
  const char* open;  // the same value cut short
};

// "$" stands for a text of the value, plain ASCII or Chinese, so that both the
// byte reader of ASCII text and the reader of UTF-16 units run.
const Kind kKinds[] = {
    {"array", "[1,\"$\",[2]]", "[1,\"$\",["},
    {"object", "{\"$\":{\"k\":1},\"n\":2}", "{\"$\":{"},
    {"number", "-6.25", "6e"},
    {"text", "\"$\"", "\"$"},
    {"literal", "true", "nul"},
};

std::string WithText(std::string value, const std::string& text) {
  for (size_t at = value.find('$'); at != std::string::npos; at = value.find('$'))
    value.replace(at, 1, text);
  return value;
}

TEST(JsonSecondValue, EveryPairingOfKindsThroughEveryEntry) {
  for (const char* text : {"t", "文"}) {
    for (const Kind& first : kKinds) {
      for (const Kind& second : kKinds) {
        for (const bool firstClosed : {true, false}) {
          for (const bool secondClosed : {true, false}) {
            const std::string json = WithText(firstClosed ? first.closed : first.open, text) +
                                     WithText(secondClosed ? second.closed : second.open, text);
            SCOPED_TRACE(json);
            for (int round = 0; round < 3; ++round)
              CheckEveryEntryAgrees(json);
          }
        }
      }
    }
  }
}

TEST(JsonSecondValue, WhatTheSecondValueMakes) {
  struct Row {
    const char* name;
    std::string json;
    int32_t code;
    int32_t position;
    const char* written;
  };
  const Row rows[] = {
      {"an object after an array replaces it", "[1]{\"\":1}", kJsonParseOk, 0, "{\"\":1}"},
      {"an array after an object replaces it", "{\"a\":{\"b\":1}}[2,[3]]", kJsonParseOk, 0,
       "[2,[3]]"},
      {"an object after an object adds its members", "{\"a\":1}{\"b\":2,\"a\":3}", kJsonParseOk, 0,
       "{\"a\":3,\"b\":2}"},
      {"an array after an array adds its elements", "[1][2]", kJsonParseOk, 0, "[1,2]"},
      {"an array left open after an object", "{\"\":0}[0", kJsonUnclosed, 9, "null"},
      {"an object left open after an array", "[6]{0:{", kJsonUnclosed, 8, "null"},
      {"a scalar after an array", "[1]2", kJsonBadValue, 0, "null"},
      {"a container after a scalar", "2[1]", kJsonBadValue, 0, "null"},
      {"a text after a text", "\"a\"\"b\"", kJsonParseOk, 0, "\"a\\\"\\\"b\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (int round = 0; round < 3; ++round) {
      JsonDocument doc;
      int32_t code = 99;
      int32_t position = 99;
      EXPECT_EQ(doc.Parse(row.json, 1, &code, &position), row.code == kJsonParseOk);
      EXPECT_EQ(code, row.code);
      EXPECT_EQ(position, row.position);
      EXPECT_EQ(doc.GetJsonText(""), row.written);
    }
  }
}

}  // namespace
