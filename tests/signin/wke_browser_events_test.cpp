// The browser control's events over the recording engine: the answers to the
// engine, new windows and pop-ups, input through the window procedure, the
// teardown and the file chooser.

#include <QLineEdit>
#include <QTest>

#include "foundation/common_dialogs.h"
#include "platform/code_page_codec.h"
#include "platform/scripted_file_dialogs.h"
#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"

namespace {

enum class Handler { kNone, kNoValue, kTrue, kFalse };

ControlEventHandler MakeHandler(Handler kind) {
  switch (kind) {
    case Handler::kNone:
      return {};
    case Handler::kNoValue:
      return [](ControlEvent&) -> std::optional<std::intptr_t> { return std::nullopt; };
    case Handler::kTrue:
      return [](ControlEvent&) -> std::optional<std::intptr_t> { return 1; };
    case Handler::kFalse:
      return [](ControlEvent&) -> std::optional<std::intptr_t> { return 0; };
  }
  return {};
}

// Types `character` into the instance's window procedure; the code it passes
// on to the procedure before it, or -1 when it drops the message.
std::intptr_t CharacterPassedOn(WkeBrowserControl& instance, char16_t character) {
  static std::intptr_t passed;
  passed = -1;
  const WindowProcedure previous = instance.previousProcedure;
  instance.previousProcedure = [](WindowHandle, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t) -> std::intptr_t {
    passed = message == kWmChar ? static_cast<std::intptr_t>(wParam) : -2;
    return 0;
  };
  WkeBrowserControl::WindowProc(instance.browserWindow, kWmChar, character, 0);
  instance.previousProcedure = previous;
  return passed;
}

struct Control {
  explicit Control(const void* stored = nullptr, int length = 0)
      : windowId(NewOwnerWindowId()), host(CreateTestControl(parent, windowId, stored, length)) {}
  WkeBrowserControl* Instance() const { return WkeBrowserControl::FromHost(host); }
  WkeView View() const { return Instance()->View(); }
  QLineEdit* Window() const { return static_cast<QLineEdit*>(WidgetOf(Instance()->browserWindow)); }
  void Bind(int event, ControlEventHandler handler) const {
    BindControlEvent(windowId, 1, event, std::move(handler));
  }
  QWidget parent;
  int windowId;
  HostHandle host;
};

TEST(WkeBrowserEventsTest, AnswersToTheEngineFollowTheEventsTable) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  Control control;
  ASSERT_NE(control.host, 0);
  struct Row {
    int event;
    const char* notification;  // null: a typed character through the window procedure
    std::intptr_t answers[4];  // none, no value, true, false
  };
  // For the typed character the answer is the code passed on (-1: dropped).
  const Row rows[] = {
      {kWkeEventNavigating, "wkeOnNavigation", {1, 1, 1, 0}},
      {kWkeEventConfirmBox, "wkeOnConfirmBox", {1, 1, 1, 0}},
      {kWkeEventPromptBox, "wkeOnPromptBox", {1, 1, 1, 0}},
      {kWkeEventDownloadRequested, "wkeOnDownload", {0, 0, 0, 1}},
      {kWkeEventRequestStarting, "wkeOnLoadUrlBegin", {0, 1, 1, 0}},
      {kWkeEventCharTyped, nullptr, {'x', 'x', 1, -1}},
      {kWkeEventWindowClosing, "wkeOnWindowClosing", {1, 1, 1, 0}},
  };
  for (const Row& row : rows) {
    for (int kind = 0; kind < 4; ++kind) {
      control.Bind(row.event, MakeHandler(static_cast<Handler>(kind)));
      const std::intptr_t answer = row.notification != nullptr
                                       ? folder.Fire(control.View(), row.notification, u"https://a/x")
                                       : CharacterPassedOn(*control.Instance(), 'x');
      EXPECT_EQ(answer, row.answers[kind]) << row.event << " handler " << kind;
    }
    control.Bind(row.event, {});
  }
}

TEST(WkeBrowserEventsTest, ThePromptCarriesItsMessageAndDefaultText) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  Control control;
  std::vector<std::string> texts;
  control.Bind(kWkeEventPromptBox, [&](ControlEvent& event) -> std::optional<std::intptr_t> {
    for (int i = 0; i < event.argumentCount; ++i) texts.push_back(event.arguments[i].text);
    return std::nullopt;
  });
  folder.Fire(control.View(), "wkeOnPromptBox", u"name?", u"preset");
  EXPECT_EQ(texts, (std::vector<std::string>{"name?", "preset"}));
}

