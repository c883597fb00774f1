#include "support/CliRunner.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <sys/wait.h>

#include "support/TempDir.h"

namespace replidex::test {

namespace {

std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args)
{
    const char* cli = std::getenv("REPLIDEX_CLI");
    if (!cli) throw std::runtime_error("REPLIDEX_CLI is not set");
    TempDir dir;
    const std::string errFile = dir.file("stderr.txt");
    std::string command = ShellQuote(cli);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " 2>" + ShellQuote(errFile) + " </dev/null";

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
