#pragma once
// The item outcomes that a file operation's reply names: the entries of a
// task's `list` (the item's source under "from" or "path", an `error_code`
// when it failed) or, without such a list, the `info` entries of a
// synchronous reply (a non-zero `errno` when it failed). A failed task lists
// only the items that failed: an item no entry names was done, and callers
// book it so. Pure; any thread.

#include <string>
#include <vector>

#include "data/json_document.h"

struct NamedOutcome {
  std::string key;    // the source path's UTF-16 code units, for exact matching
  std::string from;   // the source path as the logs show it
  std::string to;     // the text after the last "/" of "to"; empty when none is given
  std::string error;  // empty for an item that was done
};

// The entries in reply order; empty when the reply is not JSON or names none.
std::vector<NamedOutcome> ReadNamedOutcomes(const std::string& reply);

// The text at a JSON path as UTF-16 code units (no terminator).
std::string JsonTextUnits(const JsonDocument& document, const std::string& path);
