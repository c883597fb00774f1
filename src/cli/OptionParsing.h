// Parsing a command's arguments with CLI11.
#pragma once

#include <optional>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"

namespace replidex::cli {

// Parses `args` (the arguments after the command's name) into `app`. Answers
// the exit status when the command is to end here: 0 after printing the help
// (--help), 2 after printing what is wrong with the arguments.
std::optional<int> ParseOptions(CLI::App& app, const Args& args);

}  // namespace replidex::cli
