#pragma once
// Start-up and exit of the program-wide objects.
//
// CreateGlobalObjects makes, in this order: the three keyword lists
// (jobs/keyword_replacement_lists.h), g_cacheDb
// (no connection), g_renamedPaths, g_jobQueue, g_copySources, the two drop
// targets (data/program_wide_objects.h), then the three WebView2 wrappers
// below, all empty. DestroyGlobalObjects is the exit routine.
//
// At exit nothing a worker thread may still use is freed: the keyword lists
// and the objects of data/program_wide_objects.h live in storage that is never
// destroyed, and the exit routine only lets go of what belongs to the
// user-interface thread (the drop targets' windows). An open cache connection
// and the bridge's objects are left to the process end.

#include "ui/signin/wv2_controller.h"
#include "ui/signin/wv2_environment.h"
#include "ui/signin/wv2_webview.h"

extern Wv2Webview& g_wv2Webview;
extern Wv2Environment& g_wv2Environment;
extern Wv2Controller& g_wv2Controller;

// Makes the program-wide objects empty. Once, first of all, on the
// user-interface thread, before any worker starts.
void CreateGlobalObjects();

// The exit routine, in the order g_cacheDb, g_renamedPaths, g_jobQueue, the
// edit box's and the labels' drop targets, the three wrappers: the drop
// targets are unregistered, everything else is left as it is. Runs once (later
// calls do nothing), on the user-interface thread while the installed drop
// host is still alive.
void DestroyGlobalObjects();

// The program's start, before the main window opens, in order: the run
// directory becomes the working directory; CreateGlobalObjects;
// DestroyGlobalObjects registered to run at exit; the module initialisers
// ReadScreenDpi and InitUtilityModule. Call after
// the QApplication exists and the Qt window system is installed, so the DPI is
// the screen's. False when the run directory cannot be entered (the rest still
// runs).
bool RunProgramStartup();