TEST(WkeBrowserEventsTest, NewWindowsAreRefusedOrOpenedAsPopupsThatRaiseNothing) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  const WkeWindowFeatures place{10, 20, 640, 300};
  {
    Control refusing;  // AllowNewWindows false (the default)
    EXPECT_EQ(folder.Fire(refusing.View(), "wkeOnCreateView", u"https://a/", u"", 0, &place), 0);
    WkeBrowserControl allowed;
    allowed.allowNewWindows = 1;
    const WkeBrowserPropertyBlob blob = MakeWkePropertyBlob(allowed);
    Control vetoing(blob.data(), static_cast<int>(blob.size()));
    vetoing.Bind(kWkeEventNewWindowRequested, MakeHandler(Handler::kFalse));
    EXPECT_EQ(folder.Fire(vetoing.View(), "wkeOnCreateView", u"https://a/", u"", 0, &place), 0);
  }
  WkeBrowserControl allowed;
  allowed.allowNewWindows = 1;
  const WkeBrowserPropertyBlob blob = MakeWkePropertyBlob(allowed);
  Control opener(blob.data(), static_cast<int>(blob.size()));
  std::string address;
  std::intptr_t created = 0;
  int raised = 0;
  opener.Bind(kWkeEventNewWindowRequested, [&](ControlEvent& event) -> std::optional<std::intptr_t> {
    address = event.arguments[1].text;
    return std::nullopt;
  });
  opener.Bind(kWkeEventPopupCreating, [&](ControlEvent& event) -> std::optional<std::intptr_t> {
    *reinterpret_cast<int*>(event.arguments[3].integer) = 777;  // the width, in place
    return std::nullopt;
  });
  opener.Bind(kWkeEventPopupCreated, [&](ControlEvent& event) -> std::optional<std::intptr_t> {
    created = event.arguments[0].integer;
    return std::nullopt;
  });
  opener.Bind(kWkeEventTitleChanged, [&](ControlEvent&) -> std::optional<std::intptr_t> {
    ++raised;
    return std::nullopt;
  });
  folder.ClearLog();
  const std::intptr_t popup =
      folder.Fire(opener.View(), "wkeOnCreateView", u"https://a/new", u"", 0, &place);
  ASSERT_NE(popup, 0);
  EXPECT_EQ(address, "https://a/new");
  EXPECT_EQ(created, popup);
  const std::string log = folder.Log();
  EXPECT_NE(log.find("wkeCreateWebWindow 0 10 20 777 300\n"), std::string::npos) << log;
  EXPECT_NE(log.find("wkeSetWindowTitleW webkit\nwkeShowWindow 1\n"), std::string::npos) << log;
  const auto view = reinterpret_cast<WkeView>(popup);
  QWidget* window = reinterpret_cast<QWidget*>(WkeExport<WkeGetWindowHandleFn>(kWke_wkeGetWindowHandle)(view));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("webkit"));
  folder.Fire(view, "wkeOnTitleChanged", u"Page title");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Page title"));
  EXPECT_EQ(raised, 0);
  EXPECT_EQ(folder.Fire(view, "wkeOnNavigation", u"https://b/"), 1);
  EXPECT_EQ(folder.Fire(view, "wkeOnLoadUrlBegin", u"https://b/"), 1);
  delete window;
}

TEST(WkeBrowserEventsTest, MouseAndKeysGoThroughTheWindowProcedure) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  Control control;
  control.parent.show();
  QLineEdit* window = control.Window();
  std::vector<std::intptr_t> press;
  control.Bind(kWkeEventLeftButtonDown, [&](ControlEvent& event) -> std::optional<std::intptr_t> {
    press = {event.arguments[0].integer, event.arguments[1].integer, event.arguments[2].integer};
    return std::nullopt;
  });
  QTest::mousePress(window, Qt::LeftButton, Qt::ShiftModifier, QPoint(-5, 7));
  EXPECT_EQ(press, (std::vector<std::intptr_t>{-5, 7, 1}));

  // F5 reloads even when the key is dropped; with DisableF5Refresh it does not.
  control.Bind(kWkeEventKeyDown, MakeHandler(Handler::kFalse));
  folder.ClearLog();
  QTest::keyClick(window, Qt::Key_F5);
  EXPECT_EQ(folder.Log(), "wkeReload\n");
  WkeBrowserControl::SetProperty(control.host, kWkeDisableF5Refresh, {"", 1});
  folder.ClearLog();
  QTest::keyClick(window, Qt::Key_F5);
  EXPECT_EQ(folder.Log(), "");
  control.Bind(kWkeEventKeyDown, {});

  struct Row {
    std::function<std::optional<std::intptr_t>(ControlEvent&)> handler;
    QString typed;
  };
  const Row rows[] = {
      {{}, QStringLiteral("xy")},
      {[](ControlEvent&) -> std::optional<std::intptr_t> { return 'A'; }, QStringLiteral("AA")},
      {[](ControlEvent&) -> std::optional<std::intptr_t> { return 0; }, QString()},
  };
  for (const Row& row : rows) {
    window->clear();
    control.Bind(kWkeEventCharTyped, row.handler);
    QTest::keyClicks(window, QStringLiteral("xy"));
    EXPECT_EQ(window->text(), row.typed);
  }
}

