#include "config/MarshalINI.h"

#include "core/SysUtils.h"
#include "kvx/Edition.h"
#include "os/CodePage.h"
#include "os/IniFiles.h"
#include "os/Registry.h"
#include "os/SysInfo.h"
#include "support/NVOLTGeneratorU.h"

#include <cctype>
#include <memory>

using namespace rt;

namespace kvx {

// Control characters at both ends: nobody types such a password.
const char* const EmptyPasswordMarker = "\x01\x02KVX:EMPTY-PASSWORD\x02\x01";
const char* const BadPasswordMarker = "\x01\x02KVX:UNREADABLE-PASSWORD\x02\x01";

namespace {

std::string ForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool EndsWithDelimiter(std::string_view path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

// A registry text; a value of another kind counts as missing.
std::string ReadRegText(const TRegistry& registry, const std::string& name) {
    try {
        return registry.ReadString(name);
    } catch (const std::exception&) {
        return {};
    }
}

// What both objects read from the registry: the installation path and the profile kind. False when
// the key cannot be opened.
bool ReadMarshalKey(const char* pathValue, std::string& path, std::string& profileType) {
    try {
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKeyReadOnly(MarshalRegistryKey)) return false;
        path = ReadRegText(registry, pathValue);
        if (registry.ValueExists("ProfileType")) profileType = ReadRegText(registry, "ProfileType");
        registry.CloseKey();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string SystemCodePageText() {
    const std::string acp = IntToStr(GetACP());
    return acp == "936" || acp == "950" ? acp : "437";
}

void ComputeConvertModes(const std::string& ui, const std::string& db, const std::string& sys,
                         uint8_t& uiMode, uint8_t& dbMode) {
    uiMode = ui == "950" ? 2 : (ui == "936" && sys == "950") ? 4 : 0;
    dbMode = (ui == "950" && db == "936") ? 2 : (ui == "936" && db == "950") ? 1 : 0;
}

// The file in the user's profile directory when per-user profiles are in force and it exists there,
// else the one in the installation directory.
void ChooseProfile(const std::string& installPath, const std::string& profileType, const char* fileName,
                   std::string& profileUser, std::string& profileDir, std::string& iniFileName) {
    profileDir = installPath;
    if (!profileType.empty() && profileType != "0") {
        profileUser = GetUserName();
        profileDir = installPath + "Profile/" + profileUser + "/";
    }
    iniFileName = profileDir + fileName;
    if (!FileExists(iniFileName)) {
        profileDir = installPath;
        iniFileName = installPath + fileName;
    }
}

bool IsTrueText(const std::string& text) {
    const std::string upper = UpperCase(text);
    return upper == "1" || upper == "Y" || upper == "YES" || upper == "TRUE";
}

// Each "name=directory" line becomes its directory, ending in "/" and resolved against base; without
// lines the default directory is used.
void ResolveWorkPaths(TStringList& paths, const std::string& base, const std::string& defaultDir) {
    if (paths.Count() == 0) {
        paths.Add(base + defaultDir);
        return;
    }
    for (int i = 0; i < paths.Count(); ++i) {
        std::string dir = paths.ValueFromIndex(i);
        if (!EndsWithDelimiter(dir)) dir += '\\';
        paths.Put(i, MakeAbsolutePath(dir, base));
    }
}

void ReadSectionLines(const TIniFile& ini, const std::string& section, TStringList& lines) {
    lines.Clear();
    for (const std::string& line : ini.ReadSectionValues(section)) lines.Add(line);
}

} // namespace

// ---- Shared steps.

bool TMarshalIniBase::OpenProfile(const char* PathValue, std::string& InstallPath, const char* FileName) {
    ErrorId.clear();
    InstallPath.clear();
    ProfileDir.clear();
    IniFileName.clear();
    ProfileType = "0";
    ProfileUser = "Default";
    SupportCallBack = false;
    WorkDLLPaths.Clear();
    SysCodePage = SystemCodePageText();
    ReadCodePages(SysCodePage, "936");

    if (!ReadMarshalKey(PathValue, InstallPath, ProfileType)) {
        ErrorId = ErrRegistryKeyMissing;
        return false;
    }
    if (InstallPath.empty()) return false;
    InstallPath = ForwardSlashes(InstallPath);
    if (!EndsWithDelimiter(InstallPath)) InstallPath += '/';
    ChooseProfile(InstallPath, ProfileType, FileName, ProfileUser, ProfileDir, IniFileName);
    return true;
}

void TMarshalIniBase::ReadCodePages(const std::string& FileUICodePage, const std::string& FileDBCodePage) {
    UICodePage = FileUICodePage;
    DBCodePage = FileDBCodePage;
    ComputeConvertModes(UICodePage, DBCodePage, SysCodePage, UIConvertMode, DBConvertMode);
}

// ---- Client.

TMarshalIniC::TMarshalIniC() {
    LoadConfig();
}

bool TMarshalIniC::LoadConfig() {
    Servers = Variant();
    if (!OpenProfile("ClientPath", ClientPath, "MarshalC.ini")) return false;
    const TIniFile ini(IniFileName);
    Version = ini.ReadString("ProductVersion", "Version", "");
    ReadCodePages(ini.ReadString("CodePage", "UICodePage", SysCodePage),
                  ini.ReadString("CodePage", "DBCodePage", "936"));
    LangType = ini.ReadString("Client Components", "LangType", "ENG");
    SupportCallBack = IsTrueText(ini.ReadString("Server Information", "SupportCallBack", "0"));
    std::string hosts = Trim(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"));
    const int port = ini.ReadInteger("Server Information", "ServerPort", 211);
    ReadSectionLines(ini, "WorkDLLPath", WorkDLLPaths);
    if constexpr (edition::ExtendedConfiguration) {
        CreateGifBeforeSendEF = ini.ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
        AutoCheckNewMsg = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
        CheckInterval = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
        PopupMsg = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
        LoginCheck = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
    }

    if (hosts.empty()) {
        ErrorId = ErrNoServerHost;
        return false;
    }
    if (hosts.back() == ';') hosts.pop_back();
    // One column per host, all sharing the one port; an empty piece is an empty host.
    std::vector<std::string> pieces;
    size_t from = 0;
    for (;;) {
        const size_t p = hosts.find(';', from);
        pieces.push_back(hosts.substr(from, p == std::string::npos ? std::string::npos : p - from));
        if (p == std::string::npos) break;
        from = p + 1;
    }
    Servers = VarArrayCreate({0, 1, 0, static_cast<int>(pieces.size()) - 1});
    for (size_t i = 0; i < pieces.size(); ++i) {
        Servers(0, static_cast<int>(i)) = Variant(pieces[i]);
        Servers(1, static_cast<int>(i)) = Variant(port);
    }

    ResolveWorkPaths(WorkDLLPaths, ClientPath, "C_PKG/");
    return true;
}

// ---- Server.

TMarshalIniS::TMarshalIniS() {
    LoadConfig();
}

bool TMarshalIniS::LoadConfig() {
    DBSettings = Variant();
    DBKind = 0;
    SystemControlAddress.clear();
    OtherSystemControlAddress.clear();
    if (!OpenProfile("ServerPath", ServerPath, "MarshalS.ini")) return false;
    const TIniFile ini(IniFileName);
    Version = ini.ReadString("ProductVersion", "Version", "");
    ReadCodePages(ini.ReadString("CodePage", "UICodePage", SysCodePage),
                  ini.ReadString("CodePage", "DBCodePage", "936"));

    const std::string dbe = "DBE Setting", ctrl = "DBPasswordCtrl";
    DBSettings = VarArrayCreate({0, 3, 0, 7});
    auto text = [&](int row, int col, const std::string& section, const std::string& key, const char* def) {
        DBSettings(row, col) = Variant(ini.ReadString(section, key, def));
    };
    auto number = [&](int row, int col, const std::string& section, const std::string& key, int def) {
        DBSettings(row, col) = Variant(ini.ReadInteger(section, key, def));
    };
    text(0, 0, dbe, "MainAlias", "Vantor");
    text(0, 1, dbe, "MainUserName", "sa");
    DBSettings(0, 2) = Variant(DecodeSQLSa(ini.ReadString(dbe, "XXXXXX", "")));
    text(0, 3, dbe, "MainDBType", "MSSQL");
    text(0, 4, dbe, "MainDBName", "");
    text(0, 5, dbe, "MainServerName", "");
    number(0, 6, dbe, "MainConnectionTimeOut", 300);
    number(0, 7, dbe, "MainCommandTimeOut", 3000);
    text(1, 0, dbe, "TempAlias", "VantorTemp");
    text(1, 1, dbe, "TempUserName", "sa");
    DBSettings(1, 2) = Variant(DecodeSQLSa(ini.ReadString(dbe, "TempPassword", "")));
    text(1, 3, dbe, "TempDBType", "PARADOX");
    text(1, 4, dbe, "TempDBName", "");
    text(1, 5, dbe, "TempDriverName", "PostgreSQL");
    number(1, 6, dbe, "TempConnectionTimeOut", 300);
    number(1, 7, dbe, "TempCommandTimeOut", 3000);
    DBSettings(2, 0) = Variant(Trim(ini.ReadString(ctrl, "ComputerName", "")));
    number(2, 1, ctrl, "ServerPort", 211);
    number(2, 2, ctrl, "ClientSocketPort", 1024);
    text(2, 3, dbe, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
    text(3, 0, dbe, "EctAlias", "EDIDATA");
    text(3, 1, dbe, "EctUserName", "sa");
    text(3, 2, dbe, "EctPassword", ""); // taken as written

    const std::string mainServer = DBSettings(0, 5).AsString();
    if constexpr (edition::ExtendedConfiguration) {
        SystemControlAddress = ini.ReadString(dbe, "SystemControlAddress", "");
        if (Trim(SystemControlAddress).empty()) SystemControlAddress = mainServer;
        OtherSystemControlAddress = ini.ReadString(dbe, "OtherSystemControlAddress", "");
        if (Trim(OtherSystemControlAddress).empty()) OtherSystemControlAddress = mainServer;
    }

    const std::string mainType = DBSettings(0, 3).AsString();
    DBKind = SameText(mainType, "ORACLE") ? 1 : SameText(mainType, "DB2") ? 2 : 0;
    SupportCallBack = IsTrueText(ini.ReadString(ctrl, "SupportCallBack", "0"));
    ReadSectionLines(ini, "WorkDLLPath", WorkDLLPaths);
    ResolveWorkPaths(WorkDLLPaths, ServerPath, "S_PKG/");
    return true;
}

void TMarshalIniS::GetWorkDLLPaths(TStrings& List) const {
    List.Assign(WorkDLLPaths);
}

// ---- Paths and passwords.

std::string MakeAbsolutePath(std::string_view Path, std::string_view Base) {
    const bool drive =
        Path.size() >= 2 && std::isalpha(static_cast<unsigned char>(Path[0])) && Path[1] == ':';
    const bool share =
        Path.size() >= 2 && (Path[0] == '\\' || Path[0] == '/') && (Path[1] == '\\' || Path[1] == '/');
    if (drive || share || (!Path.empty() && Path[0] == '/')) return ForwardSlashes(std::string(Path));
    if (!Path.empty() && Path[0] == '\\') Path.remove_prefix(1);
    return ForwardSlashes(std::string(Base) + std::string(Path));
}

namespace {

unsigned char RotateRight(unsigned char b, int n) {
    n &= 7;
    return n == 0 ? b : static_cast<unsigned char>((b >> n) | (b << (8 - n)));
}

unsigned char RotateLeft(unsigned char b, int n) {
    n &= 7;
    return n == 0 ? b : static_cast<unsigned char>((b << n) | (b >> (8 - n)));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EncodeSQLSa(std::string_view Password) {
    // Characters are the bytes of the password in the system code page, as stored files hold them.
    const std::string bytes =
        Utf8ToCodePage(Password.empty() ? std::string_view(EmptyPasswordMarker) : Password, GetACP());
    static const char digits[] = "0123456789abcdef";
    std::string stored;
    stored.reserve(bytes.size() * 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b =
            RotateRight(static_cast<unsigned char>(bytes[i]), static_cast<int>((i + 1) % 8));
        stored += digits[b >> 4];
        stored += digits[b & 15];
    }
    return stored;
}

std::string DecodeSQLSa(std::string_view Stored) {
    try {
        std::string bytes;
        for (size_t i = 1; 2 * i <= Stored.size(); ++i) {
            const int hi = HexDigit(Stored[2 * i - 2]), lo = HexDigit(Stored[2 * i - 1]);
            if (hi < 0 || lo < 0)
                throw EConvertError("'" + std::string(Stored.substr(2 * i - 2, 2)) +
                                    "' is not a valid hexadecimal byte");
            bytes += static_cast<char>(
                RotateLeft(static_cast<unsigned char>(hi * 16 + lo), static_cast<int>(i % 8)));
        }
        const std::string password = CodePageToUtf8(bytes, GetACP());
        return password == EmptyPasswordMarker ? std::string() : password;
    } catch (const Exception& e) {
        ReportError(&e, EncodeSQLSa("DecodeSQLSa"), "解析 Sa 时发生错误!");
        return BadPasswordMarker;
    }
}

} // namespace kvx
