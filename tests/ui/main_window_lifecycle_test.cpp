// The main window's close questions, its end of the process, requests from
// worker threads and keeping its top edge off the screen's edge.

#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include "data/program_wide_objects.h"
#include "foundation/message_box.h"
#include "foundation/wait_until.h"
#include "jobs/folder_traversal.h"
#include "jobs/jobs_at_exit.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "platform/qt/qt_desktop.h"
#include "support/scripted_desktop_guard.h"
#include "support/service_test_fixture.h"
#include "ui/main_window.h"
#include "ui_test_support.h"
#include "web/item_request_hold.h"
#include "web/main_window_controls.h"

namespace {

struct CloseRow {
  const char* name;
  bool renameRunning;
  bool copyRunning;
  std::vector<int> answers;
  std::vector<std::u16string> questions;  // asked, in order
  bool closes;
};

TEST(MainWindowCloseTest, TwoQuestionsDecideTheClose) {
  const std::u16string plain = u"确定关闭关闭软件？";
  const std::u16string rename = u"当前有进行中的改名任务，是否关闭软件？";
  const std::u16string copy = u"当前有进行中的复制任务，是否关闭软件？";
  const CloseRow rows[] = {
      {"idle, Yes twice closes", false, false, {6, 6}, {plain, plain}, true},
      {"idle, No keeps the window", false, false, {7}, {plain}, false},
      {"idle, Yes then No keeps the window", false, false, {6, 7}, {plain, plain}, false},
      {"rename running asks about it first", true, false, {6, 6}, {rename, plain}, true},
      {"rename running, No keeps the window", true, false, {7}, {rename}, false},
      {"copy running asks about it second", false, true, {6, 6}, {plain, copy}, true},
      {"both running", true, true, {6, 7}, {rename, copy}, false},
  };
  for (const CloseRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedDesktopGuard ui;
    ControlStore store;
    MainWindow window{store};
    int ended = 0;
    window.SetProcessEnder([&] { ++ended; });
    window.show();
    // A job runs while its start button is disabled.
    store.SetEnabled("按钮_开始改名", !row.renameRunning);
    store.SetEnabled("按钮_开始复制文件", !row.copyRunning);
    for (int answer : row.answers) {
      ui.desktop.AnswerNext(answer);
    }

    window.close();

    const std::vector<RecordedBox> boxes = ui.desktop.Boxes();
    ASSERT_EQ(boxes.size(), row.questions.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_EQ(boxes[i].caption, "确定：");
      EXPECT_EQ(boxes[i].text, Cp(row.questions[i].c_str()));
      EXPECT_EQ(boxes[i].type, 36);
      EXPECT_EQ(boxes[i].timeoutMs, 0);
    }
    EXPECT_EQ(ended, row.closes ? 1 : 0);
    EXPECT_EQ(window.isVisible(), !row.closes);
  }
}

TEST(MainWindowCloseDeathTest, YesTwiceEndsTheProcessWithCodeZeroWhileARenameJobRuns) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ScriptedDesktopGuard ui;
        ControlStore store;
        MainWindow window{store};  // ends the process for real
        window.show();
        store.SetEnabled("按钮_开始改名", false);
        ui.desktop.AnswerNext(kBoxResultYes);
        ui.desktop.AnswerNext(kBoxResultYes);
        // A job thread that never ends by itself and keeps using what the
        // program's objects hold.
        static std::atomic<bool> started{false};
        std::thread([] {
          for (unsigned i = 0;; ++i) {
            g_renamedPaths[std::to_string(i % 64)] = "已修改过";
            started = true;
          }
        }).detach();
        while (!started) {
          std::this_thread::yield();
        }

        window.close();
        std::exit(3);  // the window did not end the process
      },
      ::testing::ExitedWithCode(0), "");
}

// What a window manager sends when the user clicks the window's close button.
void CloseLikeTheWindowManager(MainWindow& window) {
  QCloseEvent event;
  QCoreApplication::sendEvent(window.windowHandle(), &event);
}

// A shown main window whose end of the process is only counted.
struct ShownWindow {
  ShownWindow() {
    window.SetProcessEnder([this] { ++ended; });
    window.show();
  }
  ControlStore store;
  MainWindow window{store};
  int ended = 0;
};

