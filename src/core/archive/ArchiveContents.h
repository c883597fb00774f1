// What the archive folder already holds, for the plan's "already archived":
// the regular files anywhere under it (hidden ones and temporaries left out)
// whose size is one of the slot files', listed in one walk of the folder
// tree; the copies the plan is to make join it. A file is only ever read
// when its size equals the slot file's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace replidex {

class ArchiveContents {
public:
    ArchiveContents(const std::string& root, const std::unordered_set<std::uint64_t>& sizes);

    struct Copy {
        std::string path;        // native
        std::string relative;    // below the archive folder, "/" between folders
        std::string contentOf;   // a planned copy: the file whose bytes it will hold
    };

    // The archived file (existing or planned) holding the bytes of the slot
    // file `source` (never that file itself); `bytes` are its bytes when
    // they were read, or null. Existing files are tried in path order.
    const Copy* find(const std::string& source, std::uint64_t size, const std::string_view* bytes);

    void addPlanned(std::uint64_t size, Copy copy);

private:
    std::unordered_map<std::uint64_t, std::vector<Copy>> bySize_;
};

}  // namespace replidex
