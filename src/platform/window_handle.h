#pragma once
// An opaque handle of one window or control of the user interface, as the
// program's routines pass windows around; 0 (or a negative value) is no window.
// The Qt side maps handles to widgets (platform/qt/qt_window_handle.h).

#include <cstdint>

using WindowHandle = std::intptr_t;
