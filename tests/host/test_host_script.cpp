// The session script language: what a line means, and how a malformed line is reported.
#include "HostScript.h"
#include "ValueText.h"

#include <gtest/gtest.h>

using namespace kvx::host;

namespace {

TEST(HostScriptTest, ParsesEveryCommandWithItsArguments) {
    const Script s = ParseScript(R"(# a session
load "KTVR08C.so"
hostapp off
events on
params "DS" w"KVX001" "KVX001" 0 [1, "x"]
call CreateForm
call SetVisible true
call Execute [0, [true, [[["", "ed03"]], ["01"]]]]
call Notify 5 "data"   # a comment after the arguments
modal
  set frmKtvr08/ed03 "01"
  type frmKtvr08/ed03 "02"
  key frmKtvr08/ed03 Ctrl+Shift+Tab
  key frmKtvr08/ed03 F2
  click frmKtvr08/btnOk
  check frmKtvr08/chkView false
  choose frmKtvr08/cbo04 1
  choose frmKtvr08/cbo04 "全部"
  on-modal TfrmGeneCondition
    answer yes
  end
end
lookup [["01", "一厂"]]
expect event 256
expect event none
expect return 0
expect code 1
expect data "ok"
expect dialog "作业"
expect dialog none
expect text frmKtvr08/ed03 "01"
expect error "Not Assign"
focus frmKtvr08/ed03
close frmKtvr08
process
echo "done"
free
)",
                                 "t.kvs");
    ASSERT_EQ(s.Commands.size(), 24u);
    const auto& c = s.Commands;
    EXPECT_EQ(c[0].Kind, Verb::Load);
    EXPECT_EQ(c[0].Path, "KTVR08C.so");
    EXPECT_EQ(c[0].Line, 2);
    EXPECT_FALSE(c[1].Flag);
    EXPECT_TRUE(c[2].Flag);
    ASSERT_EQ(c[3].Values.size(), 5u);
    EXPECT_EQ(c[3].Values[0].VarType(), rt::varString);
    EXPECT_EQ(c[3].Values[1].VarType(), rt::varOleStr);
    EXPECT_EQ(c[3].Values[3].VarType(), rt::varInteger);
    EXPECT_EQ(c[4].Op, ControllerOp::CreateForm);
    EXPECT_TRUE(c[5].Flag);
    EXPECT_EQ(FormatValue(c[6].Value), R"([0, [true, [[["", "ed03"]], ["01"]]]])");
    EXPECT_EQ(c[7].Number, 5);
    EXPECT_EQ(FormatValue(c[7].Value), "\"data\"");

    ASSERT_EQ(c[8].Kind, Verb::Modal);
    const auto& body = c[8].Body;
    ASSERT_EQ(body.size(), 9u);
    EXPECT_EQ(body[0].Path, "frmKtvr08/ed03");
    EXPECT_EQ(body[1].Text, "02");
    EXPECT_TRUE(body[2].Keys.Ctrl && body[2].Keys.Shift && !body[2].Keys.Alt);
    EXPECT_EQ(body[2].Keys.Key, 0x09);
    EXPECT_EQ(KeyStrokeName(body[2].Keys), "Ctrl+Shift+Tab");
    EXPECT_EQ(body[3].Keys.Key, 0x71);
    EXPECT_FALSE(body[5].Flag);
    EXPECT_TRUE(body[6].Flag);
    EXPECT_EQ(body[6].Number, 1);
    EXPECT_FALSE(body[7].Flag);
    EXPECT_EQ(body[7].Text, "全部");
    ASSERT_EQ(body[8].Kind, Verb::OnModal);
    EXPECT_EQ(body[8].Path, "TfrmGeneCondition");
    ASSERT_EQ(body[8].Body.size(), 1u);
    EXPECT_EQ(body[8].Body[0].Number, static_cast<int>(DialogButton::Yes));

    EXPECT_EQ(c[10].Expect, ExpectKind::Event);
    EXPECT_EQ(c[10].Number, 256);
    EXPECT_TRUE(c[11].Flag);
    EXPECT_EQ(c[15].Text, "作业");
    EXPECT_TRUE(c[16].Flag);
    EXPECT_EQ(c[17].Path, "frmKtvr08/ed03");
    EXPECT_EQ(c[18].Expect, ExpectKind::Error);
    EXPECT_EQ(c[23].Kind, Verb::Free);
    EXPECT_EQ(c[23].Line, 37);
}

