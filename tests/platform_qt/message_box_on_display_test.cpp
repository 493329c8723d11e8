// Message boxes on a real X server (qt_test_main.cpp starts Xvfb for this
// test): activation, stacking and modal blocking come through the window
// system here, which the offscreen platform does not have.

#include "platform/qt/qt_desktop.h"

#include "open_boxes.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

QMessageBox* OpenBox() {
  const std::vector<QMessageBox*> boxes = OpenBoxes();
  return boxes.empty() ? nullptr : boxes.front();
}

// Asks a Yes/No question from a worker or from this (the user-interface)
// thread and runs `whileOpen` on the box once it is on the screen (from a
// timer, so on this thread it runs inside the box's own local event loop).
// A box still open when whileOpen returns is ended unanswered. Gives the
// answer.
int AskWhile(QtDesktop& desktop, bool fromWorker,
             const std::function<void(QMessageBox*)>& whileOpen) {
  const auto steps = [&] {
    QMessageBox* box = nullptr;
    ASSERT_TRUE(ProcessUntil([&] { return (box = OpenBox()) != nullptr; }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    whileOpen(box);
    if (ProcessUntil([] { return OpenBox() == nullptr; }, 1000))
      return;
    ADD_FAILURE() << "the box was not answered";
    OpenBox()->done(0);
  };
  if (!fromWorker) {
    QTimer::singleShot(0, steps);
    return desktop.ShowMessageBox("确定：", "读取帐号列表失败", kBoxYesNo + kBoxIconQuestion, 0);
  }
  auto answer = std::make_shared<std::atomic<int>>(-1);
  std::thread worker([&desktop, answer] {
    *answer = desktop.ShowMessageBox("确定：", "读取帐号列表失败", kBoxYesNo + kBoxIconQuestion, 0);
  });
  steps();
  ProcessUntil([&] { return *answer != -1; });
  worker.join();
  return *answer;
}

class MessageBoxOnDisplayTest : public ::testing::Test {
 protected:
  QtDesktop m_desktop;
  ScopedDesktop m_use{m_desktop};
};

// A modal window that opens while a box is open (as the update window does at
// start-up while the box about an unreadable account list waits) must leave
// the box answerable: in front, by a click and by the keyboard.
TEST_F(MessageBoxOnDisplayTest, ABoxStaysAnswerableWhenAModalWindowOpensAfterIt) {
  using Input = std::function<void(QMessageBox*)>;
  const auto click = [](QMessageBox::StandardButton which) -> Input {
    return [which](QMessageBox* box) {
      QAbstractButton* button = box->button(which);
      QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {},
                        button->mapTo(box, button->rect().center()));
    };
  };
  const auto key = [](Qt::Key which) -> Input {
    return [which](QMessageBox* box) {
      box->activateWindow();
      ASSERT_TRUE(ProcessUntil([box] { return QApplication::activeWindow() == box; }))
          << "the box cannot be activated";
      QTest::keyClick(box->windowHandle(), which);
    };
  };
  struct Row {
    const char* name;
    bool fromWorker;
    Input input;
    int answer;
  };
  const Row rows[] = {
      {"worker's box, a click on Yes", true, click(QMessageBox::Yes), kBoxResultYes},
      {"worker's box, a click on No", true, click(QMessageBox::No), kBoxResultNo},
      {"worker's box, Enter takes Yes", true, key(Qt::Key_Return), kBoxResultYes},
      {"user-interface thread's box, a click on Yes", false, click(QMessageBox::Yes),
       kBoxResultYes},
      {"user-interface thread's box, Escape answers No", false, key(Qt::Key_Escape), kBoxResultNo},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget main;
    main.resize(600, 400);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    m_desktop.SetMainWindow(&main);
    const int answer = AskWhile(m_desktop, row.fromWorker, [&](QMessageBox* box) {
      // The modal window opens later and right over the box.
      QDialog modal(&main);
      modal.setWindowModality(Qt::ApplicationModal);
      modal.setGeometry(box->geometry().adjusted(-30, -30, 30, 30));
      modal.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&modal));
      const QPoint yes = box->mapToGlobal(box->button(QMessageBox::Yes)->geometry().center());
      EXPECT_TRUE(ProcessUntil([&] { return QApplication::topLevelAt(yes) == box; }, 2000))
          << "the box is behind the modal window";
      row.input(box);
      ProcessUntil([] { return OpenBox() == nullptr; }, 1000);
    });
    EXPECT_EQ(answer, row.answer);
    m_desktop.SetMainWindow(nullptr);
  }
}

// A window manager shows a title that does not fit between the frame's
// buttons as "…", and many centre it: a box is at least as wide as its title
// in the title bar's (bold) font plus the frame's icon and three buttons on
// both sides, each about as wide as the title bar is high.
TEST_F(MessageBoxOnDisplayTest, ABoxIsWideEnoughForItsTitle) {
  struct Row {
    const char* name;
    const char* caption;
    const char* text;
  };
  const Row rows[] = {
      {"a short text", "停止：", "停止成功"},
      {"the plain box", "信息：", "复制任务完成。"},
      {"a title longer than its text", "读取帐号列表失败，请检查文件", "x"},
  };
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const QFontMetrics metrics(font);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::thread worker(
        [&] { m_desktop.ShowMessageBox(row.caption, row.text, kBoxIconInformation, 0); });
    QMessageBox* box = nullptr;
    const bool shown = ProcessUntil([&] { return (box = OpenBox()) != nullptr; }) &&
                       QTest::qWaitForWindowExposed(box);
    const int width = box != nullptr ? box->width() : 0;
    const QString title = box != nullptr ? box->windowTitle() : QString();
    if (box == nullptr) {
      worker.detach();  // the desktop ends its wait when the test ends
      FAIL() << "no box";
    }
    box->button(QMessageBox::Ok)->click();
    worker.join();
    ASSERT_TRUE(shown);
    EXPECT_GE(width, metrics.horizontalAdvance(title) + 8 * metrics.height())
        << title.toStdString();
  }
}

}  // namespace
