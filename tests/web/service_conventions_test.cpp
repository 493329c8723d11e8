// What every service request shares: the header block, the request ids, the
// task id cut, the mode and sort values, the text edits of the request
// builders and the result-log files.

#include "web/service_conventions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "foundation/file_system_path.h"
#include "foundation/shared_locks.h"
#include "platform/control_store.h"
#include "support/scratch_folder.h"
#include "web/main_window_controls.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_config.h"
#include "web/service_text.h"

namespace {

class ServiceConventionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QUILLMERE_WEB_HOST", "pan.example:8443", 1);
    LoadServiceConfig();
    GetControlStore().Clear();
  }
};

TEST_F(ServiceConventionsTest, HeaderTemplateCarriesTheBodyLengthInBytes) {
  const std::string expected =
      "Accept: application/json, text/javascript, */*; q=0.01\r\n"
      "Accept-Encoding: deflate, br\r\n"
      "Accept-Language: zh-CN,zh;q=0.9\r\n"
      "Cache-Control: no-cache\r\n"
      "Connection: keep-alive\r\n"
      "Content-Length: 1234\r\n"
      "Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n"
      "Host: pan.example:8443\r\n"
      "Origin: https://pan.example:8443\r\n"
      "Pragma: no-cache\r\n"
      "Referer: https://pan.example:8443/disk/home\r\n"
      "Sec-Fetch-Dest: empty\r\n"
      "Sec-Fetch-Mode: cors\r\n"
      "Sec-Fetch-Site: same-origin\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/80.0.3987.87 Safari/537.36 SE 2.X MetaSr 1.0\r\n"
      "X-Requested-With: XMLHttpRequest";
  EXPECT_EQ(FillRequestHeaderTemplate(1234), expected);
  EXPECT_THAT(FillRequestHeaderTemplate(0), ::testing::HasSubstr("\r\nContent-Length: 0\r\n"));
  EXPECT_THAT(RequestHeaderTemplate(), ::testing::HasSubstr("\r\nContent-Length: 长度\r\n"));
}

TEST_F(ServiceConventionsTest, LogIdIsTheBase64OfTheBaiduIdCookie) {
  struct Row {
    const char* name;
    const char* cookies;
    const char* logid;
  };
  const Row rows[] = {
      {"no BAIDUID", "BDUSS=b; STOKEN=s", ""},
      {"empty text", "", ""},
      {"one character pads twice", "BAIDUID=A; BDUSS=b", "QQ=="},
      {"two characters pad once", "BDUSS=b; BAIDUID=AB", "QUI="},
      {"three characters, no padding", "BAIDUID=ABC", "QUJD"},
      {"name without case", "baiduid=ABC", "QUJD"},
      {"only an entry beginning with the name", "XBAIDUID=1; BAIDUID=ABC", "QUJD"},
      {"value holding '=' and ':'", "BAIDUID=x:FG=1", "eDpGRz0x"},
      {"entries separated without a blank", "BDUSS=b;BAIDUID=AB", "QUI="},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MakeLogIdFromCookies(row.cookies), row.logid);
  }
}

TEST_F(ServiceConventionsTest, TaskIdAndTaskQuery) {
  EXPECT_EQ(CutTaskId("{\"errno\":0,\"info\":[],\"request_id\":1,\"taskid\":260145123456789}"),
            "260145123456789");
  EXPECT_EQ(CutTaskId("{\"errno\":0,\"info\":[],\"request_id\":1}"), "");
  EXPECT_EQ(RenameTaskQueryUrl("42"),
            "https://pan.example:8443/share/taskquery?taskid=42&clienttype=0&app_id=250528&web=1"
            "&dp-logid=");
}

