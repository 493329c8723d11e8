#pragma once
// The program's JSON files (the account list, the keyword rules): read as
// UTF-8, a byte-order mark skipped, when the file looks like UTF-8
// (DetectTextFileEncoding), else as code page 936 text. Any thread.

#include <string>

class JsonDocument;

// Parses `bytes`, the content of the file at `path`, into `document`; true
// when it parsed.
bool ParseJsonFileText(JsonDocument& document, const std::string& path, const std::string& bytes);
