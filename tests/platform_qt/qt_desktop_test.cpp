#include "platform/qt/qt_desktop.h"

#include "open_boxes.h"
#include "platform/code_page_codec.h"
#include "platform/fake_clock.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

QMessageBox* BoxTitled(const QString& title) {
  for (QMessageBox* box : OpenBoxes())
    if (box->windowTitle() == title)
      return box;
  return nullptr;
}

class QtDesktopTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ProcessUntil([] { return OpenBoxes().empty(); }, 1000);
  }
  QtDesktop m_desktop;
  ScopedDesktop m_use{m_desktop};
};

TEST_F(QtDesktopTest, WorkersYesNoBoxIsAnsweredWhileTheUiThreadKeepsRunning) {
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(1);
  std::atomic<int> result{-1};
  std::thread worker([&] {
    result = GetDesktop().ShowMessageBox("确定：", "当前有进行中的改名任务，是否关闭软件？",
                                         kBoxYesNo + kBoxIconQuestion, 0);
  });
  ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
  QMessageBox* box = OpenBoxes().front();
  EXPECT_EQ(box->windowTitle(), QString::fromUtf16(u"确定："));
  EXPECT_EQ(box->text(), QString::fromUtf16(u"当前有进行中的改名任务，是否关闭软件？"));
  EXPECT_EQ(box->icon(), QMessageBox::Question);
  EXPECT_EQ(box->buttons().size(), 2);
  EXPECT_FALSE(box->isModal());

  const int before = ticks;
  ASSERT_TRUE(ProcessUntil([&] { return ticks >= before + 3; })) << "the UI thread is not blocked";
  EXPECT_EQ(result, -1) << "the worker waits for the answer";

  box->button(QMessageBox::Yes)->click();
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
  EXPECT_EQ(result, kBoxResultYes);
}

TEST_F(QtDesktopTest, UnansweredBoxTimesOutWith32000OnTheClock) {
  FakeClock clock;
  ScopedClock useClock(clock);
  std::atomic<int> result{-1};
  std::thread worker([&] { result = GetDesktop().ShowMessageBox("提示：", "x", 64, 5000); });
  ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
  clock.Advance(4999);
  ProcessUntil([] { return false; }, 20);
  EXPECT_EQ(result, -1);
  clock.Advance(1);
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
  EXPECT_EQ(result, kBoxResultTimedOut);
  EXPECT_TRUE(ProcessUntil([] { return OpenBoxes().empty(); }));
}

TEST_F(QtDesktopTest, ClosingAYesNoBoxByItsFrameAnswersNo) {
  std::atomic<int> result{-1};
  std::thread worker([&] { result = GetDesktop().ShowMessageBox("确定：", "?", 36, 0); });
  ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
  OpenBoxes().front()->close();
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
  EXPECT_EQ(result, kBoxResultNo);
}

// Asks a Yes/No question from a worker thread and keeps the answer.
class WorkersQuestion {
 public:
  WorkersQuestion()
      : m_worker([answer = m_answer] {
          *answer = GetDesktop().ShowMessageBox("确定：", "?", kBoxYesNo + kBoxIconQuestion, 0);
        }) {}
  ~WorkersQuestion() { m_worker.join(); }
  WorkersQuestion(const WorkersQuestion&) = delete;
  WorkersQuestion& operator=(const WorkersQuestion&) = delete;

  // The answer, once given within a few seconds; -1 otherwise.
  int Answer() {
    ProcessUntil([&] { return *m_answer != -1; });
    return *m_answer;
  }

 private:
  std::shared_ptr<std::atomic<int>> m_answer = std::make_shared<std::atomic<int>>(-1);
  std::thread m_worker;
};

// Asks a Yes/No question from a worker or on this (the user-interface) thread
// and, while it is open, runs `whileOpen` on the box from a timer, so that it
// also runs inside the box's own local event loop. whileOpen gives true when
// it is done with the box, which then is answered Yes. Gives the answer; a box
// still open after five seconds is ended.
int AskWhile(bool fromWorker, const std::function<bool(QMessageBox*)>& whileOpen) {
  QTimer step;
  QObject::connect(&step, &QTimer::timeout, [&] {
    if (OpenBoxes().size() == 1 && whileOpen(OpenBoxes().front()))
      OpenBoxes().front()->button(QMessageBox::Yes)->click();
  });
  step.start(2);
  QTimer::singleShot(5000, [] {
    for (QMessageBox* box : OpenBoxes())
      box->done(0);
  });
  if (!fromWorker)
    return GetDesktop().ShowMessageBox("确定：", "?", kBoxYesNo + kBoxIconQuestion, 0);
  WorkersQuestion question;
  return question.Answer();
}

// The window that `box` is transient for, as a widget.
QWidget* WindowInFrontOf(QMessageBox* box) {
  const QWindow* behind = box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->windowHandle() != nullptr && widget->windowHandle() == behind)
      return widget;
  return nullptr;
}

