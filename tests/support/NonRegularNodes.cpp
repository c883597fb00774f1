#include "support/NonRegularNodes.h"

#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"

namespace replidex::test {

namespace fs = std::filesystem;

const char* NameOf(SpecialNode node)
{
    switch (node) {
    case SpecialNode::Fifo: return "fifo";
    case SpecialNode::TempDevice: return "device";
    case SpecialNode::Folder: return "folder";
    case SpecialNode::LinkToZero: return "link to /dev/zero";
    case SpecialNode::LinkToTempNode: return "link to a device or FIFO";
    case SpecialNode::HugeOtherVersion: return "4 GB of zeros";
    case SpecialNode::HugeList: return "list header, then more than a list holds";
    }
    return "?";
}

bool MakeSpecialNode(const std::string& path, SpecialNode node)
{
    std::error_code ec;
    switch (node) {
    case SpecialNode::Folder: return fs::create_directory(FsPath(path), ec);
    case SpecialNode::HugeOtherVersion:
    case SpecialNode::HugeList: {
        std::FILE* file = OpenFileStream(path, "wb");
        if (!file) return false;
        if (node == SpecialNode::HugeList) std::fwrite("\xE8\x03\x00\x00", 1, 4, file);
        std::fclose(file);
        // Sparse: no disk space taken.
        fs::resize_file(FsPath(path), node == SpecialNode::HugeList ? kListMaxFileBytes + 1 : 4ull << 30, ec);
        return !ec;
    }
#ifndef _WIN32
    case SpecialNode::Fifo: return ::mkfifo(path.c_str(), 0600) == 0;
    case SpecialNode::TempDevice: return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    case SpecialNode::LinkToZero:
        fs::create_symlink("/dev/zero", path, ec);
        return !ec;
    case SpecialNode::LinkToTempNode: {
        const std::string target = path + ".node";
        if (!MakeSpecialNode(target, SpecialNode::TempDevice) && !MakeSpecialNode(target, SpecialNode::Fifo))
            return false;
        fs::create_symlink(target, path, ec);
        return !ec;
    }
#else
    default: return false;
#endif
    }
    return false;
}

std::string InChildWithAlarm(const std::function<std::string()>& body, unsigned seconds)
{
#ifdef _WIN32
    (void)seconds;
    return body();
#else
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        ::alarm(seconds);
        const std::string answer = body();
        (void)!::write(fds[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    return answer;
#endif
}

}  // namespace replidex::test
