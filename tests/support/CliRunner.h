// Runs the built replidex-cli (found through the REPLIDEX_CLI environment
// variable) and collects what it printed and how it ended.
#pragma once

#include <string>
#include <vector>

namespace replidex::test {

struct CliResult {
    int status = -1;   // exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs replidex-cli with the given arguments (each passed as it is).
CliResult RunCli(const std::vector<std::string>& args);
// Runs replidex-cli with arguments already quoted for the shell, in `workDir`
// when one is given, and after `shellPrefix` (a command that runs it, such as
// "timeout 20", or shell settings ending in ";", such as "ulimit -f 8;").
CliResult RunCliCommandLine(const std::string& shellArgs, const std::string& workDir = {},
                            const std::string& shellPrefix = {});
// The system's path delimiter as text ("/", or "\\" on Windows).
std::string Slash();
// A text as it appears inside a JSON string ("\\" and "\"" escaped).
std::string JsonEscaped(const std::string& text);

// A text quoted for the shell.
std::string ShellQuote(const std::string& text);

// The lines of a text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace replidex::test
