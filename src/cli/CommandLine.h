// Reading a command's arguments. search and add read their options with
// CLI11; analyse, dump and build take no options, every argument but "--help"
// and "-h" is a path to them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace replidex::cli {

// True when one of the arguments is "--help" or "-h" (after "--" too).
bool AsksForHelp(const Args& args);

// Thrown by the handlers of a CommandLine (or by it) to stop reading: the
// command prints `problem` and its usage and exits with 2.
struct UsageError {
    std::string problem;
};
// Thrown by the handlers to stop reading when the arguments ask for help.
struct HelpAsked {};

// A command's options, read by CLI11: "--name VALUE", "--name=VALUE" and flags
// "--name", in any order and as often as given. Every handler runs as its
// argument is read, and every other argument goes, in its place among the
// options, to the handler set with others(); so the first problem in the
// order of the arguments is the one reported. An option takes the argument
// after it whatever it looks like ("--name --help" searches for "--help").
class CommandLine {
public:
    CommandLine();
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // An option with a value; with none left after it, reading ends with
    // `missingValue`.
    void option(const std::string& name, std::function<void(const std::string& value)> take,
                std::string missingValue);
    // An option without a value; given one ("--name=x", "--name=" too),
    // reading ends with `badValue`.
    void flag(const std::string& name, std::function<void()> take, std::string badValue);
    // Every argument that is not an option or an option's value: positional
    // arguments, unknown options (as given, "=value" included), "-h", "-x".
    // `afterDashDash` is true past a "--", which is not handed on itself.
    void others(std::function<void(const std::string& arg, bool afterDashDash)> take);

    // Reads the arguments; UsageError and HelpAsked come through.
    void parse(const Args& args);

private:
    void takeOthers();

    std::unique_ptr<CLI::App> app_;
    std::function<void(const std::string&, bool)> others_;
    std::vector<std::pair<std::string, std::string>> missingValues_;   // option, message
    std::size_t othersTaken_ = 0;
    bool afterDashDash_ = false;
};

}  // namespace replidex::cli
