#pragma once
// The keyword rules window ("替换关键词设置"): the two replacement modes with
// their word lists, saved to "keyreplace.ini" (ui/keyword_rules.h). Its
// controls are bound to a ControlStore of its own, which the loading thread
// shares; a load that outlives the window writes into that store only.
// User-interface thread.

#include <QDialog>
#include <memory>

class ControlBinding;
class ControlStore;

class KeywordRulesWindow : public QDialog {
 public:
  explicit KeywordRulesWindow(QWidget* parent = nullptr);
  ~KeywordRulesWindow() override;
  // Starts LoadKeywordRules on a thread of its own.
  void OnCreated();
  const std::shared_ptr<ControlStore>& Store() const { return m_store; }

 private:
  std::shared_ptr<ControlStore> m_store;
  ControlBinding* m_binding = nullptr;
};

// Opens a keyword rules window owned by owner, without making it modal.
void OpenKeywordRulesWindow(QWidget* owner);
