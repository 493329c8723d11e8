#pragma once
// The value of one hexadecimal digit, for the decoders that read escapes in
// UTF-16 text (\uXXXX, \xXX, %uXXXX, %XX).

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
