#pragma once
// The daily rename limit: with `选择框_当天暂停` ticked and a positive number
// in `编辑框_当天修改数量`, a rename job that reaches that many successful
// renames (g_dailyRenamedCount) holds still on its thread, rewriting the
// status line every 3 seconds, until the local date changes or the box is
// unticked; then the daily count starts again from 0.

// Called by the rename requests right after they released g_counterLock
// following a rise of g_dailyRenamedCount. Returns when no pause is due or
// when the pause has ended. Waits on the installed clock; the stop flag of
// the rename task does not end a pause (unticking the box does).
void RunDailyPauseCheck();

// Internal: the integer of an edit box's text: optional blanks, an optional
// sign and leading digits; 0 when it holds no number.
int ParseEditInteger(const char* text);
