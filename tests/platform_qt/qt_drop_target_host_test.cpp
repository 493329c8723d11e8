// Dropped files on a real (offscreen) widget: the local files of a drop reach
// the handler in order; other data and refused widgets are left alone.

#include "platform/qt/qt_drop_target_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include "platform/qt/qt_window_handle.h"

namespace {

// Sends a drop of `urls` onto `widget`; true when the drop was accepted.
bool DropOn(QWidget& widget, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &enter);
  QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &drop);
  return drop.isAccepted();
}

TEST(QtDropTargetHost, LocalFilesReachTheHandlerInOrder) {
  QtDropTargetHost host;
  QLineEdit edit;
  std::vector<std::u16string> received;
  ASSERT_TRUE(host.AcceptDrops(WindowHandleOf(&edit), [&](const auto& paths) {
    received.insert(received.end(), paths.begin(), paths.end());
  }));
  EXPECT_TRUE(edit.acceptDrops());

  EXPECT_TRUE(DropOn(edit, {QUrl::fromLocalFile(QStringLiteral(u"/k/关键词.txt")),
                            QUrl(QStringLiteral("https://example.com/x")),
                            QUrl::fromLocalFile(QStringLiteral("/k/b.txt"))}));
  EXPECT_EQ(received, (std::vector<std::u16string>{u"/k/关键词.txt", u"/k/b.txt"}));
  // The edit box itself never saw the drop.
  EXPECT_TRUE(edit.text().isEmpty());
}

// A multi-line edit box takes drops on its viewport: the files reach the
// handler there, and the box's text stays as it was.
TEST(QtDropTargetHost, DropsOnAMultiLineBoxReachTheHandler) {
  QtDropTargetHost host;
  QPlainTextEdit edit;
  edit.resize(200, 100);
  std::vector<std::u16string> received;
  ASSERT_TRUE(host.AcceptDrops(WindowHandleOf(&edit), [&](const auto& paths) {
    received.insert(received.end(), paths.begin(), paths.end());
  }));
  EXPECT_TRUE(DropOn(*edit.viewport(), {QUrl::fromLocalFile(QStringLiteral(u"/k/关键词.txt"))}));
  EXPECT_EQ(received, (std::vector<std::u16string>{u"/k/关键词.txt"}));
  EXPECT_TRUE(edit.toPlainText().isEmpty());

  host.RefuseDrops(WindowHandleOf(&edit));
  received.clear();
  DropOn(*edit.viewport(), {QUrl::fromLocalFile(QStringLiteral("/k/a.txt"))});
  EXPECT_TRUE(received.empty());
}

TEST(QtDropTargetHost, RefusedWidgetsNoLongerReportDrops) {
  QtDropTargetHost host;
  QWidget edit;  // a plain widget refuses drops until asked
  int calls = 0;
  WindowHandle handle = WindowHandleOf(&edit);
  host.AcceptDrops(handle, [&](const auto&) { ++calls; });
  host.RefuseDrops(handle);
  EXPECT_FALSE(edit.acceptDrops());
  DropOn(edit, {QUrl::fromLocalFile(QStringLiteral("/k/a.txt"))});
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(host.AcceptDrops(0, [&](const auto&) { ++calls; }));
}

}  // namespace