TEST_F(QtDesktopTest, ABoxStandsInFrontOfTheActiveWindowOrTheMainWindowWithoutBeingOwned) {
  enum class Front { kActive, kMain, kModal };
  struct Row {
    const char* name;
    bool fromWorker;
    bool activeWindow;  // the other window is active when the box is asked
    bool modalOpen;     // a modal window is open when the box is asked
    Front expected;
  };
  const Row rows[] = {
      {"worker, another window active", true, true, false, Front::kActive},
      {"worker, nothing active: the main window", true, false, false, Front::kMain},
      {"worker, a modal window open", true, true, true, Front::kModal},
      {"user-interface thread, another window active", false, true, false, Front::kActive},
      {"user-interface thread, nothing active", false, false, false, Front::kMain},
      {"user-interface thread, a modal window open", false, false, true, Front::kModal},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget main;
    main.show();
    m_desktop.SetMainWindow(&main);
    auto other = std::make_unique<QWidget>();
    other->show();
    QDialog modal(&main);
    if (row.modalOpen) {
      modal.setWindowModality(Qt::ApplicationModal);
      modal.show();
    }
    ProcessUntil([] { return false; }, 20);  // the window system's own activations first
    QApplication::setActiveWindow(row.activeWindow ? other.get() : nullptr);
    QWidget* const expected = row.expected == Front::kActive ? other.get()
                              : row.expected == Front::kMain ? &main
                                                             : &modal;
    QWidget* front = nullptr;
    QWidget* owner = &main;
    bool activated = false;
    bool outlived = false;
    int ticks = 0;
    const int answer = AskWhile(row.fromWorker, [&](QMessageBox* box) {
      if (front == nullptr) {
        front = WindowInFrontOf(box);
        owner = box->parentWidget();
      }
      activated = activated || QApplication::activeWindow() == box;
      if (!activated && ++ticks < 500)
        return false;
      if (other != nullptr) {
        other.reset();  // the window behind the box (or another) closes
        return false;
      }
      outlived = box->isVisible();
      return true;
    });
    EXPECT_EQ(front, expected);
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(activated) << "the box is activated";
    EXPECT_TRUE(outlived) << "the box went with the window behind it";
    EXPECT_EQ(answer, kBoxResultYes);
    m_desktop.SetMainWindow(nullptr);
  }
}

// A question asked while a modal window is open must take the user's input,
// which reaches it through the window system (a click or a key), where a
// modal window blocks every window that does not stand in front of it.
TEST_F(QtDesktopTest, AWorkersQuestionWhileAModalWindowIsOpenTakesTheUsersInput) {
  struct Row {
    const char* name;
    std::function<void(QMessageBox*)> input;
    int answer;
  };
  const auto click = [](QMessageBox::StandardButton which) {
    return [which](QMessageBox* box) {
      QAbstractButton* button = box->button(which);
      QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {},
                        button->mapTo(box, button->rect().center()));
    };
  };
  const auto key = [](Qt::Key which) {
    return [which](QMessageBox* box) { QTest::keyClick(box->windowHandle(), which); };
  };
  const Row rows[] = {
      {"a click on Yes", click(QMessageBox::Yes), kBoxResultYes},
      {"a click on No", click(QMessageBox::No), kBoxResultNo},
      {"Enter takes the default button, Yes", key(Qt::Key_Return), kBoxResultYes},
      {"Escape answers No", key(Qt::Key_Escape), kBoxResultNo},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget main;
    main.show();
    QDialog modal(&main);
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    QApplication::setActiveWindow(&modal);
    WorkersQuestion question;
    ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
    QMessageBox* box = OpenBoxes().front();
    ASSERT_TRUE(ProcessUntil([box] { return QApplication::activeWindow() == box; }));
    row.input(box);
    EXPECT_EQ(question.Answer(), row.answer);
    if (QMessageBox* left = OpenBoxes().empty() ? nullptr : OpenBoxes().front())
      left->done(0);  // a blocked box is ended so that the next row starts clean
  }
}

TEST_F(QtDesktopTest, ABoxDestroyedWithoutAnAnswerGivesItsEscapeResult) {
  // Shared with the worker: should the worker never return, it is left behind.
  auto result = std::make_shared<std::atomic<int>>(-1);
  std::thread worker([result] { *result = GetDesktop().ShowMessageBox("确定：", "?", 36, 0); });
  ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
  delete OpenBoxes().front();
  if (!ProcessUntil([&] { return *result != -1; }, 2000)) {
    worker.detach();
    FAIL() << "the worker still waits for a box that is gone";
  }
  worker.join();
  EXPECT_EQ(*result, kBoxResultNo);
}

TEST_F(QtDesktopTest, BoxTextsArePlainText) {
  std::atomic<int> result{-1};
  std::thread worker(
      [&] { result = GetDesktop().ShowMessageBox("提示：", "<b>a.txt</b> 已存在", 64, 0); });
  ASSERT_TRUE(ProcessUntil([] { return OpenBoxes().size() == 1; }));
  QMessageBox* box = OpenBoxes().front();
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
  EXPECT_EQ(label->text(), QStringLiteral("<b>a.txt</b> ") + QString::fromUtf16(u"已存在"));
  box->button(QMessageBox::Ok)->click();
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
}

