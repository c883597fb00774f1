#include "platform/XdgEntries.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/list/ListFile.h"
#include "platform/DesktopIdentity.h"

extern char** environ;

namespace replidex {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

std::string Unescaped(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default:
            out += '\\';
            out += value[i];
        }
    }
    return out;
}

// Runs `argv` with no input and no output and waits for it. False when it
// could not be started.
bool RunQuietly(const std::vector<std::string>& argv)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    for (const int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child = 0;
    const int started = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace

std::string DesktopExecArgument(std::string_view argument)
{
    std::string out;
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    if (quote) out += '"';
    for (const char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    if (quote) out += '"';
    return out;
}

std::string DesktopStringValue(std::string_view value)
{
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ExecProgram(std::string_view execValue)
{
    const std::string value = Unescaped(execValue);
    std::size_t i = value.find_first_not_of(" \t");
    if (i == std::string::npos) return {};
    std::string program;
    if (value[i] == '"') {
        for (++i; i < value.size() && value[i] != '"'; ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            program += value[i];
        }
    } else {
        for (; i < value.size() && value[i] != ' ' && value[i] != '\t'; ++i) program += value[i];
    }
    // "%%" is a literal percent sign.
    std::string out;
    for (std::size_t k = 0; k < program.size(); ++k) {
        out += program[k];
        if (program[k] == '%' && k + 1 < program.size() && program[k + 1] == '%') ++k;
    }
    return out;
}

std::string ListDesktopEntry(const std::string& programPath, const std::string& icon)
{
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Replidex\n"
                       "Comment=Replay list manager\n"
                       "Comment[ja]=リプレイ一覧表示＆検索ツール\n";
    text += "Exec=" + DesktopStringValue(DesktopExecArgument(programPath) + " %f") + "\n";
    if (!icon.empty()) text += "Icon=" + DesktopStringValue(icon) + "\n";
    text += "Terminal=false\n"
            "Categories=Game;\n";
    text += "MimeType=" + std::string(kListMimeType) + ";\n";
    return text;
}

std::string ListMimePackage()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" + std::string(kListMimeType) + "\">\n"
           "    <comment>Replidex replay list</comment>\n"
           "    <comment xml:lang=\"ja\">リプレイリストファイル</comment>\n"
           "    <magic priority=\"50\">\n"
           "      <match type=\"little32\" value=\"" + std::to_string(kListFileVersion) +
           "\" offset=\"0\"/>\n"
           "    </magic>\n"
           "    <glob pattern=\"*.rdx\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool WriteWholeFile(const std::string& path, std::string_view bytes)
{
    std::error_code ec;
    const fs::path target(path);
    fs::create_directories(target.parent_path(), ec);
    if (ec) return false;
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (!ec) return true;
    fs::remove(temp, ec);
    return false;
}

void RefreshXdgCaches(const std::string& dataHome, bool mime, bool desktop)
{
    std::error_code ec;
    if (mime && fs::is_directory(dataHome + "/mime/packages", ec))
        RunQuietly({"update-mime-database", dataHome + "/mime"});
    if (desktop && fs::is_directory(dataHome + "/applications", ec))
        RunQuietly({"update-desktop-database", dataHome + "/applications"});
}

}  // namespace replidex
