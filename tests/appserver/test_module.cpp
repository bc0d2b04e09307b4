// The remote module's operations, each case run twice: with the module created in this process and
// attached to the connection (the local-address case), and through a TCP session with the server.
#include "ReportCounter.h"
#include "RpcServer.h"
#include "TestSupport.h"

#include "data/ClientDataSet.h"
#include "data/SocketConnection.h"
#include "data/WireCodec.h"

#include <gtest/gtest.h>

#include <thread>

using namespace rt;
using namespace appsrv_test;

namespace {

enum class Reach { InProcess, Tcp };

// 2026-12-11 10:30 local time.
constexpr double kToday = 46367.4375;

class ModuleTest : public ::testing::TestWithParam<Reach> {
protected:
    void SetUp() override {
        store = std::make_shared<appsrv::TStore>(dir.File("server.db"));
        options.Clock = [] { return TDateTime(kToday); };
        conn.SetServerName(appsrv::kProgId);
        if (GetParam() == Reach::InProcess) {
            conn.SetAddress("127.0.0.1");
            conn.SetAppServer(Variant(DispatchPtr(std::make_shared<appsrv::TReportCounter>(store, options))));
        } else {
            appsrv::RpcServerOptions o;
            o.Port = 0;
            server = std::make_unique<appsrv::TRpcServer>(
                o, std::map<std::string, appsrv::ModuleFactory>{
                       {appsrv::kProgId,
                        [this] { return std::make_shared<appsrv::TReportCounter>(store, options); }}});
            server->Start();
            conn.SetAddress("127.0.0.1");
            conn.SetPort(server->Port());
            conn.Open();
        }
        app = conn.AppServer();
        ASSERT_EQ(app.VarType(), varDispatch);
    }

    // Calls with every argument by reference, as the option form does.
    Variant Call(const std::string& name, std::vector<Variant> args = {}) {
        std::vector<OleArg> refs;
        for (auto& a : args) refs.push_back(OleArg::ByRef(a));
        return OleCallV(app, name, refs);
    }
    std::string Text(const std::string& name, std::vector<Variant> args = {}) {
        return VarToStr(Call(name, std::move(args)));
    }
    std::vector<std::string> SchemeNames(const std::string& user = "796") {
        Call("LoadTable", {VarArrayOf({Variant(Utf8ToUtf16(user)), Variant(u"KTVR08")})});
        TClientDataSet ds;
        ds.SetRemoteServer(&conn);
        ds.SetProviderName("pvdConSave");
        ds.SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
        ds.Open();
        std::vector<std::string> names;
        for (ds.First(); !ds.Eof(); ds.Next()) names.push_back(ds.FieldByName("NCONDITION").AsString());
        return names;
    }

    TempDir dir;
    std::shared_ptr<appsrv::TStore> store;
    appsrv::ModuleOptions options;
    std::unique_ptr<appsrv::TRpcServer> server;
    TSocketConnection conn;
    Variant app;
};

TEST_P(ModuleTest, SchemeInsertRefusesAnExistingNameUnlessReplaceIsSet) {
    EXPECT_EQ(Text("InsertConTable", {SchemeArray("月报", "796", false, "old")}), "");
    const std::string refused = Text("InsertConTable", {SchemeArray("月报", "796", false, "new")});
    EXPECT_NE(refused, "");
    EXPECT_EQ(Text("ErrorDescript"), refused);
    EXPECT_EQ(Text("InsertConTable", {SchemeArray("月报", "123", false)}), ""); // another user's name space

    Call("LoadTable", {VarArrayOf({Variant(u"796"), Variant(u"KTVR08")})});
    TClientDataSet ds;
    ds.SetRemoteServer(&conn);
    ds.SetProviderName("pvdConSave");
    ds.SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
    ds.Open();
    ASSERT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("VCONDITION").AsString(), "old");

    EXPECT_EQ(Text("InsertConTable", {SchemeArray("月报", "796", true, "new")}), "");
    ds.Close();
    ds.Open();
    ASSERT_TRUE(ds.FindKey({Variant(u"月报"), Variant(u"796"), Variant(u"KTVR08")}));
    EXPECT_EQ(ds.FieldByName("VCONDITION").AsString(), "new");
    EXPECT_EQ(ds.FieldByName("SCONDITION").AsString(), "sp01.style;sp01.text;");
    EXPECT_EQ(ds.FieldByName("CREATE_DATE").AsString(), "20261211");
    EXPECT_EQ(ds.FieldByName("PROGRAMME").AsString(), "KTVR08");
}

TEST_P(ModuleTest, SchemeArraysOfTheWrongShapeGetAnErrorText) {
    Variant shortArray = VarArrayOf({Variant(u"a"), Variant(u"796")});
    Variant blankName = SchemeArray("  ", "796", false);
    Variant badDate = SchemeArray("x", "796", false);
    badDate[2] = Variant(u"20261301");
    for (Variant* bad : {&shortArray, &blankName, &badDate}) EXPECT_NE(Text("InsertConTable", {*bad}), "");
    EXPECT_TRUE(SchemeNames().empty());
}

