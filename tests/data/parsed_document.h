#pragma once
// Test support for the document tests: a document made from JSON text that
// the test expects to parse (a parse failure fails the test, and the returned
// document is then empty).

#include <gtest/gtest.h>

#include <string>

#include "data/json_document.h"

inline JsonDocument Parsed(const std::string& text) {
  JsonDocument doc;
  EXPECT_TRUE(doc.Parse(text));
  return doc;
}
