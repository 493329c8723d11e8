// Every operation that comes as a text form and a W form: given the same
// paths, keys and values (code page 936 text for one, UTF-16 bytes for the
// other) both must find the same node, give the same answer and leave the
// same tree. Paths and keys are Chinese, so a form that reads its arguments
// with the other conversion finds nothing.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/json_document.h"
#include "platform/code_page_codec.h"

namespace {

// Hands an operation its text arguments in the form it takes.
struct Args {
  bool wide;
  std::string operator()(const std::string& text) const {
    return wide ? Utf16ToLeBytes(DecodeToUtf16(text, kCodePageLocal)) : text;
  }
  // A text result back in code page 936; a W result must end in its terminator.
  std::string Back(const std::string& result) const {
    if (!wide)
      return result;
    if (result.size() < 2 || result.compare(result.size() - 2, 2, std::string(2, '\0')) != 0)
      return "<no terminator>";
    return EncodeFromUtf16(LeBytesToUtf16(result.substr(0, result.size() - 2)), kCodePageLocal);
  }
};

const char* const kFixture =
    "{\"名单\":[{\"名称\":\"甲\",\"数\":1.50},{\"名称\":\"乙\",\"真\":true}],"
    "\"表\":{\"键\":\"值\",\"乙\":\"２\",\"甲\":-7}}";

std::string Flag(bool value) {
  return value ? "true" : "false";
}

std::string Names(const std::vector<std::string>& names, const Args& a) {
  std::string joined;
  for (const std::string& name : names)
    joined += a.Back(name) + ";";
  return joined;
}

int32_t ByText(const JsonNode& first, const JsonNode& second, int32_t) {
  return first.GetText("").compare(second.GetText(""));
}

using Op = std::function<std::string(JsonDocument&, const Args&)>;

TEST(JsonTwins, TextAndWideFormsAgree) {
  const JsonDocument source = [] {
    JsonDocument doc;
    EXPECT_TRUE(doc.Parse("{\"复制\":\"件\"}"));
    return doc;
  }();
  struct Row {
    const char* name;
    Op op;
    const char* result;  // what the text form gives
  } rows[] = {
      {"GetJsonText",
       [](JsonDocument& d, const Args& a) {
         return a.Back(a.wide ? d.GetJsonTextW(a("名单[0]")) : d.GetJsonText("名单[0]"));
       },
       "{\"名称\":\"甲\",\"数\":1.50}"},
      {"GetType",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(a.wide ? d.GetTypeW(a("表.键")) : d.GetType("表.键"));
       },
       "4"},
      {"GetParent",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.GetParentW(a("表.键")) : d.GetParent("表.键")).GetKey("");
       },
       "表"},
      {"GetCount",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(a.wide ? d.GetCountW(a("名单")) : d.GetCount("名单"));
       },
       "2"},
      {"RemoveMember",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.RemoveMemberW(a("表"), a("键")) : d.RemoveMember("表", "键"));
       },
       "true"},
      {"RemoveElement",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.RemoveElementW(a("名单"), 0) : d.RemoveElement("名单", 0));
       },
       "true"},
      {"ClearValue",
       [](JsonDocument& d, const Args& a) {
         a.wide ? d.ClearValueW(a("表.甲")) : d.ClearValue("表.甲");
         return d.GetJsonText("表.甲");
       },
       "null"},
      {"AddMember",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.AddMemberW(a("表"), a("新"), 5) : d.AddMember("表", "新", 5))
             .GetKey("");
       },
       "新"},
      {"AddMemberCopy",
       [&source](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.AddMemberCopyW(a("表"), a("新"), source)
                            : d.AddMemberCopy("表", "新", source));
       },
       "true"},
      {"InsertMemberAt",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.InsertMemberAtW(a("表"), 0, a("首"), 3)
                        : d.InsertMemberAt("表", 0, "首", 3))
             .GetKey("");
       },
       "首"},
      {"AddMemberFrom",
       [&source](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.AddMemberFromW(a("表"), a("新"), source)
                            : d.AddMemberFrom("表", "新", source));
       },
       "true"},
      {"GetMember",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.GetMemberW(a("表"), a("键")) : d.GetMember("表", "键")).GetText("");
       },
       "值"},
      {"GetKey",
       [](JsonDocument& d, const Args& a) {
         return a.Back(a.wide ? d.GetKeyW(a("名单[1].名称")) : d.GetKey("名单[1].名称"));
       },
       "名称"},
      {"AddElement",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(
             (a.wide ? d.AddElementW(a("名单"), 2) : d.AddElement("名单", 2)).GetType(""));
       },
       "2"},
      {"AddElementCopy",
       [&source](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.AddElementCopyW(a("名单"), source)
                            : d.AddElementCopy("名单", source));
       },
       "true"},
      {"InsertElementAt",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(
             (a.wide ? d.InsertElementAtW(a("名单"), 1, 4) : d.InsertElementAt("名单", 1, 4))
                 .GetType(""));
       },
       "4"},
      {"GetElement",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.GetElementW(a("表"), 1) : d.GetElement("表", 1)).GetText("");
       },
       "２"},
      {"SetElementCopy",
       [&source](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetElementCopyW(a("名单"), 3, source)
                            : d.SetElementCopy("名单", 3, source));
       },
       "true"},
      {"Exists",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.ExistsW(a("名单[1].真")) : d.Exists("名单[1].真"));
       },
       "true"},
      {"GetOrCreate",
       [](JsonDocument& d, const Args& a) {
         return (a.wide ? d.GetOrCreateW(a("新.子[1]")) : d.GetOrCreate("新.子[1]")).GetKey("");
       },
       ""},
      {"MakeObject",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.MakeObjectW(a("名单[0]")) : d.MakeObject("名单[0]"));
       },
       "true"},
      {"MakeArray",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.MakeArrayW(a("表")) : d.MakeArray("表"));
       },
       "true"},
      {"SetString",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetStringW(a("表.键"), a("新值")) : d.SetString("表.键", "新值"));
       },
       "true"},
      {"SetNull",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetNullW(a("表.键")) : d.SetNull("表.键"));
       },
       "true"},
      {"SetBool",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetBoolW(a("表.键"), true) : d.SetBool("表.键", true));
       },
       "true"},
      {"SetDouble",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetDoubleW(a("表.键"), 0.25) : d.SetDouble("表.键", 0.25));
       },
       "true"},
      {"SetInt64",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetInt64W(a("表.键"), 1234567890123456789)
                            : d.SetInt64("表.键", 1234567890123456789));
       },
       "true"},
      {"SetInt",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetIntW(a("表.键"), -3) : d.SetInt("表.键", -3));
       },
       "true"},
      {"ParseAt",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.ParseAtW(a("表.键"), a("{名:'值'}"))
                            : d.ParseAt("表.键", "{名:'值'}"));
       },
       "true"},
      {"SetCopy",
       [&source](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SetCopyW(a("名单[1]"), source) : d.SetCopy("名单[1]", source));
       },
       "true"},
      {"GetLiteral",
       [](JsonDocument& d, const Args& a) {
         return a.Back(a.wide ? d.GetLiteralW(a("名单[0].数")) : d.GetLiteral("名单[0].数"));
       },
       "1.50"},
      {"GetText",
       [](JsonDocument& d, const Args& a) {
         return a.Back(a.wide ? d.GetTextW(a("表.键")) : d.GetText("表.键"));
       },
       "值"},
      {"GetBool",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.GetBoolW(a("名单[1].真")) : d.GetBool("名单[1].真"));
       },
       "true"},
      {"GetDouble",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(a.wide ? d.GetDoubleW(a("表.乙")) : d.GetDouble("表.乙"));
       },
       "2.000000"},
      {"GetInt64",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(a.wide ? d.GetInt64W(a("表.甲")) : d.GetInt64("表.甲"));
       },
       "-7"},
      {"GetInt",
       [](JsonDocument& d, const Args& a) {
         return std::to_string(a.wide ? d.GetIntW(a("名单[0].数")) : d.GetInt("名单[0].数"));
       },
       "1"},
      {"GetMemberNames",
       [](JsonDocument& d, const Args& a) {
         std::vector<std::string> names;
         const int32_t count =
             a.wide ? d.GetMemberNamesW(a("表"), names) : d.GetMemberNames("表", names);
         return std::to_string(count) + ":" + Names(names, a);
       },
       "3:键;乙;甲;"},
      {"GetChildren",
       [](JsonDocument& d, const Args& a) {
         std::vector<JsonNode> children;
         const int32_t count =
             a.wide ? d.GetChildrenW(a("名单"), children) : d.GetChildren("名单", children);
         return std::to_string(count) + ":" +
                (children.empty() ? "" : children.back().GetText("名称"));
       },
       "2:乙"},
      {"SortMembers",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.SortMembersW(a("名单[0]"), true) : d.SortMembers("名单[0]", true));
       },
       "true"},
      {"SortWith",
       [](JsonDocument& d, const Args& a) {
         a.wide ? d.SortWithW(a("表"), ByText, 0) : d.SortWith("表", ByText, 0);
         return d.GetJsonText("表");
       },
       "{\"甲\":-7,\"乙\":\"２\",\"键\":\"值\"}"},
      {"InsertParsed",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.InsertParsedW(a("表"), a("{键:1,新:2}"), 1, true)
                            : d.InsertParsed("表", "{键:1,新:2}", 1, true));
       },
       "true"},
      {"Parse",
       [](JsonDocument& d, const Args& a) {
         int32_t code = 0;
         int32_t position = 0;
         const bool ok = a.wide ? d.ParseW(a("{\"键\":}"), 1, &code, &position)
                                : d.Parse("{\"键\":}", 1, &code, &position);
         return Flag(ok) + " " + std::to_string(code) + " " + std::to_string(position);
       },
       "false -6 5"},
      {"ResetAndParse",
       [](JsonDocument& d, const Args& a) {
         return Flag(a.wide ? d.ResetAndParseW(a("{\"名\":\"值\"}"))
                            : d.ResetAndParse(std::string("{\"名\":\"值\"}")));
       },
       "true"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument text;
    JsonDocument wide;
    ASSERT_TRUE(text.Parse(kFixture));
    ASSERT_TRUE(wide.Parse(kFixture));
    EXPECT_EQ(row.op(text, Args{false}), row.result);
    EXPECT_EQ(row.op(wide, Args{true}), row.result);
    EXPECT_EQ(wide.GetJsonText(""), text.GetJsonText(""));
  }
}

}  // namespace
