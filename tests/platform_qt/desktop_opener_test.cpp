// Opening an address through the desktop's opener program: its verdict decides
// whether the address opened, and a failed open shows the address in a box
// whose text can be selected and copied.

#include "platform/qt/desktop_opener.h"

#include "foundation/shell_open.h"
#include "platform/qt/qt_desktop.h"
#include "support/process_events_until.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

constexpr int kEventWaitMs = 10000;

bool ProcessUntil(const std::function<bool()>& condition) {
  return ProcessEventsUntilOrAfter(condition, kEventWaitMs);
}

class DesktopOpenerTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDesktopOpenerForTesting(std::nullopt); }

  // An opener that writes the argument it was given to the file "given" and
  // then runs `then` (shell text).
  QString Opener(const char* name, const QString& then) const {
    const QString path = m_folder.filePath(QString::fromLatin1(name));
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        ("#!/bin/sh\nprintf '%s' \"$1\" > '" + GivenPath() + "'\n" + then + "\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
  }
  QString GivenPath() const { return m_folder.filePath(QStringLiteral("given")); }
  QString Given() const {
    QFile file(GivenPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  QTemporaryDir m_folder;
};

TEST_F(DesktopOpenerTest, TheOpenersVerdictDecides) {
  struct Row {
    const char* name;
    const char* then;  // what the opener does after taking the address
    int waitMs;
    bool opened;
  };
  const Row rows[] = {
      {"it opened the address", "exit 0", 10000, true},
      {"it found nothing to open it with", "exit 3", 10000, false},
      // Some browsers keep the opener running until they are closed.
      {"still running when the wait ends", "exec sleep 1", 0, true},
  };
  const QUrl url(QString::fromUtf16(u"https://update.test/help/帮助.html?a=1&b=2"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QFile::remove(GivenPath());
    SetDesktopOpenerForTesting(Opener(row.name, QString::fromLatin1(row.then)), row.waitMs);
    EXPECT_EQ(OpenUrlOnDesktop(url), row.opened);
    ASSERT_TRUE(ProcessUntil([&] { return QFile::exists(GivenPath()) && !Given().isEmpty(); }));
    EXPECT_EQ(Given(), QStringLiteral("https://update.test/help/%E5%B8%AE%E5%8A%A9.html?a=1&b=2"));
  }
}

TEST_F(DesktopOpenerTest, AnOpenerThatCannotStartOpensNothing) {
  SetDesktopOpenerForTesting(m_folder.filePath(QStringLiteral("no-such-opener")), 10000);
  EXPECT_FALSE(OpenUrlOnDesktop(QUrl(QStringLiteral("https://update.test/help.html"))));
}

TEST_F(DesktopOpenerTest, AFileIsGivenAsItsPath) {
  SetDesktopOpenerForTesting(Opener("file", QStringLiteral("exit 0")), 10000);
  EXPECT_TRUE(OpenUrlOnDesktop(QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt"))));
  EXPECT_EQ(Given(), QStringLiteral("/tmp/a b.txt"));
}

// What a user without a browser sees: a box with the address, selectable.
TEST_F(DesktopOpenerTest, AFailedOpenShowsTheAddressInABoxToCopyItFrom) {
  QtDesktop desktop;
  ScopedDesktop use(desktop);
  SetDesktopOpenerForTesting(Opener("no browser", QStringLiteral("exit 3")), 10000);
  const char* address = "https://update.test/help/keyword-replacement.html";
  std::atomic<int> result{-1};
  std::thread worker([&] { result = OpenWebPage(address); });
  QMessageBox* box = nullptr;
  ASSERT_TRUE(ProcessUntil([&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* candidate = qobject_cast<QMessageBox*>(widget);
      if (candidate != nullptr && candidate->isVisible())
        box = candidate;
    }
    return box != nullptr;
  }));
  EXPECT_EQ(box->windowTitle(), QString::fromUtf16(u"提示："));
  EXPECT_TRUE(box->text().endsWith(QString::fromLatin1(address))) << box->text().toStdString();
  const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
  box->buttons().front()->click();
  ASSERT_TRUE(ProcessUntil([&] { return result != -1; }));
  worker.join();
  EXPECT_LE(result, 32);
}

}  // namespace
