#include "ui/qt_text.h"

#include "platform/code_page_codec.h"

QString QtText(const char16_t* text) {
  return QString::fromUtf16(text);
}

QString WidgetTextFromCp936(std::string_view text) {
  const std::u16string units = DecodeToUtf16(text, kCodePageLocal);
  QString result = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

std::string Cp936FromWidgetText(const QString& text) {
  QString program = text;
  program.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  program.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  const std::u16string_view units(reinterpret_cast<const char16_t*>(program.utf16()),
                                  static_cast<size_t>(program.size()));
  return EncodeFromUtf16(units, kCodePageLocal);
}
