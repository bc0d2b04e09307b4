#include "os/Shell.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rt {
namespace {

std::mutex gHookLock;
TShellExecuteHook gHook;

std::string LowerAscii(std::string_view s) {
    std::string lower(s);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// "http://host/x", "mailto:a@b": addresses the opener resolves itself.
bool IsAddress(std::string_view file) {
    size_t colon = file.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (char c : file.substr(0, colon))
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.')) return false;
    return file.substr(colon).starts_with("://") || LowerAscii(file.substr(0, colon)) == "mailto";
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "";
    while (!dirs.empty()) {
        size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        if (dir.empty()) continue;
        std::string candidate = dir + '/' + program;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

// Starts program with one argument in a new session whose parent has already gone, so that nobody has
// to wait for it. Returns 0, or the errno of the failed start.
int SpawnDetached(const std::string& program, const std::string& argument) {
    std::string arg0 = program;
    std::string arg1 = argument;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return errno;
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        execv(argv[0], argv);
        int error = errno;
        ssize_t ignored = write(report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (n == static_cast<ssize_t>(sizeof error)) return error;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return EAGAIN;
    return 0;
}

int OpenFile(const std::string& file) {
    if (!IsAddress(file) && access(file.c_str(), F_OK) != 0) return ERROR_FILE_NOT_FOUND;
    std::string opener = FindOnPath("xdg-open");
    if (opener.empty()) return SE_ERR_NOASSOC;
    int error = SpawnDetached(opener, file);
    if (error == 0) return SE_SUCCESS;
    return error == ENOMEM || error == EAGAIN ? SE_ERR_OOM : SE_ERR_NOASSOC;
}

int ShowProperties(const std::string& file) {
    std::string facts = FileFactsText(file);
    if (facts.empty()) return ERROR_FILE_NOT_FOUND;
    std::fputs(facts.c_str(), stdout);
    std::fflush(stdout);
    return SE_SUCCESS;
}

std::string PermissionText(mode_t mode) {
    const char* letters = "rwxrwxrwx";
    std::string text;
    for (int bit = 0; bit < 9; ++bit) text += mode & (0400 >> bit) ? letters[bit] : '-';
    return text;
}

} // namespace

int ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& directory, int showCmd) {
    TShellExecuteCall call{verb, file, parameters, directory, showCmd};
    TShellExecuteHook hook;
    {
        std::lock_guard<std::mutex> guard(gHookLock);
        hook = gHook;
    }
    if (hook) return hook(call);

    std::string path = file;
    if (!directory.empty() && !path.empty() && path.front() != '/' && !IsAddress(path))
        path = directory + (directory.back() == '/' ? "" : "/") + path;
    if (path.empty()) return ERROR_FILE_NOT_FOUND;
    std::string action = LowerAscii(verb);
    if (action.empty() || action == "open") return OpenFile(path);
    if (action == "properties") return ShowProperties(path);
    return SE_ERR_NOASSOC;
}

TShellExecuteHook SetShellExecuteHook(TShellExecuteHook hook) {
    std::lock_guard<std::mutex> guard(gHookLock);
    std::swap(gHook, hook);
    return hook;
}

TShellExecuteRecorder::TShellExecuteRecorder(int result) {
    FPrevious = SetShellExecuteHook([this, result](const TShellExecuteCall& call) {
        FCalls.push_back(call);
        return result;
    });
}

TShellExecuteRecorder::~TShellExecuteRecorder() {
    SetShellExecuteHook(std::move(FPrevious));
}

std::string FileFactsText(const std::string& fileName) {
    struct stat info {};
    if (fileName.empty() || stat(fileName.c_str(), &info) != 0) return {};
    size_t slash = fileName.rfind('/');
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    std::string folder = slash == std::string::npos ? "." : fileName.substr(0, slash == 0 ? 1 : slash);
    const char* kind = S_ISDIR(info.st_mode) ? "folder" : S_ISREG(info.st_mode) ? "file" : "other";

    char modified[32] = "?";
    tm local{};
    if (localtime_r(&info.st_mtim.tv_sec, &local))
        std::strftime(modified, sizeof modified, "%Y-%m-%d %H:%M:%S", &local);

    std::string text;
    text += "Name: " + name + '\n';
    text += "Folder: " + folder + '\n';
    text += std::string("Kind: ") + kind + '\n';
    text += "Size: " + std::to_string(static_cast<long long>(info.st_size)) + " bytes\n";
    text += std::string("Modified: ") + modified + '\n';
    text += "Permissions: " + PermissionText(info.st_mode) + '\n';
    return text;
}

} // namespace rt
