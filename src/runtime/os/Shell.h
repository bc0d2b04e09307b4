#pragma once
// The platform's shell actions on files and addresses.
//
// "open" hands the file or address to the desktop's opener (xdg-open), detached from this process;
// "properties" prints the facts of the file (the headless stand-in for the properties sheet). A hook
// can take the place of both, so that tests and headless runs record what was asked instead.
#include <functional>
#include <string>
#include <vector>

namespace rt {

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

// Results of ShellExecute: above 32 is success.
inline constexpr int ERROR_FILE_NOT_FOUND = 2;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_SUCCESS = 42;

struct TShellExecuteCall {
    std::string Verb;
    std::string File;
    std::string Parameters;
    std::string Directory;
    int ShowCmd = SW_SHOWNORMAL;
};

using TShellExecuteHook = std::function<int(const TShellExecuteCall&)>;

// verb "open" (also the empty verb) or "properties", ignoring case. Parameters are passed on only by
// the hook: the desktop opener takes the file alone. A relative file is taken in directory when given.
int ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters = "",
                 const std::string& directory = "", int showCmd = SW_SHOWNORMAL);

// Installs a hook for every later ShellExecute (an empty one restores the real actions) and returns
// the one it replaces.
TShellExecuteHook SetShellExecuteHook(TShellExecuteHook hook);

// Records ShellExecute calls for its lifetime, answering each with result; restores the previous hook.
class TShellExecuteRecorder {
public:
    explicit TShellExecuteRecorder(int result = SE_SUCCESS);
    ~TShellExecuteRecorder();
    TShellExecuteRecorder(const TShellExecuteRecorder&) = delete;
    TShellExecuteRecorder& operator=(const TShellExecuteRecorder&) = delete;

    const std::vector<TShellExecuteCall>& Calls() const { return FCalls; }

private:
    std::vector<TShellExecuteCall> FCalls;
    TShellExecuteHook FPrevious;
};

// The facts "properties" prints: name, folder, kind, size, modification time, permissions. Empty when
// the file does not exist.
std::string FileFactsText(const std::string& fileName);

} // namespace rt
