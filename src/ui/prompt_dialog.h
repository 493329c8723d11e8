#pragma once
// The program's general question box ("请输入文本内容"): a message, one edit
// box for the answer, up to two check boxes, OK and Cancel, all placed at run
// time from the options the caller gives ShowPromptDialog.
//
// Tests replace the dialog with a scripted routine (InstallPromptRoutine): it
// reads g_promptDialogOptions and writes the results and g_promptText as the
// dialog's buttons would.
//
// User-interface thread.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Input modes of the edit box.
inline constexpr int kPromptInputNormal = 0;
inline constexpr int kPromptInputReadOnly = 1;
inline constexpr int kPromptInputPassword = 2;

// The options in the order of their documented parameter list, with the
// defaults of an option left out, and the results the buttons write.
struct PromptDialogOptions {
  std::string title{};    // empty keeps "请输入文本内容"
  std::string message{};  // lines separated by CR LF
  std::string defaultText{};
  std::uint32_t messageColour = 0x00606060;  // 0x00BBGGRR
  int inputMode = kPromptInputNormal;        // negative counts as normal
  bool multiLine = false;
  int maxLength = 0;  // 0: the control's own maximum
  int editHeight = 28;
  int messageHeight = -1;  // -1: computed from the message
  int stackCheckBoxes = 0;
  int check1Visible = 0;
  int check1Ticked = 0;
  std::string check1Caption{};
  int check2Visible = 0;
  int check2Ticked = 0;
  std::string check2Caption{};

  // Results.
  bool accepted = false;
  bool check1Result = false;
  bool check2Result = false;
};

// The options of the latest ShowPromptDialog and its results.
extern PromptDialogOptions g_promptDialogOptions;
// The edit box text at OK; kept between calls (callers that test it empty it
// first).
extern std::string g_promptText;

// Copies options into g_promptDialogOptions, opens the dialog modally (owned
// by parent when given) and returns true when the user pressed OK.
bool ShowPromptDialog(const PromptDialogOptions& options = {}, QWidget* parent = nullptr);

// What ShowPromptDialog runs instead of the dialog: reads
// g_promptDialogOptions, writes its results and g_promptText, returns the
// accepted flag. An empty routine restores the dialog. Returns the previous.
using PromptRoutine = std::function<bool(QWidget* parent)>;
PromptRoutine InstallPromptRoutine(PromptRoutine routine);

// Height in pixels of the message label for message: 16 per line, lines
// counted in code page 936 bytes, 52 to a line; the trailing empty line after
// a final break is not shown, so one line without any break gives 0.
int ComputePromptMessageHeight(std::string_view message);

class PromptDialog : public QDialog {
 public:
  explicit PromptDialog(QWidget* parent = nullptr);

  // Places and fills the controls from g_promptDialogOptions and sets the
  // accepted flag to false, so a close by the frame counts as Cancel.
  void Layout();

  QLabel* MessageLabel() const { return m_message; }
  QWidget* EditBox() const;
  QCheckBox* Check1() const { return m_check1; }
  QCheckBox* Check2() const { return m_check2; }
  QPushButton* OkButton() const { return m_ok; }
  QPushButton* CancelButton() const { return m_cancel; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnOk();
  void OnCancel();
  QString EditText() const;

  QLabel* m_message = nullptr;
  QLineEdit* m_line = nullptr;
  QPlainTextEdit* m_lines = nullptr;
  QCheckBox* m_check1 = nullptr;
  QCheckBox* m_check2 = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
};
