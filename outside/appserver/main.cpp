// kvx-appserver: serves the remote module "ReportCounterS.dmReportCounter" to clients over TCP until
// SIGINT or SIGTERM. Usage: docs/appserver.md.
#include "ReportCounter.h"
#include "RpcServer.h"
#include "Store.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv) {
    CLI::App app{"Application server: serves ReportCounterS.dmReportCounter over TCP"};
    appsrv::RpcServerOptions options;
    std::string database = appsrv::DefaultDatabasePath();
    int sqlType = 0;
    app.add_option("-a,--address", options.Address, "Address to listen on")->capture_default_str();
    app.add_option("-p,--port", options.Port, "TCP port (0 picks a free one)")
        ->capture_default_str()
        ->check(CLI::Range(0, 65535));
    app.add_option("-d,--db", database,
                   "SQLite database file, created when missing (default: KVX_APPSERVER_DB "
                   "or the user's data folder)")
        ->capture_default_str();
    app.add_option("--max-clients", options.MaxClients, "Most clients served at once")
        ->capture_default_str()
        ->check(CLI::Range(1, 4096));
    app.add_option("--sql-type", sqlType, "Value answered by SQLType")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    // The signals are taken by sigwait below; every thread started from here on inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        auto store = appsrv::TStore::Shared(database);
        appsrv::ModuleOptions moduleOptions;
        moduleOptions.SqlType = sqlType;
        appsrv::TRpcServer server(options,
                                  {{appsrv::kProgId, [store, moduleOptions] {
                                        return std::make_shared<appsrv::TReportCounter>(store, moduleOptions);
                                    }}});
        server.Start();
        std::printf("kvx-appserver: serving %s on %s:%d, database %s\n", appsrv::kProgId,
                    options.Address.c_str(), server.Port(), store->Path().c_str());
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
        std::printf("kvx-appserver: %s received, stopping\n", received == SIGINT ? "SIGINT" : "SIGTERM");
        std::fflush(stdout);
        server.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kvx-appserver: %s\n", e.what());
        return 1;
    }
    return 0;
}