TEST(HostScriptTest, ValuesKeepTheirVariantTypes) {
    struct Case {
        const char* literal;
        rt::TVarType type;
        const char* printed;
    } cases[] = {
        {R"("abc")", rt::varString, R"("abc")"},
        {R"(w"宽")", rt::varOleStr, R"("宽")"},
        {"-12", rt::varInteger, "-12"},
        {"+7", rt::varInteger, "7"},
        {"3000000000", rt::varInt64, "3000000000"},
        {"-1.5", rt::varDouble, "-1.5"},
        {"2e3", rt::varDouble, "2000.0"},
        {"TRUE", rt::varBoolean, "true"},
        {"null", rt::varNull, "null"},
        {"empty", rt::varEmpty, "empty"},
        {"date(45306.5)", rt::varDate, "date(45306.5)"},
        {"[]", rt::varArray | rt::varVariant, "[]"},
        {R"([1, "a", [null]])", rt::varArray | rt::varVariant, R"([1, "a", [null]])"},
        {R"("q\"b\\s\n\r\t\x41\x01")", rt::varString, R"("q\"b\\s\n\r\tA\x01")"},
    };
    for (const auto& tc : cases) {
        const Script s = ParseScript(std::string("lookup ") + tc.literal, "v.kvs");
        ASSERT_EQ(s.Commands.size(), 1u) << tc.literal;
        EXPECT_EQ(s.Commands[0].Value.VarType(), tc.type) << tc.literal;
        EXPECT_EQ(FormatValue(s.Commands[0].Value), tc.printed) << tc.literal;
    }
}

TEST(HostScriptTest, MalformedLinesNameTheFileAndLine) {
    struct Case {
        std::string_view text;
        int line;
        const char* message;
    } cases[] = {
        {"clik frmKtvr08/btnOk", 1, "unknown command \"clik\""},
        {"\n\necho \"open", 3, "closing quotation mark"},
        {"echo \"a\\qb\"", 1, "unknown escape \\q"},
        {"echo \"\\x4\"", 1, "two hexadecimal digits"},
        {"echo \"\\xC3\"", 1, "ASCII characters only"},
        {"click", 1, "click: missing control path"},
        {"click a b", 1, "unexpected \"b\""},
        {"call Frobnicate", 1, "unknown controller operation"},
        {"call Notify x 1", 1, "expected kind (a 32-bit integer)"},
        {"call SetVisible maybe", 1, "expected true or false"},
        {"call Execute", 1, "missing value"},
        {"key a/b Ctrl+Q+X", 1, "unknown shift key \"Q\""},
        {"key a/b F13", 1, "unknown key \"F13\""},
        {"key a/b Hyper+F2", 1, "unknown shift key"},
        {"answer perhaps", 1, "unknown button"},
        {"expect weather 1", 1, "cannot expect"},
        {"expect dialog 12", 1, "in quotation marks"},
        {"params abc", 1, "is not a value"},
        {"params 99999999999999999999", 1, "out of range"},
        {"params 1.2.3", 1, "bad number"},
        {"params [1, 2", 1, "closing ]"},
        {"params [1 2]", 1, "expected , or ]"},
        {"params ]", 1, "expected a value"},
        {"params date(x)", 1, "bad date"},
        {"choose a -1", 1, "0 or more"},
        {"echo a\"b", 1, "quotation mark inside a word"},
        {"echo \"x\"\nmodal\n  process\n", 2, "block without its end"},
        {"end", 1, "end without modal"},
        {"modal\nend extra", 2, "end takes no arguments"},
        {"[1]", 1, "starts with a command word"},
        {"echo \"\xff\"", 1, "not valid UTF-8"},
        {"echo \"\xe4\xb8\"", 1, "not valid UTF-8"},
        {std::string_view("echo \"a\0b\"", 10), 1, "NUL"},
        {"params [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]", 1, "nested deeper"},
        {"modal\nmodal\nmodal\nmodal\nmodal\nmodal\nmodal\nmodal\nmodal\n", 9, "nested deeper"},
    };
    for (const auto& tc : cases) {
        try {
            ParseScript(tc.text, "bad.kvs");
            ADD_FAILURE() << "accepted: " << tc.text;
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.File(), "bad.kvs");
            EXPECT_EQ(e.Line(), tc.line) << tc.text;
            EXPECT_NE(std::string(e.what()).find(tc.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("bad.kvs:" + std::to_string(tc.line) + ": ", 0), 0u)
                << e.what();
        }
    }
}

TEST(HostScriptTest, EmptyScriptsAndCrLfLinesAreFine) {
    EXPECT_TRUE(ParseScript("", "e.kvs").Commands.empty());
    EXPECT_TRUE(ParseScript("\n# only a comment\n   \n", "e.kvs").Commands.empty());
    const Script s = ParseScript("echo \"a\"\r\nprocess\r\n", "crlf.kvs");
    ASSERT_EQ(s.Commands.size(), 2u);
    EXPECT_EQ(s.Commands[0].Path, "a");
    EXPECT_EQ(s.Commands[1].Line, 2);
    try {
        LoadScript("/nonexistent/x.kvs");
        ADD_FAILURE();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.Line(), 0);
        EXPECT_NE(std::string(e.what()).find("cannot read"), std::string::npos);
    }
}

} // namespace