TEST(WkeBrowserEventsTest, TheWindowsEndTearsTheInstanceDownOnce) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  auto control = std::make_unique<Control>();
  const int windowId = control->windowId;
  ASSERT_NE(WkeBrowserRegistry::Find(windowId, 1)->instance, nullptr);
  control.reset();
  EXPECT_EQ(WkeBrowserRegistry::Find(windowId, 1)->instance, nullptr);
  EXPECT_EQ(WkeBrowserRegistry::Find(windowId, 1)->host, 0);
  EXPECT_EQ(WkeBrowserControl::GetCookieText({windowId, 1, nullptr}), "");
}

TEST(WkeBrowserEventsTest, ThePagesFileChooserRaisesTheEventOnTheFirstControl) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  ScriptedFileDialogs dialogs;
  ScopedFileDialogs useDialogs(dialogs);
  auto control = std::make_unique<Control>();
  using ChooseFn = int (*)(WkeView, char16_t*, std::size_t);
  const auto choose = folder.Recording<ChooseFn>("recordingChooseFile");
  ASSERT_NE(choose, nullptr);
  char16_t buffer[64] = {};

  control->Bind(kWkeEventFileChooserOpening, [](ControlEvent& event) -> std::optional<std::intptr_t> {
    event.arguments[0].text = "/home/u/a.txt";
    return 0;
  });
  EXPECT_EQ(choose(control->View(), buffer, 64), kWkeFileChosen);
  EXPECT_EQ(std::u16string(buffer), u"/home/u/a.txt");

  int raised = 0;
  control->Bind(kWkeEventFileChooserOpening, [&](ControlEvent&) -> std::optional<std::intptr_t> {
    ++raised;
    return std::nullopt;
  });
  dialogs.AnswerNextWideOpen(std::nullopt);
  EXPECT_EQ(choose(control->View(), buffer, 64), kWkeFileCancelled);  // the real dialog, cancelled
  EXPECT_EQ(raised, 1);

  const WkeView view = control->View();
  control.reset();
  EXPECT_EQ(choose(view, buffer, 64), kWkeFileDefault);
  EXPECT_EQ(raised, 1);
}

// The chooser and the auto-answer both answer the process's open dialog: each
// passes on to the one installed before it and puts it back when removed,
// whichever came first.
TEST(WkeBrowserEventsTest, TheFileChooserAndTheAutoAnswerStackInEitherOrder) {
  ScriptedDesktopGuard ui;
  ScriptedFileDialogs dialogs(ReportToGtest);  // no real dialog may open
  ScopedFileDialogs useDialogs(dialogs);
  int raised = 0;
  const auto countEvents = [&raised](ControlEvent&) -> std::optional<std::intptr_t> {
    ++raised;
    return std::nullopt;  // leaves the choice to the dialog
  };
  const auto askDialog = [] {
    WideOpenFileName dialog;
    dialog.maxFileChars = 64;
    return GetOpenFileNameWide(dialog) ? dialog.file : u"(cancelled)";
  };

  {  // The auto-answer first, then the chooser.
    EngineFolder folder;
    CommonDialogs common;
    common.SetAutoAnswerPath(Utf16ToLeBytes(u"/preset/a.txt"));
    ASSERT_TRUE(common.InstallAutoAnswer());
    Control control;
    control.Bind(kWkeEventFileChooserOpening, countEvents);
    EXPECT_EQ(askDialog(), u"/preset/a.txt");
    EXPECT_EQ(raised, 1);
    FileChooserHook::Remove();
    EXPECT_EQ(askDialog(), u"/preset/a.txt");
    EXPECT_EQ(raised, 1);
    common.RemoveAutoAnswer();
    EXPECT_FALSE(HasWideOpenAnswerer());
  }

  raised = 0;
  {  // The chooser first, then the auto-answer.
    EngineFolder folder;
    Control control;
    control.Bind(kWkeEventFileChooserOpening, countEvents);
    CommonDialogs common;
    common.SetAutoAnswerPath(Utf16ToLeBytes(u"/preset/b.txt"));
    ASSERT_TRUE(common.InstallAutoAnswer());
    EXPECT_EQ(askDialog(), u"/preset/b.txt");
    EXPECT_EQ(raised, 0);
    common.RemoveAutoAnswer();
    dialogs.AnswerNextWideOpen(u"/shown/c.txt");
    EXPECT_EQ(askDialog(), u"/shown/c.txt");
    EXPECT_EQ(raised, 1);
    FileChooserHook::Remove();
    EXPECT_FALSE(HasWideOpenAnswerer());
  }
  EXPECT_EQ(dialogs.WideOpenRequests().size(), 1u);
}

}  // namespace
