#pragma once
// The one split of a comma-separated keyword box (delete, exclude, include and
// replacement keywords, the copy job's filters). Empty entries, from a stray
// or doubled comma, never count: an empty keyword is found in every name, so
// as a delete keyword it would delete everything.
//
// Code page 936 text; "," cannot be a trail byte, so a byte split is exact.
// Any thread.

#include <string>

#include "foundation/text_arrays.h"

// The non-empty entries of `text` split at ",", in order.
TextArray KeywordEntries(const std::string& text);
