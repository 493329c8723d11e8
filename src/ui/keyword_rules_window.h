#pragma once
// The keyword rules window ("替换关键词设置"): the two replacement modes with
// their word lists, saved to "keyreplace.ini" (ui/keyword_rules.h). Its
// controls are bound to a ControlStore of its own, which the loading thread
// shares; a load that outlives the window writes into that store only.
//
// Text files dropped on `编辑框2`, `透明标签2` or `透明标签7` are imported into
// the replacement words, one after the other. The drops go through the
// program's two drop targets (g_keywordEditDropTarget, g_keywordLabelDropTarget),
// which serve one window: the program keeps at most one keyword rules window
// open. User-interface thread.

#include <QDialog>
#include <deque>
#include <memory>
#include <string>

class ControlBinding;
class ControlStore;

class KeywordRulesWindow : public QDialog {
 public:
  explicit KeywordRulesWindow(QWidget* parent = nullptr);
  ~KeywordRulesWindow() override;
  // Rescales the window from 96 DPI (once), starts LoadKeywordRules on a
  // thread of its own and makes the three drop places accept files.
  void OnCreated();
  // Imports the dropped file at `path` (a copy is kept for the import). The
  // import runs once the drop has been answered, since it shows a box; the
  // files of one drop are imported in order, each with its own count box.
  void OnKeywordFileDropped(const std::string& path);
  const std::shared_ptr<ControlStore>& Store() const { return m_store; }

 private:
  // Imports from `path` (empty: asks for the file) and shows the end of the
  // replacement words.
  void Import(const std::string& path);

  void ImportDroppedFiles();

  std::shared_ptr<ControlStore> m_store;
  ControlBinding* m_binding = nullptr;
  bool m_rescaled = false;
  std::deque<std::string> m_droppedFiles;
  bool m_importingDrops = false;
};

// Opens the keyword rules window owned by owner, without making it modal; when
// it is open already, brings it to the front. Returns the window.
KeywordRulesWindow* OpenKeywordRulesWindow(QWidget* owner);
