// The copy job's source list: reading the box `编辑框_被复制对象` and adding
// the tree's current item to it.

#include "data/json_document.h"
#include "data/json_tree_node.h"
#include "foundation/message_box.h"
#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "foundation/waits.h"
#include "jobs/copy_job.h"
#include "jobs/copy_job_state.h"
#include "jobs/keyword_entries.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/folder_tree_model.h"
#include "web/remote_name_text.h"
#include "web/remote_tree_paths.h"

namespace {

constexpr int kNoticeTimeoutMs = 10000;
constexpr int kQuestionTimeoutMs = 30000;

// The box keeps its JSON list in the program's text: the characters code page
// 936 lacks as JSON escapes ("\uD83D\uDE00"), which read back exactly and which
// the box shows as the characters themselves.
std::string ListBoxText(const JsonDocument& list) {
  return EscapeBeyondCodePage(list.GetJsonTextW(""), false);
}

std::string ElementPath(int i) {
  return TextToUtf16("[" + std::to_string(i) + "]", true);
}

}  // namespace

TextArray ReadCopySourceList(const std::string& text) {
  JsonDocument list;
  if (list.Parse(text) && list.GetType("") == static_cast<int>(JsonNodeType::Array)) {
    TextArray sources;
    const int count = list.GetCount("");
    for (int i = 0; i < count; ++i) {
      sources.push_back(EscapeBeyondCodePage(list.GetTextW(ElementPath(i)), true));
      PumpMessages();
    }
    return sources;
  }
  return KeywordEntries(text);
}

void OnAddCopySourceSelected() {
  ControlStore& store = GetControlStore();
  if (GetFolderTree().Current() < 0) {
    ShowTimedMessageBox("提示：", "没有选中。", kNoticeTimeoutMs, kBoxIconInformation);
    return;
  }
  if (!store.Enabled(kStartCopyButton)) {
    ShowTimedMessageBox("提示：", "当前已有复制任务，不能切换。", kNoticeTimeoutMs,
                        kBoxIconInformation);
    return;
  }
  int isFolder = 0;
  const std::string path = GetRemoteTreeNodePath(isFolder, 0);
  if (path.empty()) {
    ShowTimedMessageBox("提示：", "没有选中。", kNoticeTimeoutMs, kBoxIconInformation);
    return;
  }
  const std::string text = store.Text(kCopySourcesEdit);
  const TextArray sources = ReadCopySourceList(text);
  for (const std::string& source : sources) {
    if (source == path) {
      ShowTimedMessageBox("提示", "当前选择的文件已在复制列表中。", kNoticeTimeoutMs,
                          kBoxIconInformation);
      return;
    }
  }
  if (!text.empty() &&
      ShowTimedMessageBox(
          "提示：",
          "确定新增加一个待复制的文件吗？如果需要清空，请手动删除下方文本框里的内容即可。",
          kQuestionTimeoutMs, kBoxYesNo | kBoxIconQuestion) != kBoxResultYes) {
    return;
  }
  JsonDocument list;
  list.Parse("[]");
  const std::string append = TextToUtf16("[]", true);
  for (const std::string& source : sources) {
    list.SetStringW(append, Utf8TextToUtf16(RemoteNameUtf8(source)));
  }
  list.SetStringW(append, Utf8TextToUtf16(RemoteNameUtf8(path)));
  store.SetText(kCopySourcesEdit, ListBoxText(list));
}
