// Application server: a Request round trip in-process and over loopback TCP, 10,000 schemes inserted
// and listed through the provider, and requests per second from 4 concurrent TCP clients.
#include "ReportCounter.h"
#include "RpcServer.h"
#include "TestSupport.h"

#include "data/ClientDataSet.h"
#include "data/SocketConnection.h"

#include <benchmark/benchmark.h>

#include <thread>

using namespace rt;

namespace {

// A server on a fresh database, reachable both ways.
struct Fixture {
    appsrv_test::TempDir dir;
    std::shared_ptr<appsrv::TStore> store = std::make_shared<appsrv::TStore>(dir.File("bench.db"));
    std::unique_ptr<appsrv::TRpcServer> server;

    Variant Local() { return Variant(DispatchPtr(std::make_shared<appsrv::TReportCounter>(store))); }
    void StartTcp() {
        appsrv::RpcServerOptions o;
        o.Port = 0;
        server = std::make_unique<appsrv::TRpcServer>(
            o, std::map<std::string, appsrv::ModuleFactory>{
                   {appsrv::kProgId, [this] { return std::make_shared<appsrv::TReportCounter>(store); }}});
        server->Start();
    }
    void Connect(TSocketConnection& c) {
        c.SetAddress("127.0.0.1");
        c.SetPort(server->Port());
        c.SetServerName(appsrv::kProgId);
        c.Open();
    }
};

void RequestLoop(benchmark::State& state, const Variant& app) {
    const Variant job = appsrv_test::SampleJob(true);
    for (auto _ : state) {
        Variant answer = OleCall(app, "Request", {job});
        if (VarToStr(answer) == "ERROR") state.SkipWithError("refused");
        benchmark::DoNotOptimize(answer);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RequestInProcess(benchmark::State& state) {
    Fixture f;
    RequestLoop(state, f.Local());
}
BENCHMARK(BM_RequestInProcess)->Unit(benchmark::kMicrosecond);

void BM_RequestLoopbackTcp(benchmark::State& state) {
    Fixture f;
    f.StartTcp();
    TSocketConnection c;
    f.Connect(c);
    RequestLoop(state, c.AppServer());
}
BENCHMARK(BM_RequestLoopbackTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 10,000 schemes stored one call each, then one provider read of all of them into a dataset.
void BM_TenThousandSchemesInsertedAndListed(benchmark::State& state) {
    const bool tcp = state.range(0) != 0;
    for (auto _ : state) {
        Fixture f;
        TSocketConnection c;
        if (tcp) {
            f.StartTcp();
            f.Connect(c);
        } else {
            c.SetAppServer(f.Local());
        }
        const Variant app = c.AppServer();
        for (int i = 0; i < 10000; ++i)
            OleCall(app, "InsertConTable",
                    {appsrv_test::SchemeArray("方案" + std::to_string(i), "796", false)});
        OleCall(app, "LoadTable", {VarArrayOf({Variant(u"796"), Variant(u"KTVR08")})});
        TClientDataSet ds;
        ds.SetRemoteServer(&c);
        ds.SetProviderName("pvdConSave");
        ds.SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
        ds.Open();
        if (ds.RecordCount() != 10000) state.SkipWithError("schemes missing");
        benchmark::DoNotOptimize(ds.FindKey({Variant(u"方案5000")}));
    }
}
BENCHMARK(BM_TenThousandSchemesInsertedAndListed)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"tcp"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// Four clients, each with its own connection, sending Request as fast as answers come.
void BM_RequestsFromFourClients(benchmark::State& state) {
    constexpr int kClients = 4, kPerClient = 250;
    Fixture f;
    f.StartTcp();
    const Variant job = appsrv_test::SampleJob(false);
    for (auto _ : state) {
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c)
            clients.emplace_back([&] {
                TSocketConnection conn;
                f.Connect(conn);
                const Variant app = conn.AppServer();
                for (int i = 0; i < kPerClient; ++i) OleCall(app, "Request", {job});
            });
        for (auto& t : clients) t.join();
    }
    state.SetItemsProcessed(state.iterations() * kClients * kPerClient);
}
BENCHMARK(BM_RequestsFromFourClients)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
