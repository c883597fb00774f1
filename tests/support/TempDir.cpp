#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "core/file/NativeFiles.h"

namespace replidex::test {


TempDir::TempDir()
{
#ifdef _WIN32
    // No mkdtemp: a random name, made only if nothing has it yet.
    static thread_local std::mt19937 engine{std::random_device{}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("replidex-test-" + std::to_string(engine()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "replidex-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const
{
    return NativePathOf((path_ / FsPath(name)).make_preferred());
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const
{
    const std::filesystem::path p = path_ / FsPath(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return NativePathOf(std::filesystem::path(p).make_preferred());
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(FsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace replidex::test
