#pragma once
// The two text conversions at the SQLite edge. SQLite speaks UTF-8; the rest of
// the program speaks code page 936. Both wrappers (SqliteDatabase and
// SqliteStatement) convert every text argument and result through these.
//
// Characters code page 936 cannot hold come out as one "?" each (the rule of the
// conversion layer). A conversion that yields nothing gives the empty text.
// Thread-safe.

#include <string>
#include <string_view>

#include "platform/code_page_codec.h"

// Text in `sourceCodePage` (default 936) to UTF-8.
std::string CodePage936ToUtf8(std::string_view text, unsigned sourceCodePage = kCodePageLocal);

// Text in `sourceCodePage` (default UTF-8) to code page 936.
std::string Utf8ToCodePage936(std::string_view text, unsigned sourceCodePage = kCodePageUtf8);

// A text argument on its way into SQLite: converted to UTF-8 unless the
// caller says it already is (`utf8`).
std::string ToSqliteText(const std::string& text, bool utf8);
// A text SQLite hands back: converted to code page 936 unless `raw`; a null
// pointer gives the empty text.
std::string FromSqliteText(const char* text, bool raw);
