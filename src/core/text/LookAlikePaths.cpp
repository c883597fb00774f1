#include "core/text/LookAlikePaths.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace replidex {

namespace {

namespace fs = std::filesystem;

// Each look-alike character in UTF-8: the form glibc's CP932 decoder gives
// for the shared code, and the other form, which its encoder also accepts.
struct LookAlike {
    const char* decoded;
    const char* other;
};

constexpr LookAlike kLookAlikes[] = {
    {"\xEF\xBD\x9E", "\xE3\x80\x9C"},   // 0x8160: U+FF5E FULLWIDTH TILDE, U+301C WAVE DASH
    {"\xE2\x88\xA5", "\xE2\x80\x96"},   // 0x8161: U+2225 PARALLEL TO, U+2016 DOUBLE VERTICAL LINE
    {"\xE2\x80\x95", "\xE2\x80\x94"},   // 0x815C: U+2015 HORIZONTAL BAR, U+2014 EM DASH
    {"\xEF\xBC\x8D", "\xE2\x88\x92"},   // 0x817C: U+FF0D FULLWIDTH HYPHEN-MINUS, U+2212 MINUS SIGN
    {"\xEF\xBF\xA0", "\xC2\xA2"},       // 0x8191: U+FFE0 FULLWIDTH CENT SIGN, U+00A2 CENT SIGN
    {"\xEF\xBF\xA1", "\xC2\xA3"},       // 0x8192: U+FFE1 FULLWIDTH POUND SIGN, U+00A3 POUND SIGN
    {"\xEF\xBF\xA2", "\xC2\xAC"},       // 0x81CA: U+FFE2 FULLWIDTH NOT SIGN, U+00AC NOT SIGN
};

constexpr char kDelimiter = '/';

bool StartsWith(std::string_view text, std::size_t at, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return text.size() - at >= n && text.compare(at, n, prefix) == 0;
}

// Every look-alike starts with a byte of 0xC2 or above; plain ASCII text,
// the usual case, is passed over by this test alone.
bool MayHoldLookAlikes(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0xC2) return true;
    return false;
}

// A name in a folder: present even as a dangling symbolic link.
bool Exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(fs::path(path), ec));
}

// The one entry of `folder` whose name folds to `foldedName`; empty when
// none or several do.
std::string FindFoldedName(const std::string& folder, const std::string& foldedName)
{
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder.empty() ? "." : folder), ec);
    if (ec) return {};
    std::string found;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (FoldLookAlikes(name) != foldedName) continue;
        if (!found.empty()) return {};   // ambiguous: no form is the one meant
        found = std::move(name);
    }
    return ec ? std::string() : found;
}

// The name in `folder` that the part `part` of a path stands for: the name
// found for it last time while that is still there (the files of one folder
// are looked up one after another, and looking at one name costs far less
// than reading the folder again), else `part` itself when it exists, else the
// one name of the folder that folds alike. Empty when there is none.
std::string NameInFolder(const std::string& folder, std::string_view part)
{
    struct Found {
        std::string folder, foldedName, name;
    };
    thread_local Found last;
    std::string foldedName = FoldLookAlikes(part);
    if (!last.name.empty() && last.folder == folder && last.foldedName == foldedName &&
        Exists(folder + last.name))
        return last.name;
    std::string name(part);
    if (Exists(folder + name)) return name;
    name = FindFoldedName(folder, foldedName);
    if (!name.empty()) last = {folder, std::move(foldedName), name};
    return name;
}

}  // namespace

std::string FoldLookAlikes(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    if (!MayHoldLookAlikes(utf8)) {
        out.assign(utf8);
        return out;
    }
    for (std::size_t i = 0; i < utf8.size();) {
        const LookAlike* hit = nullptr;
        for (const LookAlike& pair : kLookAlikes)
            if (StartsWith(utf8, i, pair.other)) hit = &pair;
        if (hit) {
            out += hit->decoded;
            i += std::strlen(hit->other);
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

bool HasLookAlikes(std::string_view utf8)
{
    if (!MayHoldLookAlikes(utf8)) return false;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        for (const LookAlike& pair : kLookAlikes)
            if (StartsWith(utf8, i, pair.decoded) || StartsWith(utf8, i, pair.other)) return true;
    return false;
}

std::string FindLookAlikePath(const std::string& decodedPath)
{
    if (!HasLookAlikes(decodedPath) || Exists(decodedPath)) return decodedPath;

    // Part by part: a part without look-alikes is taken as it is; any other
    // is looked up in the folder found so far.
    std::string resolved;
    resolved.reserve(decodedPath.size() + 8);
    std::size_t start = 0;
    while (start <= decodedPath.size()) {
        std::size_t end = decodedPath.find(kDelimiter, start);
        if (end == std::string::npos) end = decodedPath.size();
        const std::string_view part(decodedPath.data() + start, end - start);
        if (!HasLookAlikes(part)) {
            resolved += part;
        } else {
            const std::string name = NameInFolder(resolved, part);
            if (name.empty()) return resolved + decodedPath.substr(start);
            resolved += name;
        }
        if (end == decodedPath.size()) break;
        resolved += kDelimiter;
        start = end + 1;
    }
    return resolved;
}

bool LeadsBackToSameFile(const std::string& nativePath, const std::string& pathBack)
{
    if (nativePath == pathBack) return true;
    if (FoldLookAlikes(nativePath) != FoldLookAlikes(pathBack)) return false;
    return !Exists(nativePath) && !Exists(pathBack);
}

}  // namespace replidex
