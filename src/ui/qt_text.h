#pragma once
// Texts at the edge between the program and Qt's widgets. Inside the program a
// text is code page 936 bytes with CR LF line breaks; a widget holds a QString
// with LF line breaks. Every widget text passes through these routines.

#include <QString>
#include <string>
#include <string_view>

// A UTF-16 literal as a QString (u"..." in source).
QString QtText(const char16_t* text);

// A code page 936 text for a widget: decoded, CR LF turned into LF.
QString WidgetTextFromCp936(std::string_view text);

// A widget's text for the program: LF (and a lone CR LF pair) turned into CR LF,
// then encoded to code page 936 (a character it cannot hold becomes "?").
std::string Cp936FromWidgetText(const QString& text);

// The texts of a box that keeps a name whole (a remote path): its program
// text writes the characters code page 936 lacks in backslash-u notation
// (EscapeBeyondCodePage), and the widget shows them as the characters
// themselves; line breaks as above. Each gives back the other's text.
QString WidgetTextFromNotation(std::string_view text);
std::string NotationFromWidgetText(const QString& text);
