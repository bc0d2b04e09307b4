// The host automation object and its three services, called late-bound as the module calls them.
#include "HostDbFixture.h"
#include "HostServices.h"
#include "ValueText.h"

#include <gtest/gtest.h>

using namespace kvx::host;
using kvx::host::test::HostDbFixture;
using rt::OleArg;
using rt::OleCall;
using rt::OleGet;
using rt::OleSet;
using rt::Variant;

namespace {

class HostServicesTest : public ::testing::Test {
protected:
    HostServicesTest()
        : App(std::make_shared<HostApp>(Fixture.Db(),
                                        [this](const std::string& line) { Journal.push_back(line); })),
          Host(rt::DispatchPtr(App)) {}

    Variant Counter() { return OleGet(Host, "Com_Counter"); }
    Variant Validator() { return OleGet(Host, "Com_Validator"); }
    Variant F2Window() { return OleGet(Host, "Com_F2Window"); }

    HostDbFixture Fixture;
    std::vector<std::string> Journal;
    std::shared_ptr<HostApp> App;
    Variant Host;
};

TEST_F(HostServicesTest, HostObjectAnswersItsFactsAndServices) {
    EXPECT_EQ(OleGet(Host, "VersionType").AsInteger(), 2);
    EXPECT_EQ(OleGet(Host, "ProductID").AsInteger(), 5);
    for (const char* name : {"Com_Counter", "Com_Validator", "Com_F2Window"})
        EXPECT_EQ(OleGet(Host, name).VarType(), rt::varDispatch) << name;
    EXPECT_EQ(OleCall(Host, "GetMessage", {"E", "000038"}).AsString(), "参数不足");
    EXPECT_EQ(OleCall(Host, "GetMessage", {"E", "999999"}).AsString(), "消息 E;999999 未定义");
    EXPECT_EQ(OleCall(Host, "GetFileList", {rt::VarArrayOf({"ktvr08s.so"})}).AsString(),
              "<Modify>2024-01-15 08:30</Modify><Path>\\\\srv\\bin\\KTVR08S.so</Path>");
    EXPECT_EQ(OleCall(Host, "GetFileList", {rt::VarArrayOf({"other.so"})}).AsString(), "");
    OleCall(Host, "CallHelp", {rt::VarArrayOf({"KTV", "12080000"})});
    ASSERT_EQ(App->HelpCalls().size(), 1u);
    EXPECT_EQ(App->HelpCalls()[0], "help \"KTV\" \"12080000\"");
    EXPECT_EQ(Journal.back(), App->HelpCalls()[0]);
}

TEST_F(HostServicesTest, SysInfoIsATwoDimensionalArrayOfNamesAndValues) {
    Variant info = OleCall(Counter(), "GetSysInfo", {"C1"});
    ASSERT_EQ(info.DimCount(), 2);
    EXPECT_EQ(info.LowBound(1), 0);
    EXPECT_EQ(info.HighBound(1), 1);
    EXPECT_EQ(info.LowBound(2), 0);
    ASSERT_EQ(info.HighBound(2), 2);
    std::map<std::string, std::string> values;
    for (int i = 0; i <= info.HighBound(2); ++i) values[info(0, i).AsString()] = info(1, i).AsString();
    EXPECT_EQ(values["Sys001"], "4");
    EXPECT_EQ(values["Sys002"], "-");
    EXPECT_EQ(values["KVX002"], "测试公司");
    EXPECT_TRUE(OleCall(Counter(), "GetSysInfo", {"NOPE"}).IsEmpty());
}

TEST_F(HostServicesTest, SimpleSqlAnswersRowsOfTheNamedFields) {
    Variant pair = rt::VarArrayOf({"C1", "DB1"});
    Variant rows =
        OleCall(Counter(), "GetCounter",
                {"SIMPLESQL",
                 rt::VarArrayOf({"SELECT MA003 FROM KVXINTMA WHERE MA001='StartupPortal' ", "MA003"}), pair});
    EXPECT_EQ(FormatValue(rows), "[[\"Y\"]]");
    rows = OleCall(Counter(), "GetCounter",
                   {"SimpleSQL",
                    rt::VarArrayOf({"SELECT MB002, MB001 FROM CMSMB ORDER BY MB001", "MB001;MB002"}), pair});
    EXPECT_EQ(FormatValue(rows), "[[\"01\", \"一厂\"], [\"02\", \"二厂\"], [\"11\", \"十一厂\"]]");
    EXPECT_TRUE(
        OleCall(Counter(), "GetCounter",
                {"SimpleSQL", rt::VarArrayOf({"SELECT MA003 FROM KVXINTMA WHERE MA001='x'", "MA003"}), pair})
            .IsEmpty());
    EXPECT_THROW(
        OleCall(Counter(), "GetCounter", {"SimpleSQL", rt::VarArrayOf({"SELECT 1 AS A", "B"}), pair}),
        EHostError);
    EXPECT_THROW(OleCall(Counter(), "GetCounter", {"NextNumber", "x", pair}), EHostError);
}

TEST_F(HostServicesTest, SimpleSqlRefusesEverythingButReading) {
    Fixture.Db()->SetLimits({.MaxRows = 2, .MaxSteps = 200'000});
    const char* refused[] = {
        "SELECT * FROM CMSMB",
        "INSERT INTO CMSMB VALUES ('99', 'x', '')",
        "DELETE FROM CMSMB",
        "UPDATE CMSMB SET MB002 = 'x'",
        "SELECT 1; DELETE FROM CMSMB",
        "DROP TABLE CMSMB",
        "CREATE TEMP TABLE T (A)",
        "ATTACH DATABASE ':memory:' AS other",
        "PRAGMA writable_schema = 1",
        "PRAGMA query_only = 0",
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) FROM n",
        "SELECT load_extension('x')",
        "",
        "   -- only a comment",
        "SELEC nonsense",
    };
    for (const char* sql : refused)
        EXPECT_THROW(OleCall(Counter(), "GetCounter", {"SimpleSQL", rt::VarArrayOf({sql, ""}), Variant()}),
                     rt::Exception)
            << sql;
    for (const char* sql : {"SELECT count(*) FROM CMSMB", "SELECT count(*) FROM CMSMB; -- the count\n  "}) {
        Variant rows = OleCall(Counter(), "GetCounter", {"SimpleSQL", rt::VarArrayOf({sql, ""}), Variant()});
        EXPECT_EQ(FormatValue(rows), "[[3]]") << sql;
    }
}

TEST_F(HostServicesTest, ValidatorAnswersTheRecordThroughTheResultArgument) {
    Variant validator = Validator();
    OleSet(validator, "ProductID", 5);
    OleSet(validator, "BaseLimited", Variant(u"限制"));
    EXPECT_EQ(OleGet(validator, "ProductID").AsInteger(), 5);
    EXPECT_EQ(App->Validator()->BaseLimited(), u"限制");

    Variant record = "untouched";
    Variant found = OleCall(validator, "CheckValue",
                            {"ADMMB", "01", "DB1", rt::VarArrayOf({"ktvr08"}), OleArg::ByRef(record)});
    ASSERT_TRUE(found.AsBoolean());
    ASSERT_TRUE(record.IsArray());
    EXPECT_EQ(record[0].AsString(), "生产入库单报表");
    EXPECT_EQ(record[4].AsString(), "Y");
    EXPECT_EQ(record.HighBound(), 7);
    EXPECT_EQ(record[7].AsString(), "Production Receipt Report");

    found = OleCall(validator, "QueryData",
                    {"CMSMB", "01", "DB1", rt::VarArrayOf({"02"}), OleArg::ByRef(record)});
    EXPECT_TRUE(found.AsBoolean());
    EXPECT_EQ(record[1].AsString(), "二厂");

    found = OleCall(validator, "CheckValue",
                    {"CMSMB", "01", "DB1", rt::VarArrayOf({"77"}), OleArg::ByRef(record)});
    EXPECT_FALSE(found.AsBoolean());
    EXPECT_TRUE(record.IsEmpty());

    EXPECT_THROW(OleCall(validator, "CheckValue",
                         {"XXXXX", "01", "DB1", rt::VarArrayOf({"1"}), OleArg::ByRef(record)}),
                 EHostError);
    // A definition that takes three parameters, given one.
    EXPECT_THROW(OleCall(validator, "CheckValue",
                         {"GENES", "01", "DB1", rt::VarArrayOf({"x"}), OleArg::ByRef(record)}),
                 EHostError);
    EXPECT_THROW(OleCall(validator, "CheckValue", {"CMSMB", "01"}), rt::EOleError);
}

TEST_F(HostServicesTest, LookupWindowAnswersQueuedAnswersFirstThenTheFirstMatchingRows) {
    auto request = [](const char* table, const char* key, Variant params, bool multi, const char* filter) {
        Variant r = rt::VarArrayCreate({0, 18});
        r[0] = table;
        r[1] = key;
        r[2] = params;
        r[3] = multi;
        r[4] = filter;
        return r;
    };
    Variant f2 = F2Window();
    EXPECT_EQ(
        FormatValue(OleCall(f2, "F2GetData", {request("CMSMB", "01", rt::VarArrayOf({""}), false, "")})),
        "[[\"01\", \"一厂\", \"\"]]");
    EXPECT_EQ(
        FormatValue(OleCall(f2, "F2GetData", {request("CMSMB", "01", rt::VarArrayOf({""}), true, "1")})),
        "[[\"11\", \"十一厂\", \"\"]]");
    EXPECT_EQ(
        FormatValue(OleCall(f2, "F2GetData", {request("CMSMB", "01", rt::VarArrayOf({""}), true, "0")})),
        "[[\"01\", \"一厂\", \"\"], [\"02\", \"二厂\", \"\"]]");
    EXPECT_TRUE(
        OleCall(f2, "F2GetData", {request("CMSMB", "01", rt::VarArrayOf({""}), true, "9")}).IsEmpty());
    EXPECT_EQ(Journal.front(), "lookup F2GetData CMSMB/01 -> [[\"01\", \"一厂\", \"\"]]");

    App->F2Window()->QueueAnswer(rt::VarArrayOf({rt::VarArrayOf({"02"})}));
    App->F2Window()->QueueAnswer("20240301");
    EXPECT_EQ(
        FormatValue(OleCall(f2, "F2GetData", {request("CMSMB", "01", rt::VarArrayOf({""}), false, "")})),
        "[[\"02\"]]");
    EXPECT_EQ(OleCall(f2, "ShowInputDay", {rt::VarArrayOf({false, "20240115", "DB1"})}).AsString(),
              "20240301");
    EXPECT_EQ(OleCall(f2, "ShowInputDay", {rt::VarArrayOf({false, "20240115", "DB1"})}).AsString(),
              "20240115");
    EXPECT_EQ(OleCall(f2, "GetPhrase", {"U1", "DB1", 0}).AsString(), "第一句");
    EXPECT_EQ(OleCall(f2, "GetPhrase", {"U2", "DB1", 0}).AsString(), "");

    EXPECT_THROW(OleCall(f2, "F2GetData", {"CMSMB"}), EHostError);
    EXPECT_THROW(OleCall(f2, "F2GetData", {rt::VarArrayOf({"CMSMB", "01"})}), EHostError);
    EXPECT_THROW(OleCall(f2, "ShowInputDay", {Variant()}), EHostError);
}

TEST(HostDatabaseTest, OpeningSomethingThatIsNoDatabaseFailsClearly) {
    auto dir = kvx::host::test::MakeTempDir("notadb");
    EXPECT_THROW(HostDatabase::OpenReadOnly((dir / "missing.db").string()), EHostError);
    {
        std::ofstream out(dir / "text.db");
        out << "this is not a database file, just some text long enough to look like a header";
    }
    EXPECT_THROW(HostDatabase::OpenReadOnly((dir / "text.db").string()), EHostError);
    EXPECT_THROW(HostDatabase::Create((dir / "bad.db").string(), "INSERT INTO NOSUCH VALUES (1)"),
                 EHostError);
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.db"));
    std::filesystem::remove_all(dir);
}

TEST(HostDatabaseTest, DemoSeedBuildsAndAnswersTheModulesLookups) {
    const std::string seed =
        kvx::host::test::ReadFile(kvx::host::test::SourceRoot() / "outside/host/sql/demo.sql");
    ASSERT_FALSE(seed.empty());
    HostDbFixture demo(seed);
    HostApp app(demo.Db());
    Variant record;
    for (auto [table, key, params] : std::vector<std::tuple<const char*, const char*, Variant>>{
             {"ADMMB", "01", rt::VarArrayOf({"KTVR08"})},
             {"ADMMB", "11", rt::VarArrayOf({"KTVR08"})},
             {"CMSMT", "01", rt::VarArrayOf({"KTVR08"})},
             {"CMSMS", "01", rt::VarArrayOf({"1", "F01"})},
             {"CMSMA", "02", rt::VarArrayOf({""})},
             {"CMSMB", "01", rt::VarArrayOf({"01"})},
             {"GENES", "01", rt::VarArrayOf({"本月入库", "DS", "KTVR08"})}})
        EXPECT_TRUE(app.Validator()->CheckValue(table, key, params, record)) << table << "/" << key;
    app.Validator()->CheckValue("CMSMT", "01", rt::VarArrayOf({"KTVR08"}), record);
    EXPECT_EQ(record.HighBound(), 11);
    for (const char* id : {"000001", "000005", "000006", "000013", "000030", "000036", "000037", "000038"})
        EXPECT_NE(app.GetMessage("E", id).find_first_not_of(' '), std::string::npos) << id;
    EXPECT_EQ(app.GetMessage("W", "000002"), "%s的数量不符：应为 %d 项，实为 %d 项！");
}

} // namespace
