#include "cli/OptionParsing.h"

#include <iostream>

namespace replidex::cli {

std::optional<int> ParseOptions(CLI::App& app, const Args& args)
{
    // CLI11 takes a vector of arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, std::cout, std::cerr);
        return status == 0 ? 0 : 2;
    }
    return std::nullopt;
}

}  // namespace replidex::cli