TEST_P(ModuleTest, RenameOntoAnExistingNameIsRefusedAndKeepsBoth) {
    ASSERT_EQ(Text("InsertConTable", {SchemeArray("甲", "796", false)}), "");
    ASSERT_EQ(Text("InsertConTable", {SchemeArray("乙", "796", false)}), "");
    EXPECT_NE(Text("ChangeConName", {SchemeKey("甲"), SchemeKey("乙")}), "");
    EXPECT_EQ(SchemeNames(), (std::vector<std::string>{"乙", "甲"}));
    EXPECT_NE(Text("ChangeConName", {SchemeKey("无"), SchemeKey("丙")}), "");
    EXPECT_EQ(Text("ChangeConName", {SchemeKey("甲"), SchemeKey("甲")}), "");
    EXPECT_EQ(Text("ChangeConName", {SchemeKey("甲"), SchemeKey("丙 ")}), ""); // trailing blank: a new name
    EXPECT_EQ(SchemeNames(), (std::vector<std::string>{"丙 ", "乙"}));
}

TEST_P(ModuleTest, DeletingAMissingSchemeGivesAnErrorText) {
    ASSERT_EQ(Text("InsertConTable", {SchemeArray("甲", "796", false)}), "");
    const std::string missing = Text("DeleteConTable", {SchemeKey("乙")});
    EXPECT_NE(missing, "");
    EXPECT_EQ(Text("ErrorDescript"), missing);
    EXPECT_NE(Text("DeleteConTable", {SchemeKey("甲", "123")}), "");
    EXPECT_EQ(Text("DeleteConTable", {SchemeKey("甲")}), "");
    EXPECT_TRUE(SchemeNames().empty());
}

TEST_P(ModuleTest, PeriodicJobIsStoredWholeAndReadsBackExactly) {
    const Variant job = SampleJob(true);
    const std::string number = Text("Request", {job});
    ASSERT_EQ(number, "20261211000001");

    const auto stored = store->FindJob(number);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(wire::DecodeVariant(stored->ParamsText).Identical(job));
    EXPECT_EQ(stored->Origin, "Request");
    EXPECT_EQ(stored->Status, "scheduled");
    const appsrv::JobSummary& m = stored->Summary;
    EXPECT_TRUE(m.Periodic);
    EXPECT_EQ(m.ProgramId, "KTVR08");
    EXPECT_EQ(m.UserId, "796");
    EXPECT_EQ(m.ReportKind, "r");
    EXPECT_EQ(m.GenMode, 2);
    EXPECT_EQ(m.CycleKind, 2);
    EXPECT_EQ(m.RunTime, "08:05");
    EXPECT_EQ(m.StartDate, "20261214");
    EXPECT_EQ(m.RangeKind, 1);
    EXPECT_EQ(m.RepeatCount, 12);
    EXPECT_DOUBLE_EQ(m.RunAt, 46388.3368055556);

    EXPECT_EQ(Text("Request", {SampleJob(false)}), "20261211000002");
    EXPECT_EQ(store->FindJob("20261211000002")->Status, "queued");
}

TEST_P(ModuleTest, RefusedRequestsAnswerErrorWithAReasonAndStoreNothing) {
    Variant lowerKindWithoutPeriod = SampleJob(false);
    lowerKindWithoutPeriod[0][9] = Variant(u"r");
    Variant countMismatch = SampleJob(false);
    countMismatch[0][3] = Variant(5);
    Variant noCycle = SampleJob(true);
    noCycle[3][2][1] = Variant(); // the hours text did not convert on the client
    noCycle[3][2][0] = Variant(3);
    Variant badTime = SampleJob(true);
    badTime[3][1] = Variant(u"24:00");
    Variant endBeforeStart = SampleJob(true);
    endBeforeStart[3][3] = VarArrayOf({Variant(u"20261214"), Variant(2), Variant(u"20261213")});
    Variant valuesLost = SampleJob(true);
    valuesLost[2] = Variant(u""); // the client's dynamic dates failed
    const Variant cases[] = {Variant(u"job"),
                             VarArrayOf({Variant(1)}),
                             lowerKindWithoutPeriod,
                             countMismatch,
                             noCycle,
                             badTime,
                             endBeforeStart,
                             valuesLost};
    for (const Variant& job : cases) {
        EXPECT_EQ(Text("Request", {job}), "ERROR") << wire::EncodeVariant(job);
        EXPECT_NE(Text("ErrorDescript"), "");
    }
    EXPECT_TRUE(store->JobsWithStatus("queued").empty());
    EXPECT_TRUE(store->JobsWithStatus("scheduled").empty());
}

