#pragma once
// Internal to the rename task: its option checks and the reset of a rename
// run, in the order the task runs them. Each failing check shows its box
// (titled "提示：", waiting for the user), flashes the control concerned or
// switches `高级选择夹1` to the page concerned, and returns false; the task then
// ends. Run on the task's thread.

#include "web/account_session.h"

// Checks 1 to 3: an account is chosen, the Chinese-character deletion has its
// count, and fast mode has prefetch and none of the rules it cannot apply
// (each one asked about: Yes unticks both prefetch boxes and goes on).
bool PassesStartChecks(const AccountSession& session);

// Step 5: every rename counter zeroed, the number counter emptied, the regular
// expression failure reported anew, the stop flag cleared and a new task stamp.
void ResetRenameRun();

// Checks 6 and 7: at least one rule ticked, and each ticked rule has its text
// (a delete rule at least one non-empty keyword).
bool PassesRuleChecks();

// Check 8: with keyword replacement ticked, "keyreplace.ini" is loaded into
// the keyword lists and must hold the keywords of its mode.
bool LoadsKeywordRules();

// The box of the task: ShowTimedMessageBox titled "提示：".
int ShowRenameTaskBox(const std::string& text, int type, int timeoutMs = 0);
