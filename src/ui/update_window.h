#pragma once
// The update window ("检测新版本", 338 x 318 design pixels): the newest
// version with its date and change notes, and the buttons "开始更新",
// "手动下载" and "下次再说". Its controls are bound to the ControlStore of its
// own UpdateSession (ui/update_session.h), which the fetch thread shares; a
// fetch that outlives the window writes into that store only.
//
// Create, show and close on the user-interface thread.

#include <QDialog>
#include <memory>

#include "ui/update_session.h"

class ControlBinding;

class UpdateWindow : public QDialog {
  Q_OBJECT
 public:
  explicit UpdateWindow(UpdaterServices services, QWidget* parent = nullptr);
  ~UpdateWindow() override;

  // The created handler: rescales to the screen DPI, shows the running
  // version, keeps the focus off the buttons and starts FetchUpdateInfo on a
  // thread of its own.
  void OnCreated();

  const std::shared_ptr<UpdateSession>& Session() const { return m_session; }

 private:
  void BuildControls();

  std::shared_ptr<UpdateSession> m_session;
  ControlBinding* m_binding = nullptr;
};

// Opens an update window owned by `owner` and returns when it has closed.
void OpenUpdateWindowModal(const UpdaterServices& services, QWidget* owner);