TEST_P(ModuleTest, RegisteredRequestTakesItsStatusUpdate) {
    const std::string number = Text("Request1", {SampleJob(false), Variant(u"PC-01")});
    ASSERT_EQ(number.size(), 14u);
    EXPECT_EQ(number.substr(0, 8), "20261211");
    EXPECT_EQ(store->FindJob(number)->Status, "registered");
    EXPECT_EQ(store->FindJob(number)->Computer, "PC-01");

    EXPECT_TRUE(Call("UpdateStatus1", {Variant(Utf8ToUtf16(number)), Variant(u"打印机缺纸"),
                                       Variant(TDateTime(kToday + 0.01))})
                    .AsBoolean());
    const auto after = store->FindJob(number);
    EXPECT_EQ(after->Status, "failed");
    EXPECT_EQ(after->ErrorText, "打印机缺纸");
    EXPECT_DOUBLE_EQ(after->StatusAt, kToday + 0.01);
    EXPECT_FALSE(
        Call("UpdateStatus1", {Variant(u"ERROR"), Variant(u""), Variant(TDateTime(kToday))}).AsBoolean());
    EXPECT_EQ(Text("Request1", {Variant(u"x"), Variant(u"PC-01")}), "ERROR");
    const std::string job = Text("Request", {SampleJob(false)});
    EXPECT_FALSE(Call("UpdateStatus1", {Variant(Utf8ToUtf16(job)), Variant(u""), Variant(TDateTime(kToday))})
                     .AsBoolean());
    EXPECT_EQ(store->FindJob(job)->Status, "queued"); // a job is not marked done from outside
}

TEST_P(ModuleTest, RightsRecordHasTheShapeTheFormParses) {
    const Variant args = VarArrayOf({Variant(u"ERPDB01"), Variant(u"796"), Variant(u"KTVR08"), Variant(u"")});
    Variant r = Call("GetPower", {args});
    ASSERT_TRUE(r.IsArray());
    ASSERT_EQ(r.HighBound(), 5);
    const std::string fields = VarToStr(r[1]);
    EXPECT_EQ(std::count(fields.begin(), fields.end(), ','), 5);
    EXPECT_EQ(r[5][0].AsInteger(), 0);

    store->PutRights("*", "796", "*", {"Y,Y,Y,Y,YYYYYYNY,Y", "t2", "t3", "BASE", {"A01", "A02"}});
    r = Call("GetPower", {args});
    EXPECT_EQ(VarToStr(r[1]), "Y,Y,Y,Y,YYYYYYNY,Y");
    EXPECT_EQ(VarToStr(r[4]), "BASE");
    ASSERT_EQ(r[5].HighBound(), 2);
    EXPECT_EQ(r[5][0].AsInteger(), 2);
    EXPECT_EQ(VarToStr(r[5][2]), "A02");
    EXPECT_EQ(Call("SQLType").AsInteger(), 0);
}

TEST_P(ModuleTest, UnknownMembersAndWrongArgumentCountsRaise) {
    EXPECT_THROW(Call("NoSuchMethod"), EOleError);
    EXPECT_THROW(Call("LoadTable"), EOleError);
    EXPECT_THROW(Call("LoadTable", {Variant(u"796")}), EOleError);
    EXPECT_THROW(Call("GetPower", {Variant(1)}), EOleError);
    EXPECT_THROW(Call("AS_GetRecords", {Variant(u"pvdOther")}), EOleError);
    EXPECT_EQ(Text("SQLTYPE"), "0"); // names ignore case
}

INSTANTIATE_TEST_SUITE_P(Reach, ModuleTest, ::testing::Values(Reach::InProcess, Reach::Tcp),
                         [](const auto& info) {
                             return info.param == Reach::InProcess ? "InProcess" : "Tcp";
                         });

TEST(ModuleConcurrency, ClientsWritingSchemesAtOnceLoseNothing) {
    TempDir dir;
    auto store = std::make_shared<appsrv::TStore>(dir.File("server.db"));
    appsrv::RpcServerOptions o;
    o.Port = 0;
    appsrv::TRpcServer server(
        o, {{appsrv::kProgId, [store] { return std::make_shared<appsrv::TReportCounter>(store); }}});
    server.Start();

    constexpr int kClients = 4, kSchemes = 25;
    std::vector<int> wins(kClients, 0);
    std::vector<std::string> failures(kClients);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] {
            try {
                TSocketConnection conn;
                conn.SetAddress("127.0.0.1");
                conn.SetPort(server.Port());
                conn.SetServerName(appsrv::kProgId);
                conn.Open();
                const Variant app = conn.AppServer();
                for (int i = 0; i < kSchemes; ++i) {
                    // Own names, and one name all clients try to take without replacing.
                    const std::string own = "c" + std::to_string(c) + "-" + std::to_string(i);
                    if (VarToStr(OleCall(app, "InsertConTable", {SchemeArray(own, "796", false)})) != "")
                        failures[c] = "own scheme refused";
                    const std::string shared = "shared-" + std::to_string(i);
                    if (VarToStr(OleCall(app, "InsertConTable", {SchemeArray(shared, "796", false)})).empty())
                        ++wins[c];
                }
            } catch (const std::exception& e) {
                failures[c] = e.what();
            }
        });
    for (auto& t : clients) t.join();
    for (const auto& f : failures) EXPECT_EQ(f, "");
    int totalWins = 0;
    for (int w : wins) totalWins += w;
    EXPECT_EQ(totalWins, kSchemes); // each shared name went to exactly one client
    EXPECT_EQ(store->ListSchemes("796", "KTVR08").size(),
              static_cast<size_t>(kClients * kSchemes + kSchemes));
}

} // namespace