TEST_F(ServiceConventionsTest, RadiosChooseSortOrderInTheirTestingOrder) {
  struct Row {
    const char* name;
    std::vector<const char*> ticked;
    const char* order;
    const char* desc;
  };
  const Row rows[] = {
      {"none", {}, "time", "1"},
      {"name ascending", {kSortNameAscRadio}, "name", "0"},
      {"name descending", {kSortNameDescRadio}, "name", "1"},
      {"time ascending", {kSortTimeAscRadio}, "time", "0"},
      {"time descending", {kSortTimeDescRadio}, "time", "1"},
      {"first in order wins", {kSortTimeAscRadio, kSortNameDescRadio}, "name", "1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GetControlStore().Clear();
    for (const char* radio : row.ticked) {
      GetControlStore().SetChecked(radio, true);
    }
    const ListingSortOrder sort = ReadListingSortOrder();
    EXPECT_EQ(sort.order, row.order);
    EXPECT_EQ(sort.desc, row.desc);
  }
}

TEST_F(ServiceConventionsTest, TextEditsOfTheRequestBuilders) {
  EXPECT_EQ(CountTextOccurrences("%7B%22id%22%3A1%7b%22id%22%3a2", "%7B%22id%22%3A"), 2);
  EXPECT_EQ(CountTextOccurrences("%7B%22id%22%3A1%7b%22id%22%3a2", "%7B%22id%22%3A", true), 1);
  EXPECT_EQ(CountTextOccurrences("aaaa", "aa"), 2);
  EXPECT_EQ(CountTextOccurrences("", "a"), 0);
  EXPECT_EQ(CountTextOccurrences("a", ""), 0);
  EXPECT_EQ(ReplaceAllText("x%2c%5D", "%2C%5D", "%5D", true), "x%5D");
  EXPECT_EQ(ReplaceAllText("a+b+", "+", "%20"), "a%20b%20");
  // A trail byte never starts a match: 0x81 0x2B is one character.
  EXPECT_EQ(ReplaceAllText("\x81+", "+", "%20"), "\x81+");
}

TEST_F(ServiceConventionsTest, UserNamesAreMadeSafeForFileNames) {
  struct Row {
    const char* name;
    const char* user;
    const char* safe;
  };
  const Row rows[] = {
      {"plain", "demo_01", "demo_01"},
      {"Chinese kept whole", "张三", "张三"},
      {"slash", "a/b", "a_b"},
      {"backslash", "a\\b", "a_b"},
      {"parent folder", "../../x", "______x"},
      {"single dot kept", "a.b", "a.b"},
      {"control characters", "a\tb\x7f", "a_b_"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SafeFileNamePart(row.user), row.safe);
  }
}

std::string ReadFile(const std::string& cp936Path) {
  std::ifstream in(FileSystemPathFromText(cp936Path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ServiceConventionsTest, ResultLogsAreCreatedThenGrowPerAccount) {
  ScratchFolder folder;
  setenv("QUILLMERE_HOME", folder.Utf8().c_str(), 1);
  std::lock_guard lock(g_counterLock);
  g_renameTaskStamp = "2025年7月9日13时";
  const std::string first = ResultLogPath("甲", kLogRenamed);
  EXPECT_EQ(first, folder.Utf8() + "/甲_修改成功_2025年7月9日13时.txt");
  EXPECT_TRUE(AppendResultLogEntry("甲", kLogRenamed, "/a---->b"));
  EXPECT_TRUE(AppendResultLogEntry("甲", kLogRenamed, "/c---->d\r\n"));
  EXPECT_TRUE(AppendResultLogEntry("乙", kLogRenamed, "/e---->f"));
  EXPECT_EQ(ReadFile(first), "/a---->b\r\n/c---->d\r\n\r\n");
  EXPECT_EQ(ReadFile(ResultLogPath("乙", kLogRenamed)), "/e---->f\r\n");

  EXPECT_TRUE(AppendResultLogEntry("../x", kLogRenamed, "y"));
  EXPECT_EQ(ReadFile(folder.Utf8() + "/___x_修改成功_2025年7月9日13时.txt"), "y\r\n");
}

}  // namespace
