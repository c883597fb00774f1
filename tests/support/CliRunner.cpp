#include "support/CliRunner.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include "support/TempDir.h"

namespace replidex::test {

#ifdef _WIN32
// For cmd.exe and then the program's own reading of its command line
// (CommandLineToArgvW): the text in double quotes, with the backslashes that
// stand before a quote (or before the closing one) doubled, as the program
// halves them there. A quote inside the text closes the quotes, goes as \^"
// and opens them again: cmd passes ^" on as a plain quote without starting a
// quoted part, so its count of quotes stays even and the redirections after
// the arguments stay redirections; the program reads \" as a quote.
std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '"') {
            quoted.append(backslashes, '\\');
            quoted += "\"\\^\"\"";
        } else {
            quoted += c;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

namespace {
const char* const kNoInput = " <NUL";

std::wstring Wide(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::FILE* StartCommand(const std::string& command)
{
    // cmd /c drops the first and last quote of the line; the extra pair keeps
    // the quoted program path and arguments whole.
    return _wpopen(Wide("\"" + command + "\"").c_str(), L"rb");
}

int EndCommand(std::FILE* pipe)
{
    return _pclose(pipe);
}

std::string ChangeFolder(const std::string& folder)
{
    return "cd /d " + ShellQuote(folder) + " && ";
}
}  // namespace
#else
namespace {
const char* const kNoInput = " </dev/null";

std::FILE* StartCommand(const std::string& command)
{
    return ::popen(command.c_str(), "r");
}

int EndCommand(std::FILE* pipe)
{
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ChangeFolder(const std::string& folder)
{
    return "cd " + ShellQuote(folder) + " && ";
}
}  // namespace

std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}
#endif

CliResult RunCli(const std::vector<std::string>& args)
{
    std::string shellArgs;
    for (const std::string& arg : args) shellArgs += " " + ShellQuote(arg);
    return RunCliCommandLine(shellArgs + kNoInput);
}

CliResult RunCliCommandLine(const std::string& shellArgs, const std::string& workDir,
                            const std::string& shellPrefix)
{
    const char* cli = std::getenv("REPLIDEX_CLI");
    if (!cli) throw std::runtime_error("REPLIDEX_CLI is not set");
    TempDir dir;
    const std::string errFile = dir.file("stderr.txt");
    std::string command;
    if (!workDir.empty()) command = ChangeFolder(workDir);
    if (!shellPrefix.empty()) command += shellPrefix + " ";
    command += ShellQuote(cli) + " " + shellArgs + " 2>" + ShellQuote(errFile);

    const auto run = [&] {
        CliResult result;
        std::FILE* pipe = StartCommand(command);
        if (!pipe) return result;
        char buffer[1 << 16];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
        result.status = EndCommand(pipe);
        result.err = ReadWholeFile(errFile);
        return result;
    };
    CliResult result = run();
#ifdef _WIN32
    // Under Wine, a command started while another test's processes start
    // now and then never runs: no output at all and a failed status. The
    // program always says something when it fails, so such a run is tried
    // once more; a real fault fails the same way again.
    if (result.status != 0 && result.out.empty() && result.err.empty()) result = run();
#endif
    return result;
}

std::string Slash()
{
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

std::string JsonEscaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace replidex::test