TEST_F(QtDesktopTest, SeveralBoxesCanBeOpenOnTheUiThread) {
  bool sawBoth = false;
  int second = -1;
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    QMessageBox* a = BoxTitled("A");
    QMessageBox* b = BoxTitled("B");
    if (a && b) {
      sawBoth = true;
      b->button(QMessageBox::No)->click();
    } else if (a && second != -1) {
      a->button(QMessageBox::Ok)->click();
    }
  });
  answerer.start(2);
  QTimer::singleShot(0, [&] { second = m_desktop.ShowMessageBox("B", "second", 36, 0); });
  const int first = m_desktop.ShowMessageBox("A", "first", 64, 0);
  EXPECT_TRUE(sawBoth);
  EXPECT_EQ(second, kBoxResultNo);
  EXPECT_EQ(first, kBoxResultOk);
}

// Two questions in a row, as the close of the main window asks them: when the
// second is asked, the first (just answered) is still the active window. The
// second must not be owned by it, or it goes away with it unanswered.
TEST_F(QtDesktopTest, AQuestionAskedRightAfterAnotherWaitsForItsOwnAnswer) {
  auto window = std::make_unique<QWidget>();
  window->show();
  QApplication::setActiveWindow(window.get());
  bool secondSeen = false;
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (QMessageBox* a = BoxTitled("A")) {
      QApplication::setActiveWindow(a);
      a->button(QMessageBox::Yes)->click();
    } else if (QMessageBox* b = BoxTitled("B")) {
      secondSeen = true;
      b->button(QMessageBox::Yes)->click();
    }
  });
  answerer.start(2);
  // Should the second box never be shown, it is ended after a while so that
  // the test fails instead of waiting for ever.
  QTimer::singleShot(5000, [] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(widget);
          box != nullptr && box->objectName() == "quillmere_message_box")
        box->done(0);
  });
  const int first = m_desktop.ShowMessageBox("A", "first", 36, 0);
  const int second = m_desktop.ShowMessageBox("B", "second", 36, 0);
  EXPECT_EQ(first, kBoxResultYes);
  EXPECT_TRUE(secondSeen);
  EXPECT_EQ(second, kBoxResultYes);
}

TEST_F(QtDesktopTest, StatusPanelsFollowWritesFromAnyThread) {
  QLabel line;
  m_desktop.BindStatusPanel(1, &line);
  EXPECT_EQ(line.textFormat(), Qt::PlainText) << "a status line may show a file name with \"<\"";
  std::thread([] { GetDesktop().SetStatusPanel(1, "正在改名：3"); }).join();
  EXPECT_TRUE(ProcessUntil([&] { return line.text() == QString::fromUtf16(u"正在改名：3"); }));

  const std::string bytes = Utf16ToLeBytes(std::u16string(u"\uAC00.txt") + u'\0');
  std::thread([&] { GetDesktop().SetStatusPanelUtf16(1, bytes); }).join();
  EXPECT_TRUE(ProcessUntil([&] { return line.text() == QString::fromUtf16(u"\uAC00.txt"); }));

  m_desktop.SetStatusPanel(2, "提交中");
  QLabel late;
  m_desktop.BindStatusPanel(2, &late);
  EXPECT_EQ(late.text(), QString::fromUtf16(u"提交中")) << "a late label shows the latest text";
  m_desktop.SetStatusPanel(1, "");
  EXPECT_EQ(line.text(), QString()) << "on the UI thread the panel changes at once";
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls.append(url); }
};

TEST_F(QtDesktopTest, OpenTargetHandsTheAddressToTheDesktopServices) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  std::atomic<int> result{-1};
  std::thread worker([&] { result = GetDesktop().OpenTarget("https://example.invalid/帮助"); });
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_GT(result, 32);
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0], QUrl(QString::fromUtf16(u"https://example.invalid/帮助")));
  EXPECT_LE(m_desktop.OpenTarget(""), 32);
}

TEST_F(QtDesktopTest, PumpingWaitOnTheUiThreadHandlesEvents) {
  FakeClock clock;
  ScopedClock useClock(clock);
  bool handled = false;
  QTimer::singleShot(0, [&] { handled = true; });
  EXPECT_TRUE(m_desktop.PumpEventsFor(500));
  EXPECT_TRUE(handled);
  EXPECT_EQ(clock.SteadyMs(), 500);
}

TEST_F(QtDesktopTest, RealPumpingWaitEndsOnItsStopCondition) {
  bool stop = false;
  QTimer::singleShot(1, [&] { stop = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(m_desktop.PumpEventsFor(60000, [&] { return stop; }));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

#include "qt_desktop_test.moc"
