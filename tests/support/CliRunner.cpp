#include "support/CliRunner.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <sys/wait.h>

#include "support/TempDir.h"

namespace replidex::test {

std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

CliResult RunCli(const std::vector<std::string>& args)
{
    std::string shellArgs;
    for (const std::string& arg : args) shellArgs += " " + ShellQuote(arg);
    return RunCliCommandLine(shellArgs + " </dev/null");
}

CliResult RunCliCommandLine(const std::string& shellArgs, const std::string& workDir)
{
    const char* cli = std::getenv("REPLIDEX_CLI");
    if (!cli) throw std::runtime_error("REPLIDEX_CLI is not set");
    TempDir dir;
    const std::string errFile = dir.file("stderr.txt");
    std::string command;
    if (!workDir.empty()) command = "cd " + ShellQuote(workDir) + " && ";
    command += ShellQuote(cli) + " " + shellArgs + " 2>" + ShellQuote(errFile);

    CliResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadWholeFile(errFile);
    return result;
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
