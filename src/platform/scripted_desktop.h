#pragma once
// A Desktop for tests: answers message boxes from a script, records every box,
// status text and opened target, and never shows anything.
//
//   ScriptedDesktop desktop(ReportToGtest);   // tests/support/scripted_desktop_guard.h
//   ScopedDesktop use(desktop);
//   desktop.AnswerNext(kBoxResultYes);
//   ... code under test ...
//   EXPECT_EQ(desktop.Boxes().at(0).caption, "提示：");
//   EXPECT_EQ(desktop.StatusText(1), "完成");
//
// A box that finds no scripted answer is reported through the failure reporter
// (the test fails, the process goes on) and answered kBoxResultNone.
// Answering kBoxResultTimedOut lets the box run out: the installed clock is
// advanced by the box's time-out first; scripting a time-out for a box without
// one is reported as a failure.
// The thread that made the desktop counts as the user-interface thread
// (SetUiThread changes it). Every member may be called from any thread.

#include "platform/desktop.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RecordedBox {
  std::string caption;
  std::string text;        // code page 936 ("?" where it cannot hold a character)
  std::u16string unicode;  // what a box of ShowMessageBoxUtf16 shows
  bool fromUtf16 = false;  // shown through ShowMessageBoxUtf16 (else `unicode` is empty)
  int type = 0;
  std::int64_t timeoutMs = 0;
  WindowHandle owner = 0;  // the owner the caller named (0: none)
  int answer = 0;
  bool scripted = false;  // false: nobody scripted an answer
  std::thread::id thread;
};

struct RecordedStatus {
  int panel = 0;
  std::string text;        // code page 936 ("?" where it cannot hold a character)
  std::u16string unicode;  // what the panel shows
  bool fromUtf16 = false;  // set through SetStatusPanelUtf16
};

class ScriptedDesktop final : public Desktop {
 public:
  // Receives a readable (UTF-8) message for every misuse; when empty the
  // messages are only kept (Failures).
  using FailureReporter = std::function<void(const std::string& message)>;

  explicit ScriptedDesktop(FailureReporter reporter = {});

  int ShowMessageBox(std::string_view caption, std::string_view text, int type,
                     std::int64_t timeoutMs) override;
  int ShowOwnedMessageBox(WindowHandle owner, std::string_view caption, std::string_view text,
                          int type, std::int64_t timeoutMs) override;
  int ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes, int type,
                          std::int64_t timeoutMs) override;
  void SetStatusPanel(int panel, std::string_view text) override;
  void SetStatusPanelUtf16(int panel, std::string_view utf16Bytes) override;
  int OpenTarget(std::string_view target) override;
  bool IsUiThread() const override;
  void PumpEvents() override;
  bool PumpEventsFor(std::int64_t ms, const StopCondition& stop = {}) override;

  // Script: the answer of the next box without an answer, in order.
  void AnswerNext(int button);
  // Called on the box's thread for every box, after it is recorded and before
  // it is answered (a test can set a stop flag "while the box is open").
  void SetBoxHook(std::function<void(const RecordedBox&)> hook);
  int PendingAnswers() const;
  // Called on the writer's thread for every status write, after it is
  // recorded (a test can change state "when the line shows").
  void SetStatusHook(std::function<void(const RecordedStatus&)> hook);

  std::vector<RecordedBox> Boxes() const;
  std::vector<std::string> Failures() const;

  // Current content of a panel ("" when never set or cleared).
  std::string StatusText(int panel) const;
  std::u16string StatusUnicode(int panel) const;
  // Every status write in order, clears included.
  std::vector<RecordedStatus> StatusHistory() const;

  std::vector<std::string> OpenedTargets() const;
  void SetOpenResult(int result);  // OpenTarget's answer; 42 unless set

  void SetUiThread(std::thread::id id);
  int PumpCount() const;  // calls of PumpEvents and PumpEventsFor on the UI thread

 private:
  // text: the box's text in code page 936 as the caller gave it or converted;
  // unicode: what a UTF-16 box shows. A code page 936 box converts nothing
  // here, so a test that runs without a converter is not changed by a box.
  int ShowBox(WindowHandle owner, std::string_view caption, std::string text,
              std::u16string unicode, bool fromUtf16, int type, std::int64_t timeoutMs);
  void Fail(const std::string& message);
  void RecordStatus(RecordedStatus status);

  mutable std::mutex m_mutex;
  FailureReporter m_reporter;
  std::deque<int> m_answers;
  std::function<void(const RecordedBox&)> m_boxHook;
  std::function<void(const RecordedStatus&)> m_statusHook;
  std::vector<RecordedBox> m_boxes;
  std::vector<std::string> m_failures;
  std::map<int, RecordedStatus> m_panels;
  std::vector<RecordedStatus> m_statusHistory;
  std::vector<std::string> m_opened;
  int m_openResult = 42;
  std::thread::id m_uiThread;
  int m_pumps = 0;
};
