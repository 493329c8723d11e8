#pragma once
// Small helpers shared by the widget tests.

#include <QCoreApplication>
#include <QString>
#include <ostream>
#include <string>

#include "support/process_events_until.h"
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

// Runs the user-interface thread's queued calls until `done` holds or five
// seconds have passed (a worker thread may not have posted yet); returns
// whether it holds.
template <typename Done>
bool ProcessEventsUntil(Done done) {
  return ProcessEventsUntilOrAfter(done, 5000);
}
