#pragma once
// The one route from any thread to the user-interface thread: runs a function
// there, queued behind the events already waiting. The call is dropped when
// context is destroyed before it runs (bind callbacks to the widget or window
// they touch, so a closed window drops them). Never blocks the caller.

#include <QObject>

#include <functional>

void RunOnUiThread(QObject* context, std::function<void()> function);
