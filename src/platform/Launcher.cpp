#include "platform/Launcher.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <vector>
#else
#include <cerrno>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"

// Where an install puts the help page, relative to the folder of the
// installed program (set by the build from its install folders).
#ifndef REPLIDEX_INSTALLED_HELP_FOLDER
#define REPLIDEX_INSTALLED_HELP_FOLDER "../share/replidex/help"
#endif

namespace replidex {

namespace {

#ifdef _WIN32
// Starts `commandLine` (UTF-8) with a normally shown window and lets it run
// on its own.
bool StartCommandLine(const std::string& commandLine)
{
    std::wstring buffer = FsPath(commandLine).native();
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// A path with a blank goes into the command line in quotes, so that the
// viewer gets it as one argument.
std::string Argument(const std::string& path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}
#else
// Starts "xdg-open <nativePath>" detached from this process: a first child
// starts a new session and forks the opener, then ends at once, so the opener
// never becomes a zombie of ours and outlives the program. A pipe closed on
// exec tells whether the exec itself worked; the children only make calls
// that are safe after fork in a threaded program.
bool StartOpener(const std::string& nativePath)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t first = fork();
    if (first < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (first == 0) {
        close(report[0]);
        setsid();
        const pid_t opener = fork();
        if (opener == 0) {
            const char* argv[] = {"xdg-open", nativePath.c_str(), nullptr};
            execvp(argv[0], const_cast<char* const*>(argv));
            const int error = errno;
            [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
            _exit(127);
        }
        if (opener < 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got == 0;  // closed by a successful exec, nothing written
}
#endif

}  // namespace

std::string HelpPagePath(const std::string& programFolder)
{
    if (programFolder.empty()) return {};
    const std::filesystem::path folder(programFolder);
    const std::filesystem::path candidates[] = {
        folder / "help" / "index.html",
        folder / REPLIDEX_INSTALLED_HELP_FOLDER / "index.html",
    };
    for (const std::filesystem::path& page : candidates) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(page, ec)) continue;
        // Without the "..": the viewer shows a plain path.
        const std::filesystem::path real = std::filesystem::canonical(page, ec);
        return ec ? page.string() : real.string();
    }
    return {};
}

bool OpenHelp(const std::string& programFolder)
{
    const std::string page = HelpPagePath(programFolder);
    if (page.empty()) return false;
#ifdef _WIN32
    // The help is an HTML page: the user's browser shows it.
    const HINSTANCE started = ShellExecuteW(nullptr, L"open", FsPath(page).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(started) > 32;
#else
    return StartOpener(page);
#endif
}

bool OpenFileManager(const std::string& sjisFolder)
{
#ifdef _WIN32
    const std::string folder = NativePathFromSjis(sjisFolder);
    if (folder.empty()) return false;
    return StartCommandLine("C:\\Windows\\explorer.exe " + Argument(folder));
#else
    const std::string native = NativePathFromSjis(sjisFolder);
    std::error_code ec;
    if (native.empty() || !std::filesystem::is_directory(native, ec)) return false;
    return StartOpener(native);
#endif
}

}  // namespace replidex
