// kvx-host: the host shell. Creates its database, loads a report module and runs a session script
// against it (docs/host-script.md).
#include "HostDatabase.h"
#include "HostScript.h"
#include "HostSession.h"
#include "RuntimeFormDriver.h"
#include "os/DynLib.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

constexpr int kExitUsage = 2;

int Complain(const std::string& message) {
    std::cerr << "kvx-host: " << message << '\n';
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App cli{"kvx-host: loads a report module and runs a host session script against it"};
    std::string dbPath;
    std::string seedPath;
    std::string scriptPath;
    cli.add_option("--db", dbPath, "host database (SQLite)")->required();
    cli.add_option("--seed", seedPath,
                   "create the database afresh: the built-in schema, then this SQL script");
    cli.add_option("--script", scriptPath, "session script to run");
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = cli.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }
    if (seedPath.empty() && scriptPath.empty())
        return Complain("nothing to do: give --seed, --script or both");

    using namespace kvx::host;
    if (!seedPath.empty()) {
        std::ifstream in(seedPath, std::ios::binary);
        if (!in) return Complain(seedPath + ":0: cannot read the seed script");
        std::stringstream seed;
        seed << in.rdbuf();
        try {
            HostDatabase::Create(dbPath, seed.str());
        } catch (const std::exception& e) {
            return Complain(seedPath + ":0: " + e.what());
        }
        if (scriptPath.empty()) return 0;
    }

    Script script;
    try {
        script = LoadScript(scriptPath);
    } catch (const ScriptError& e) {
        return Complain(e.what());
    }
    std::shared_ptr<HostDatabase> db;
    try {
        db = HostDatabase::OpenReadOnly(dbPath);
    } catch (const std::exception& e) {
        return Complain(dbPath + ":0: " + e.what());
    }

    RuntimeFormDriver driver;
    HostSession session(db, driver, std::cout, std::cerr);
    session.SetProgramDir(std::filesystem::path(rt::GetModuleFileName(nullptr)).parent_path().string());
    return session.Run(script);
}
