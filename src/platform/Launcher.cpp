#include "platform/Launcher.h"

#ifdef _WIN32
#include <windows.h>
#include <vector>
#else
#include <filesystem>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#endif

#include "shell/SjisCodec.h"

namespace replidex {

namespace {

#ifdef _WIN32
// Starts `commandLine` with a normally shown window and lets it run on its own.
bool StartCommandLine(std::string commandLine)
{
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
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
bool StartOpener(const std::string& nativePath)
{
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   QStringList{QFile::decodeName(QByteArray::fromStdString(nativePath))});
}
#endif

}  // namespace

bool OpenHelp(const std::string& programFolder)
{
#ifdef _WIN32
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return StartCommandLine("C:\\Windows\\hh.exe " + Argument(folder + "Replidex.chm"));
#else
    const std::filesystem::path page = std::filesystem::path(programFolder) / "help" / "index.html";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(page, ec)) return false;
    return StartOpener(page.string());
#endif
}

bool OpenFileManager(const std::string& sjisFolder)
{
#ifdef _WIN32
    return StartCommandLine("C:\\Windows\\explorer.exe " + Argument(sjisFolder));
#else
    const std::string native = NativePathFromSjis(sjisFolder);
    std::error_code ec;
    if (native.empty() || !std::filesystem::is_directory(native, ec)) return false;
    return StartOpener(native);
#endif
}

}  // namespace replidex