TEST(MainWindowCloseTest, CloseRequestsWhileAQuestionIsOpenAreIgnored) {
  struct Row {
    const char* name;
    std::vector<int> answers;
    size_t asked;
    bool closes;
  };
  const Row rows[] = {
      {"Yes, then No to the second question", {6, 7}, 2, false},
      {"No to the first question", {7}, 1, false},
      {"Yes to both", {6, 6}, 2, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedDesktopGuard ui;
    ShownWindow shown;
    MainWindow& window = shown.window;
    const int& ended = shown.ended;
    ASSERT_NE(window.windowHandle(), nullptr);
    for (int answer : row.answers) {
      ui.desktop.AnswerNext(answer);
    }
    // A second click on the close button while each question is open.
    ui.desktop.SetBoxHook([&](const RecordedBox&) { CloseLikeTheWindowManager(window); });

    CloseLikeTheWindowManager(window);

    EXPECT_EQ(ui.desktop.Boxes().size(), row.asked);
    EXPECT_EQ(ended, row.closes ? 1 : 0);
    if (!row.closes) {
      EXPECT_TRUE(window.isVisible());
      EXPECT_NE(window.windowHandle(), nullptr);
    }
  }
}

// The open close question, found among the program's boxes.
QMessageBox* OpenCloseQuestion() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box != nullptr && box->isVisible() && box->objectName() == "quillmere_message_box")
      return box;
  }
  return nullptr;
}

// A question nobody owns ends up behind the main window when the user clicks
// the window; a click on its close button must bring the question back
// rather than do nothing the user can see.
TEST(MainWindowCloseTest, ACloseRequestWhileAQuestionIsOpenBringsTheQuestionToTheFront) {
  QtDesktop desktop;
  ScopedDesktop use(desktop);
  ShownWindow shown;
  MainWindow& window = shown.window;
  ASSERT_NE(window.windowHandle(), nullptr);
  enum class Step { kAsked, kWindowClicked, kClosed } at = Step::kAsked;
  bool cameToTheFront = false;
  QTimer step;
  QObject::connect(&step, &QTimer::timeout, [&] {
    QMessageBox* box = OpenCloseQuestion();
    if (box == nullptr)
      return;
    QWidget* active = QApplication::activeWindow();
    if (at == Step::kAsked && active == box) {
      at = Step::kWindowClicked;
      QApplication::setActiveWindow(&window);  // the user clicks the main window
    } else if (at == Step::kWindowClicked && active == &window) {
      at = Step::kClosed;
      CloseLikeTheWindowManager(window);
    } else if (at == Step::kClosed && active == box) {
      cameToTheFront = true;
      box->button(QMessageBox::No)->click();
    }
  });
  step.start(2);
  // Should the question never come back, it is ended so that the test fails
  // instead of waiting for ever.
  QTimer::singleShot(5000, [] {
    if (QMessageBox* box = OpenCloseQuestion())
      box->done(0);
  });

  CloseLikeTheWindowManager(window);

  EXPECT_EQ(at, Step::kClosed);
  EXPECT_TRUE(cameToTheFront);
  EXPECT_EQ(shown.ended, 0);
  EXPECT_TRUE(window.isVisible());
}

TEST(MainWindowCloseTest, AWorkerEndsTheProgramOnTheUiThreadWithoutQuestions) {
  ScriptedDesktopGuard ui;  // any box would fail the test
  ControlStore store;
  MainWindow window{store};
  std::thread::id endedOn;
  window.SetProcessEnder([&] { endedOn = std::this_thread::get_id(); });
  std::thread worker([&] { window.RequestEndProgram(); });
  EXPECT_TRUE(ProcessEventsUntil([&] { return endedOn != std::thread::id(); }));
  worker.join();
  EXPECT_EQ(endedOn, std::this_thread::get_id());
}

class CloseDuringAJobTest : public ServiceTest {};

