#include "ui/qt_text.h"

#include "foundation/unicode_notation.h"
#include "platform/code_page_codec.h"

QString QtText(const char16_t* text) {
  return QString::fromUtf16(text);
}

namespace {

// A widget's text with the program's CR LF line breaks, as code units.
std::u16string ProgramUnits(const QString& text) {
  QString program = text;
  program.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  program.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return program.toStdU16String();
}

QString WidgetTextFromUnits(const std::u16string& units) {
  QString result = QString::fromStdU16String(units);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

}  // namespace

QString WidgetTextFromCp936(std::string_view text) {
  return WidgetTextFromUnits(DecodeToUtf16(text, kCodePageLocal));
}

std::string Cp936FromWidgetText(const QString& text) {
  return EncodeFromUtf16(ProgramUnits(text), kCodePageLocal);
}

QString WidgetTextFromNotation(std::string_view text) {
  return WidgetTextFromUnits(DecodeEscapesBeyondCodePage(text));
}

std::string NotationFromWidgetText(const QString& text) {
  return EscapeBeyondCodePage(Utf16ToLeBytes(ProgramUnits(text)), false);
}
