#pragma once
// The version resource of a PE image (a Windows executable), read without
// the Windows version functions: the program checks the version of the
// updater it hands over to, which is a Windows program.
//
// ReadPeVersionResource finds the first version resource (type 16) through
// the image's resource directory and returns its bytes (the VS_VERSIONINFO
// block). QueryVersionValue then looks a value up by path, as the version
// functions do: "\VarFileInfo\Translation" (binary) or
// "\StringFileInfo\080404B0\FileVersion" (text). Keys compare without regard
// to ASCII case.
//
// Every offset and length is checked against the data; a damaged image gives
// no resource rather than a wrong one. Paths of files are UTF-8. Any thread.

#include <cstddef>
#include <string>
#include <string_view>

// Images larger than this are not read.
inline constexpr std::size_t kMaxPeImageBytes = 256u * 1024 * 1024;

// The version resource of the image at `path`; empty when the file cannot be
// read, is no PE image or has no version resource.
std::string ReadPeVersionResource(const std::string& path);

// The same on an image in memory.
std::string FindPeVersionResource(std::string_view image);

// True when `block` holds a well-formed VS_VERSIONINFO root.
bool IsVersionBlock(std::string_view block);

// The value at `path` ("\" between the keys; the root is "\"). Binary values
// come back as their bytes; text values as their UTF-16 code units without
// the terminating zero. False when a key is missing or the block is damaged.
bool QueryVersionValue(std::string_view block, std::u16string_view path, std::string& binary,
                       std::u16string& text, bool& isText);
