#pragma once
// Small helpers shared by the widget tests.

#include <QCoreApplication>
#include <QString>
#include <ostream>
#include <string>

#include "ui/qt_text.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

inline QString Q(const char16_t* text) {
  return QString::fromUtf16(text);
}

// The code page 936 form of a UTF-16 literal, as the store names controls.
inline std::string Cp(const char16_t* text) {
  return Cp936FromWidgetText(Q(text));
}

// Runs the user-interface thread's queued calls until `done` holds or about
// a second of polling has passed; returns whether it holds.
template <typename Done>
bool ProcessEventsUntil(Done done) {
  for (int i = 0; i < 1000 && !done(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  }
  return done();
}
