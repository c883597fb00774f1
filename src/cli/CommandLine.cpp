#include "cli/CommandLine.h"

#include <algorithm>

#include <CLI/CLI.hpp>

namespace replidex::cli {

namespace {

// CLI11 reads "--name=" as "--name" alone: an option then takes the next
// argument as its value, a flag counts as given without one. Arguments hold
// no NUL byte, so every argument holding a '=' gets one appended before CLI11
// reads it, which keeps an empty value a value; it comes off every text CLI11
// hands back.
constexpr char kEnd = '\0';

std::string WithoutEnd(std::string text)
{
    if (!text.empty() && text.back() == kEnd) text.pop_back();
    return text;
}

}  // namespace

bool AsksForHelp(const Args& args)
{
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

CommandLine::CommandLine() : app_(std::make_unique<CLI::App>())
{
    app_->set_help_flag();                       // the commands print their own help
    app_->allow_extras();                        // everything else goes to others()
    app_->allow_windows_style_options(false);    // "/x" is a path
}

CommandLine::~CommandLine() = default;

void CommandLine::option(const std::string& name, std::function<void(const std::string&)> take,
                         std::string missingValue)
{
    app_->add_option(name)->trigger_on_parse()->each(
        [this, take = std::move(take)](const std::string& value) {
            takeOthers();
            take(WithoutEnd(value));
        });
    missingValues_.emplace_back(name, std::move(missingValue));
}

void CommandLine::flag(const std::string& name, std::function<void()> take, std::string badValue)
{
    app_->add_flag(name)->trigger_on_parse()->each(
        [this, take = std::move(take), badValue = std::move(badValue)](const std::string& value) {
            takeOthers();
            if (!value.empty() && value.back() == kEnd) throw UsageError{badValue};   // "--name=..."
            take();
        });
}

void CommandLine::others(std::function<void(const std::string&, bool)> take)
{
    others_ = std::move(take);
}

void CommandLine::parse(const Args& args)
{
    std::vector<std::string> marked;   // last first, as CLI11 takes them
    marked.reserve(args.size());
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
        marked.push_back(arg->find('=') == std::string::npos ? *arg : *arg + kEnd);
    try {
        app_->parse(marked);
    } catch (const CLI::ArgumentMismatch& e) {
        // The last argument is an option that needs a value.
        takeOthers();
        for (const auto& [name, message] : missingValues_)
            if (args.back() == name) throw UsageError{message};
        throw UsageError{e.what()};
    } catch (const CLI::ParseError& e) {
        takeOthers();
        throw UsageError{e.what()};
    }
    takeOthers();
}

// Hands on the arguments CLI11 set aside since the last call: in their place
// among the options, as every option's handler calls this first.
void CommandLine::takeOthers()
{
    const std::vector<std::string> others = app_->remaining();
    for (; othersTaken_ < others.size(); ++othersTaken_) {
        const std::string arg = WithoutEnd(others[othersTaken_]);
        // CLI11 sets the first "--" aside too; every argument after it is
        // set aside as it is.
        if (arg == "--" && !afterDashDash_) afterDashDash_ = true;
        else if (others_) others_(arg, afterDashDash_);
    }
}

}  // namespace replidex::cli
