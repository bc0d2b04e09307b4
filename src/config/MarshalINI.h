#pragma once
// MarshalINI: read-only snapshots of the client and server configuration. The registry key
// HKEY_LOCAL_MACHINE\Software\KVX\Marshal names the installation; "MarshalC.ini" (client) and
// "MarshalS.ini" (server) below it, or below the user's profile directory, hold the settings. The
// constructor loads everything; nothing is cached and nothing is ever written.
//
// Paths use "/" and directories end in "/"; values written with "\" are converted.
#include "core/Classes.h"
#include "core/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kvx {

inline constexpr const char* MarshalRegistryKey = "\\Software\\KVX\\Marshal";
inline constexpr const char* ErrRegistryKeyMissing = "E;000015"; // registry key cannot be opened
inline constexpr const char* ErrNoServerHost = "E;000016";       // no application server host configured

// What the client and server configurations share: the profile, the code pages and conversion modes,
// the work-library directories, and the loading steps up to the opened file.
class TMarshalIniBase {
public:
    virtual ~TMarshalIniBase() = default;
    TMarshalIniBase(const TMarshalIniBase&) = delete;
    TMarshalIniBase& operator=(const TMarshalIniBase&) = delete;

    std::string ProfileDir;  // directory of the file actually read
    std::string ProfileType; // "0" or empty: one file for the installation; otherwise per-user profiles
    std::string ProfileUser; // "Default", or the user's login name with per-user profiles
    std::string UICodePage;  // code page of the user interface ("936", "950", "437", as the file says)
    std::string DBCodePage;  // code page of the database texts
    std::string SysCodePage; // the system code page: "936", "950", else "437"
    uint8_t UIConvertMode = 0;
    uint8_t DBConvertMode = 0;
    bool SupportCallBack = false;
    std::string IniFileName;
    std::string ErrorId;
    rt::TStringList WorkDLLPaths; // absolute directories, each ending in "/"
    std::string Version;

protected:
    TMarshalIniBase() = default;
    // Resets the shared fields, reads the installation path from the registry value PathValue into
    // InstallPath (ending in "/") and chooses the profile's FileName. False when loading stops here.
    bool OpenProfile(const char* PathValue, std::string& InstallPath, const char* FileName);
    // The code pages of the opened file, with the conversion modes they give.
    void ReadCodePages(const std::string& FileUICodePage, const std::string& FileDBCodePage);
};

// The client configuration ("MarshalC.ini").
class TMarshalIniC : public TMarshalIniBase {
public:
    TMarshalIniC();

    // Loads the registry values and the file; true when the configuration is usable. ErrorId tells
    // why loading stopped (empty when the installation path is simply missing).
    bool LoadConfig();

    std::string ClientPath; // installation directory, ending in "/" when not empty
    // Row 0 the host, row 1 the port, one column per application server; empty when none.
    rt::Variant Servers;
    std::string LangType;
    std::string CreateGifBeforeSendEF;
    std::string AutoCheckNewMsg;
    std::string CheckInterval;
    std::string PopupMsg;
    std::string LoginCheck;
};

// The server configuration ("MarshalS.ini").
class TMarshalIniS : public TMarshalIniBase {
public:
    TMarshalIniS();

    bool LoadConfig();
    // Replaces the contents of List with the work-library directories.
    void GetWorkDLLPaths(rt::TStrings& List) const;

    std::string ServerPath;
    // Rows 0..3, columns 0..7: main database, temporary database, password control, exchange database.
    rt::Variant DBSettings;
    uint8_t DBKind = 0; // 1 ORACLE, 2 DB2, else 0
    std::string SystemControlAddress;
    std::string OtherSystemControlAddress;
};

// Path resolved against Base (an installation directory ending in "/"): a drive ("D:\..."), a share
// ("\\host\...") or a path starting with "/" stays as it is; a leading "\" is dropped and the rest
// taken below Base, as is any other path. Backslashes become "/".
std::string MakeAbsolutePath(std::string_view Path, std::string_view Base);

// The stored password form: two lower-case hexadecimal digits per character, the character at 1-based
// position i rotated right by i mod 8 bits. An empty password is stored as a marker text.
std::string EncodeSQLSa(std::string_view Password);
// The password of a stored text; a single trailing character is ignored. A text that is not
// hexadecimal gives a fixed error marker (reported to the generator log).
std::string DecodeSQLSa(std::string_view Stored);
// The marker texts of the stored password form.
extern const char* const EmptyPasswordMarker;
extern const char* const BadPasswordMarker;

} // namespace kvx
