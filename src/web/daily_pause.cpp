#include "web/daily_pause.h"

#include <mutex>
#include <string>

#include "foundation/date_time.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/waits.h"
#include "platform/control_store.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"

namespace {

// The pause rewrites its line and looks at the date and the box this often.
constexpr int kPauseCheckMs = 3000;

int DailyLimit() {
  return ParseEditInteger(GetControlStore().Text(kDailyLimitEdit).c_str());
}

bool PauseBoxTicked() {
  return GetControlStore().Checked(kDailyPauseCheckBox);
}

std::string Today() {
  return FormatDateTime(std::nullopt, 1, 1);
}

}  // namespace

int ParseEditInteger(const char* text) {
  while (*text == ' ' || *text == '\t') {
    ++text;
  }
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > 2147483647LL) {
      value = 2147483647LL;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

void RunDailyPauseCheck() {
  if (!PauseBoxTicked() || DailyLimit() < 1 || g_dailyRenamedCount.load() < DailyLimit()) {
    return;
  }
  const std::string dayStamp = Today();
  for (;;) {
    if (Today() != dayStamp || !PauseBoxTicked()) {
      g_dailyRenamedCount.store(0);
      return;
    }
    {
      std::lock_guard lock(g_counterLock);
      ShowStatusText("总成功数：" + std::to_string(g_renamedCount.load()) +
                     " 当天已成功修改数量为：" + std::to_string(g_dailyRenamedCount.load()) +
                     "，因开启了暂停功能，等 00:00:00 点后（第二天）再继续操作。 现在时间：" +
                     FormatDateTime(std::nullopt, 1, 0));
    }
    WaitPumpingMessages(kPauseCheckMs);
    PumpMessages();
  }
}
