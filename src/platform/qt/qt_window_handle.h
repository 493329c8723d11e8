#pragma once
// WindowHandle <-> QWidget. A handle is the widget's address; WidgetOf answers
// null for a widget that was destroyed meanwhile (or never handed out), so a
// stale handle from a worker can never reach freed memory. Any thread;
// widgets themselves are used on the user-interface thread only.

#include <QString>
#include <functional>
#include <string>

#include "platform/window_handle.h"

class QWidget;

WindowHandle WindowHandleOf(QWidget* widget);
QWidget* WidgetOf(WindowHandle handle);

// Code page 936 text <-> QString, through the conversion layer.
QString QStringFromCp936(const std::string& text);
std::string Cp936FromQString(const QString& text);
std::u16string U16FromQString(const QString& text);
QString QStringFromU16(const std::u16string& text);

// For callers without an object of their own: the route of ui_thread.h bound
// to the application object. RunOnUiThreadAndWait waits for `work`;
// PostToUiThread queues it (both run it at once on the user-interface thread).
void RunOnUiThreadAndWait(const std::function<void()>& work);
void PostToUiThread(std::function<void()> work);
