// Things in the file system that are no regular files, and files too large
// to be lists, made in a test's folder for the readers and writers to meet.
#pragma once

#include <functional>
#include <string>

namespace replidex::test {

enum class SpecialNode {
    Fifo,
    TempDevice,        // a character device (the null device) made in the folder; needs root
    Folder,
    LinkToZero,        // a link to /dev/zero: only ever read
    LinkToTempNode,    // a link to a TempDevice, or to a FIFO without root
    HugeOtherVersion,  // 4 GB of zeros, sparse
    HugeList,          // a list's version, then more bytes than any list holds, sparse
};

const char* NameOf(SpecialNode node);

// Makes `node` at `path`; false when this system cannot (devices need root,
// FIFOs and devices POSIX). Writes only ever go to nodes made here, never to
// a real device.
bool MakeSpecialNode(const std::string& path, SpecialNode node);

// What `body` answered, run in a child process that an alarm ends after
// `seconds`, so that a body which waits fails instead of hanging the suite
// ("ended by signal 14"). On Windows `body` runs in the test itself.
std::string InChildWithAlarm(const std::function<std::string()>& body, unsigned seconds = 20);

}  // namespace replidex::test
