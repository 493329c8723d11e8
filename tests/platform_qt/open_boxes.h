#pragma once
// What the message-box tests share: handling events until something holds,
// and finding the desktop's open boxes.

#include <QApplication>
#include <QMessageBox>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

// Handles events until condition holds or maxMs of real time have passed.
inline bool ProcessUntil(const std::function<bool()>& condition, int maxMs = 5000) {
  const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > due)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// The desktop's message boxes now on the screen.
inline std::vector<QMessageBox*> OpenBoxes() {
  std::vector<QMessageBox*> boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box && box->isVisible() && box->objectName() == "quillmere_message_box")
      boxes.push_back(box);
  }
  return boxes;
}
