#pragma once
// A small host database in a temporary folder, built from the schema and a seed given by the test.
#include "HostDatabase.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace kvx::host::test {

inline std::filesystem::path MakeTempDir(const std::string& tag) {
    static int serial = 0;
    auto dir = std::filesystem::temp_directory_path() /
               ("kvx-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::filesystem::path SourceRoot() {
    return std::filesystem::path(KVX_TEST_DATA_DIR).parent_path().parent_path();
}

// The minimal rows the services need in tests: one company, one program, one factory, messages.
inline const char* kSmallSeed = R"sql(
INSERT INTO HOSTINFO VALUES ('VersionType', '2'), ('ProductID', '5');
INSERT INTO MESSAGES VALUES ('E', '000038', '参数不足'), ('W', '000004', '找不到：%s');
INSERT INTO SYSPARAM VALUES ('C1', 'Sys001', '4'), ('C1', 'Sys002', '-'), ('C1', 'KVX002', '测试公司');
INSERT INTO ADMMB VALUES ('KTVR08', '生产入库单报表', 'KTV', 'N', 'Y', '870401', '', 'Production Receipt Report');
INSERT INTO CMSMB VALUES ('01', '一厂', ''), ('02', '二厂', ''), ('11', '十一厂', '');
INSERT INTO KVXINTMA VALUES ('StartupPortal', '', 'Y'), ('Portal WS', '', '');
INSERT INTO PHRASES VALUES ('U1', 2, '第二句'), ('U1', 1, '第一句');
INSERT INTO FILELIST VALUES ('ktvr08s.so', '2024-01-15 08:30', '\\srv\bin\KTVR08S.so');
)sql";

class HostDbFixture {
public:
    explicit HostDbFixture(const std::string& seed = kSmallSeed) : FDir(MakeTempDir("hostdb")) {
        FPath = (FDir / "host.db").string();
        HostDatabase::Create(FPath, seed);
        FDb = HostDatabase::OpenReadOnly(FPath);
    }
    ~HostDbFixture() {
        FDb.reset();
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    const std::shared_ptr<HostDatabase>& Db() const { return FDb; }
    const std::string& Path() const { return FPath; }
    const std::filesystem::path& Dir() const { return FDir; }

private:
    std::filesystem::path FDir;
    std::string FPath;
    std::shared_ptr<HostDatabase> FDb;
};

} // namespace kvx::host::test
