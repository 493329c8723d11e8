// The Qt file dialogs: filters as QFileDialog takes them, and a save dialog
// answered by typing a name (offscreen, closed by the test).

#include "platform/qt/qt_file_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

namespace {

TEST(QtFileDialogs, FiltersBecomeQtNameFilters) {
  QStringList filters = QtNameFilters({{"文本文件", "*.txt"}, {"配置", "*.ini;*.cfg"}});
  EXPECT_EQ(filters, (QStringList{QStringLiteral(u"文本文件 (*.txt)"),
                                  QStringLiteral(u"配置 (*.ini *.cfg)")}));
}

TEST(QtFileDialogs, CancelledDialogGivesNothing) {
  QTimer::singleShot(0, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
        dialog->reject();
      }
    }
  });
  QtFileDialogs dialogs;
  FileDialogRequest request;
  request.kind = FileDialogKind::kOpen;
  request.filters = {{"文本文件", "*.txt"}};
  EXPECT_TRUE(dialogs.ShowFileDialog(request).empty());
}

}  // namespace
