#pragma once
// The "FileVersion" text of an executable's version resource, read through
// the version lookups of platform/pe_version_info.h in the order the Windows
// version functions would be called. Any thread.

#include <string>

// The "FileVersion" text (code page 936, at most 260 bytes) of the file at
// `path` (code page 936), looked up under the first translation of its
// version resource; empty on failure, with `error` naming the step that
// failed:
//   no version resource: "GetFileVersionInfoSize（获取信息长度）失败"
//   a damaged resource:  "GetFileVersionInfo（获取信息）失败"
//   no translation:      "VerQueryValue（查询Version）失败"
// A missing "FileVersion" gives the empty text and leaves `error` empty.
std::string ReadFileVersionText(const std::string& path, std::string& error);
