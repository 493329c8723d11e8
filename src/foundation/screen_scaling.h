#pragma once
// Screen scaling and the control outline.
//
// The program's windows are laid out for 96 DPI. ReadScreenDpi records the
// screen's logical DPI once at start-up; every window's created handler then
// brings itself and its controls from 96 DPI to it with RescaleWindowForDpi.
// The DPI is the logical one Qt reports: where Qt already scales the windows
// (a device pixel ratio above 1) it reports 96 and nothing is scaled twice;
// where only the font DPI is raised, the controls grow with the fonts.
//
// FlashWindowOutline points the user at a control by showing an outline round
// it twice; the rename job uses it on an option box whose value is missing.
// Window routines go through the installed WindowSystem
// (platform/window_system.h); waits go through the installed Desktop's clock.

#include <functional>
#include <optional>
#include <string_view>

#include "platform/window_handle.h"

// The smaller of the screen's horizontal and vertical logical DPI. Written
// once by ReadScreenDpi before any window opens; read afterwards without a
// lock. 96 until then.
extern int g_screenDpi;

// Module initialiser: stores the screen's DPI in g_screenDpi.
void ReadScreenDpi();

// `value` * `numerator` / `denominator`, rounded to the nearest integer (halves
// away from zero); -1 when `denominator` is 0.
int MulDiv(int value, int numerator, int denominator);

// Rescales the window and, children first, every control below it from
// `fromDpi` to `toDpi` (default g_screenDpi). A top-level window keeps its
// frame, grows its client area and stays centred on its old centre; a control
// scales its position and size. Nothing happens for a DPI of 0 or below.
// User-interface thread.
void RescaleWindowForDpi(WindowHandle window, int fromDpi, std::optional<int> toDpi = {});

// The screen's scale in percent (100 = none): the device pixel ratio when the
// DPI says 100, the DPI when the ratio says 100, either when they agree, 0 when
// they disagree.
int ScreenScalePercent();

// Shows an outline of `penWidth` (0 means 3) and `colour` (default pure red,
// 0x0000FF) round the window; with `twice` it is taken away again after 100 ms
// (window events keep flowing meanwhile). Without `twice` a second call with
// the same values takes it away.
void DrawXorOutline(WindowHandle window, int penWidth, std::optional<unsigned> colour = {},
                    bool twice = false);

// Shows the outline twice for 100 ms with an 80 ms gap; nothing for a window
// handle of 0 or below. Any thread.
void FlashWindowOutline(WindowHandle window, unsigned colour);

// The window handle of a control of the main window by its name (0 when there
// is none). The main window installs it; until then, and for unknown names,
// every name gives 0. Any thread.
using ControlWindowLookup = std::function<WindowHandle(std::string_view controlName)>;
void InstallControlWindowLookup(ControlWindowLookup lookup);
WindowHandle ControlWindowOf(std::string_view controlName);

// FlashWindowOutline round the named control of the main window, with colour 0
// (an outline that inverts what lies under it). Nothing for an unknown name.
// Any thread.
void FlashControlOutline(std::string_view controlName);
