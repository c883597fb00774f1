// A fresh temporary directory for one test, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace replidex::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Path of `name` (UTF-8, "/" between folders) inside the directory, in
    // native form: UTF-8 with the system's own delimiter.
    std::string file(std::string_view name) const;
    // Writes `bytes` to `name` (creating parent folders) and answers its path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::string& path);

}  // namespace replidex::test