// The user closes the window while a run of mode B renames: the rename that
// has reached the service is booked before the process ends, and no further
// one is sent.
TEST_F(CloseDuringAJobTest, TheSuccessLogHoldsEveryRenameTheServiceSaw) {
  RemoteTree tree;
  for (int i = 0; i < 6; ++i) {
    tree.AddFile("/d/f" + std::to_string(i) + ".txt", 1);
  }
  UseTree(std::move(tree));
  ControlStore& store = GetControlStore();
  // The window first: it binds its controls to the store.
  MainWindow window{store};
  std::string loggedAtTheEnd;
  std::atomic<bool> ended{false};
  window.SetProcessEnder([&] {
    loggedAtTheEnd = LogText(kLogRenamed);
    ended = true;
  });
  window.show();
  store.SetChecked(kModifyAllRadio, true);
  store.SetChecked(kRenameSyncRadio, true);
  store.SetChecked(kPrefixRuleBox, true);
  store.SetText(kPrefixEdit, "P_");
  store.SetEnabled(kStartRenameButton, false);  // the rename job runs

  // The third rename reaches the service as the user closes the program; the
  // service answers it once the program's end has begun.
  std::atomic<int> renames{0};
  std::atomic<bool> thirdArrived{false};
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/api/filemanager" && ++renames == 3) {
      thirdArrived = true;
      WaitUntil([&] { return ItemRequestsHeld() || ended.load(); }, 30000);
    }
    return std::nullopt;
  });
  // Every wait of this test's threads blocks until its condition holds.
  m_ui.clock.SetAutoAdvance(false);
  std::thread job([] { ProcessRemoteFolder(GetAccountSession(), "/d"); });
  ASSERT_TRUE(WaitUntil([&] { return thirdArrived.load(); }, 30000));

  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultYes);
  // Should the wait for the booking never end, the clock ends it.
  std::thread watchdog([&] {
    if (!WaitUntil([&] { return ended.load(); }, 30000)) {
      m_ui.clock.Advance(kExitBookingWaitMs);
    }
  });

  window.close();

  job.join();
  watchdog.join();
  m_ui.clock.SetAutoAdvance(true);
  EXPECT_TRUE(ended);
  EXPECT_EQ(RequestsTo("/api/filemanager").size(), 3u);
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/P_f0.txt:1", "/d/P_f1.txt:1", "/d/P_f2.txt:1",
                                           "/d/f3.txt:1", "/d/f4.txt:1", "/d/f5.txt:1"}));
  EXPECT_EQ(loggedAtTheEnd,
            "/d/f0.txt---->P_f0.txt\r\n/d/f1.txt---->P_f1.txt\r\n/d/f2.txt---->P_f2.txt\r\n");
  EXPECT_EQ(LogText(kLogRenamed), loggedAtTheEnd);
  EXPECT_TRUE(g_renameStopRequested);
  EXPECT_FALSE(ItemRequestsHeld());
}

TEST(MainWindowMoveTest, ATopEdgeOfZeroGoesBackToTheLastTop) {
  ControlStore store;
  MainWindow window{store};
  g_lastWindowTop = 0;
  window.move(40, 0);  // before any other move: stays at 0
  window.KeepTopVisible();
  EXPECT_EQ(window.y(), 0);

  window.move(40, 120);
  window.KeepTopVisible();
  EXPECT_EQ(g_lastWindowTop, 120);
  window.move(70, 0);
  window.KeepTopVisible();
  EXPECT_EQ(window.pos(), QPoint(70, 120));
}

TEST(MainWindowMoveTest, AMaximizedWindowStaysAtTheTopEdge) {
  ControlStore store;
  MainWindow window{store};
  g_lastWindowTop = 120;
  window.showMaximized();
  ASSERT_TRUE(ProcessEventsUntil([&] { return window.isMaximized() && window.y() == 0; }));
  window.KeepTopVisible();
  EXPECT_EQ(window.y(), 0);
  EXPECT_TRUE(window.isMaximized());
  window.hide();
  g_lastWindowTop = 0;
}

TEST(MainWindowStatusTest, StatusTextsFromWorkersShowInTheirPanels) {
  QtDesktop desktop;
  ScopedDesktop use(desktop);
  ControlStore store;
  MainWindow window{store};
  auto* bar = window.ControlAs<QStatusBar>(u"状态条1");
  const auto panel = [bar](int index) {
    return bar->findChild<QLabel*>(Q(u"状态条1:") + QString::number(index))->text();
  };
  std::thread worker([] {
    ShowStatusText("已修改：3");
    GetDesktop().SetStatusPanel(2, "正在提交：1：2");
  });
  worker.join();
  EXPECT_TRUE(ProcessEventsUntil([&] { return panel(1) == Q(u"已修改：3"); }));
  EXPECT_TRUE(ProcessEventsUntil([&] { return panel(2) == Q(u"正在提交：1：2"); }));
  EXPECT_EQ(panel(0), Q(u" 操作提示："));
}

}  // namespace
