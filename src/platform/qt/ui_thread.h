#pragma once
// The one route from any thread to the user-interface thread. Every call is
// bound to a context object: it is dropped when the context is destroyed
// before it runs (bind callbacks to the widget or window they touch, so a
// closed window drops them).

#include <QObject>

#include <functional>

// Runs `function` there, queued behind the events already waiting. Never
// blocks the caller.
void RunOnUiThread(QObject* context, std::function<void()> function);

// Runs `function` there and waits until it has run; runs it at once when
// called on the user-interface thread or without an application. Returns
// without running it when the context is null or destroyed first. The caller
// must not hold anything the user-interface thread may wait for.
void RunOnUiThreadAndWait(QObject* context, const std::function<void()>& function);
