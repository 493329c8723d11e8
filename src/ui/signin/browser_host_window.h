#pragma once
// A window that gets a browser view after it is shown. Qt draws a browser
// view through the GPU, and a window first made without such a child has its
// native window replaced the moment one arrives: the new one is no longer the
// modal window (the windows behind it take input again), and when the view
// arrives inside an activation notice Qt goes on with the native window it has
// just freed and crashes. A window prepared here holds a hidden GPU-drawn
// child from the start, so it is made GPU-drawn and keeps its native window.
// Call it before the window is first shown. User-interface thread only.

class QWidget;

void PrepareBrowserHostWindow(QWidget& window);
