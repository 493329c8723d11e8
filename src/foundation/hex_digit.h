#pragma once
// The value of one hexadecimal digit, for every decoder that reads escapes
// (\uXXXX, \xXX, %uXXXX, %XX) in UTF-16 text or in bytes.

// 0-15 for 0-9, a-f and A-F; -1 for any other character.
constexpr int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

// The same for a byte (a byte of 0x80 or above is no digit).
constexpr int HexDigitValue(char c) {
  return HexDigitValue(static_cast<char16_t>(static_cast<unsigned char>(c)));
}
