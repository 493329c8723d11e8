#include "ui/keyword_rules_window.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <fstream>

#include "platform/control_store.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "ui/keyword_rules.h"
#include "ui_test_support.h"

namespace {

TEST(KeywordRulesWindow, LoadsTheFileIntoItsOwnControls) {
  ScratchFolder folder;
  ScopedEnvironment home{"QUILLMERE_HOME", folder.Utf8()};
  std::ofstream(folder.Utf8("keyreplace.ini"), std::ios::binary) << "{\"普通要被替换的词\":\"kw\"}";
  auto* window = new KeywordRulesWindow;
  auto* edit = window->findChild<QPlainTextEdit*>(Q(u"编辑框1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(ProcessEventsUntil([&] { return edit->toPlainText() == QStringLiteral("kw"); }));
  EXPECT_FALSE(GetControlStore().Has(kNormalKeywordsEdit));  // not the main window's store
  // Closing before a load ends is safe: the load writes into the shared store.
  const auto store = window->Store();
  window->OnCreated();
  delete window;
  EXPECT_TRUE(
      ProcessEventsUntil([&] { return store->Text(kSpecifiedRulesEdit) == kEmptyRulesTemplate; }));
}

}  // namespace
