#include "ui/prompt_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <string>

#include "ui/qt_text.h"

namespace {

TEST(PromptMessageHeight, CountsShownLines) {
  const std::string line60(60, 'a');
  struct Case {
    std::string message;
    int height;
  } cases[] = {
      {"\r\nshort one\r\n\r\nshort two\r\n\r\n", 64},
      {"\r\n" + line60 + "\r\n\r\nshort two\r\n\r\n", 96},
      {"one line without a break", 0},
      {"", 0},
      {"\r\n手动在下方输入字符 'del' (不含'号)，以确定删除目录。\r\n\r\n"
       "此操作会删除目录下的所有文件，请谨慎选择！\r\n\r\n",
       64},
      {std::string(104, 'b') + "\r\n", 32},  // exactly two lines' worth, no rounding up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(ComputePromptMessageHeight(c.message), c.height);
  }
}

TEST(PromptDialog, DefaultsAndABlankMessage) {
  g_promptDialogOptions = PromptDialogOptions{.message = "   "};
  PromptDialog dialog;
  EXPECT_FALSE(dialog.MessageLabel()->isVisibleTo(&dialog));
  EXPECT_EQ(dialog.EditBox()->geometry(), QRect(14, 14, 328, 28));
  EXPECT_FALSE(dialog.Check1()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.Check2()->isVisibleTo(&dialog));
  EXPECT_EQ(dialog.windowTitle(), QtText(u"请输入文本内容"));
  // buttons: edit top 14 + 28 + 18; dialog: button top + 30 + 44
  EXPECT_EQ(dialog.OkButton()->y(), 60);
  EXPECT_EQ(dialog.height(), 134);
  // Halfway down the screen, the odd pixel cut off, and across it.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(dialog.y(), screen.y() + (screen.height() - 134) / 2);
  EXPECT_EQ(dialog.x(), screen.x() + (screen.width() - 362) / 2);
  dialog.show();
  EXPECT_EQ(dialog.pos(), QPoint(screen.x() + (screen.width() - 362) / 2,
                                 screen.y() + (screen.height() - 134) / 2));
}

TEST(PromptDialog, CheckBoxesStackedAndSideBySide) {
  PromptDialogOptions options{.title = "T",
                              .message = "\r\nline\r\n",
                              .stackCheckBoxes = 1,
                              .check1Visible = 1,
                              .check1Caption = "one",
                              .check2Visible = 1,
                              .check2Ticked = 1,
                              .check2Caption = "two"};
  g_promptDialogOptions = options;
  {
    PromptDialog dialog;
    // label 14 + 16 + 10 = edit top 40; edit bottom 68
    EXPECT_EQ(dialog.MessageLabel()->height(), 16);
    EXPECT_EQ(dialog.EditBox()->y(), 40);
    EXPECT_EQ(dialog.Check1()->geometry(), QRect(14, 78, 328, 16));
    EXPECT_EQ(dialog.Check2()->geometry(), QRect(14, 100, 328, 16));
    EXPECT_TRUE(dialog.Check2()->isChecked());
    EXPECT_EQ(dialog.OkButton()->y(), 68 + 22 + 22 + 18);
    EXPECT_EQ(dialog.windowTitle(), "T");
  }
  options.stackCheckBoxes = 0;
  g_promptDialogOptions = options;
  {
    PromptDialog dialog;
    EXPECT_EQ(dialog.Check1()->geometry(), QRect(14, 78, 150, 16));
    EXPECT_EQ(dialog.Check2()->geometry(), QRect(182, 78, 150, 16));
    EXPECT_EQ(dialog.OkButton()->y(), 68 + 22 + 18);
  }
}

TEST(PromptDialog, CloseByTheFrameIsCancelAndOkOnAnEmptyBoxGivesEmptyText) {
  g_promptText = "stale";
  QTimer::singleShot(0, [] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* dialog = dynamic_cast<PromptDialog*>(top); dialog && dialog->isVisible()) {
        dialog->close();
      }
    }
  });
  EXPECT_FALSE(ShowPromptDialog({.title = "t", .message = "m"}));
  EXPECT_EQ(g_promptText, "stale");

  QTimer::singleShot(0, [] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* dialog = dynamic_cast<PromptDialog*>(top); dialog && dialog->isVisible()) {
        dialog->OkButton()->click();
      }
    }
  });
  EXPECT_TRUE(ShowPromptDialog({.check1Visible = 1, .check1Ticked = 1}));
  EXPECT_EQ(g_promptText, "");
  EXPECT_TRUE(g_promptDialogOptions.check1Result);
}

TEST(PromptDialog, TheEditBoxHasTheFocusWhenShown) {
  for (const bool multiLine : {false, true}) {
    g_promptDialogOptions = PromptDialogOptions{.multiLine = multiLine, .check1Visible = 1};
    PromptDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.EditBox());
  }
}

TEST(PromptDialog, BothFormsOfTheEditBoxKeepTheMaximumLength) {
  const auto text = [](const PromptDialog& dialog) {
    if (const auto* lines = qobject_cast<const QPlainTextEdit*>(dialog.EditBox())) {
      return lines->toPlainText().toStdString();
    }
    return qobject_cast<const QLineEdit*>(dialog.EditBox())->text().toStdString();
  };
  const auto type = [](QWidget* edit, const QString& keys) {
    for (const QChar key : keys) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
      QApplication::sendEvent(edit, &press);
    }
  };
  for (const bool multiLine : {false, true}) {
    SCOPED_TRACE(multiLine ? "several lines" : "one line");
    g_promptDialogOptions =
        PromptDialogOptions{.defaultText = "abcdef", .multiLine = multiLine, .maxLength = 4};
    PromptDialog dialog;
    EXPECT_EQ(text(dialog), "abcd");  // a longer default text is cut
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(dialog.EditBox(), &focus);  // the caret after the text
    type(dialog.EditBox(), QStringLiteral("xy"));
    EXPECT_EQ(text(dialog), "abcd");
    if (auto* lines = qobject_cast<QPlainTextEdit*>(dialog.EditBox())) {
      lines->setPlainText(QString());
    } else {
      qobject_cast<QLineEdit*>(dialog.EditBox())->clear();
    }
    type(dialog.EditBox(), QStringLiteral("12345"));
    EXPECT_EQ(text(dialog), "1234");
    dialog.OkButton()->click();
    EXPECT_EQ(g_promptText, "1234");
  }
}

TEST(PromptDialog, FocusPutsTheCaretAfterTheDefaultText) {
  g_promptDialogOptions = PromptDialogOptions{.defaultText = "abc"};
  PromptDialog dialog;
  auto* edit = qobject_cast<QLineEdit*>(dialog.EditBox());
  ASSERT_NE(edit, nullptr);
  edit->setSelection(0, 2);
  QFocusEvent focus(QEvent::FocusIn);
  QApplication::sendEvent(edit, &focus);
  EXPECT_EQ(edit->cursorPosition(), 3);
  EXPECT_FALSE(edit->hasSelectedText());
}

}  // namespace
