#include "core/settings/ProfileFile.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <iterator>

#include <cerrno>
#include <ctime>

#include "core/file/NativeFiles.h"

#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

namespace fs = std::filesystem;

// A settings file larger than this is not a settings file; it is left alone.
constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length of the character at `i` of `text` limited to `end`: 2 for a lead
// byte followed by a trail byte, else 1.
std::size_t CharLength(std::string_view text, std::size_t i, std::size_t end)
{
    return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < end &&
                   IsTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

std::string_view Trim(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// Names compare like the Windows functions compare them: ASCII letters without
// regard to case. The second byte of a two-byte character is never folded.
std::string Fold(std::string_view name)
{
    std::string out(name);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = CharLength(out, i, out.size());
        if (n == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += n;
    }
    return out;
}

// The quotes GetPrivateProfileString strips: a value of at least two bytes
// that starts and ends with the same quote character.
bool IsQuoted(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

std::string_view Unquote(std::string_view raw)
{
    return IsQuoted(raw) ? raw.substr(1, raw.size() - 2) : raw;
}

// The text to write for `value` so that it reads back unchanged.
std::string Encode(std::string_view value)
{
    const bool quote = !value.empty() &&
                       (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value));
    if (!quote) return std::string(value);
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    out += value;
    out += '"';
    return out;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Writes `bytes` to a new file next to `target` (with the target's
// permissions), then puts it in the target's place in one step.
bool ReplaceAtomically(const std::string& target, std::string_view bytes, std::error_code& why)
{
    const auto lastError = [] {
        return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    };
    static std::atomic<unsigned> counter{0};
    const std::string base = target + ".tmp-" +
                             std::to_string(reinterpret_cast<std::uintptr_t>(&counter) ^
                                            static_cast<std::uintptr_t>(std::time(nullptr))) + "-";
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = base + std::to_string(++counter);
        errno = 0;
        fd = CreateNewFile(temp, target);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        why = lastError();
        return false;
    }
    why.clear();
    std::size_t done = 0;
    while (!why && done < bytes.size()) {
        errno = 0;
        const long long n = WriteToFile(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else why = lastError();
    }
    errno = 0;
    if (!CloseFile(fd, !why) && !why) why = lastError();
    if (!why) why = MoveOverFile(temp, target);
    if (why) RemoveFile(temp);
    return !why;
}

}  // namespace

ProfileFile::ProfileFile(std::string nativePath) : path_(std::move(nativePath))
{
    if (path_.empty()) return;
    ReadOnlyFile file;
    std::error_code why;
    switch (file.open(path_, &why)) {
    case ReadOnlyFile::OpenResult::Missing:
        return;   // an empty profile
    case ReadOnlyFile::OpenResult::NotRegular:
    case ReadOnlyFile::OpenResult::CannotOpen:
        // Something is there; it must not be overwritten.
        readError_ = why;
        return;
    case ReadOnlyFile::OpenResult::Opened:
        break;
    }
    FileBytes bytes;
    if (!ReadFileBytes(file, kMaxFileBytes, bytes, why)) {
        readError_ = why;
        return;
    }
    parse(bytes.view());
}

ProfileFile ProfileFile::FromBytes(std::string_view bytes)
{
    ProfileFile file;
    file.parse(bytes);
    return file;
}

void ProfileFile::parse(std::string_view bytes)
{
    lines_.clear();
    bom_.clear();
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bom_ = kUtf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        Line line;
        if (end == npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            line.text = bytes.substr(start, end - start);
            const std::size_t breakLength =
                bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
            line.eol = bytes.substr(end, breakLength);
            start = end + breakLength;
        }
        classify(line);
        lines_.push_back(std::move(line));
    }
}

void ProfileFile::classify(Line& line)
{
    const std::string_view text = line.text;
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    line.name.clear();
    line.folded.clear();
    line.valueStart = line.valueEnd = e;
    if (b == e) {
        line.kind = Kind::Blank;
        return;
    }
    if (text[b] == '[') {
        // The name ends at the last "]" that is a character of its own.
        std::size_t close = npos;
        for (std::size_t i = b + 1; i < e;) {
            const std::size_t n = CharLength(text, i, e);
            if (n == 1 && text[i] == ']') close = i;
            i += n;
        }
        if (close != npos) {
            line.kind = Kind::Section;
            line.name = Trim(text.substr(b + 1, close - b - 1));
            line.folded = Fold(line.name);
            return;
        }
        // No closing bracket: an ordinary line.
    }
    if (text[b] == ';') {
        line.kind = Kind::Comment;
        return;
    }
    // "=" never occurs as the second byte of a two-byte character.
    const std::size_t eq = text.substr(0, e).find('=', b);
    if (eq == npos) {
        // A line without "=" is no key, as the Windows functions read it.
        line.kind = Kind::Ignored;
        return;
    }
    std::size_t nameEnd = eq;
    while (nameEnd > b && IsBlank(text[nameEnd - 1])) --nameEnd;
    if (nameEnd == b) {
        line.kind = Kind::Ignored;
        return;
    }
    std::size_t v = eq + 1;
    while (v < e && IsBlank(text[v])) ++v;
    line.kind = Kind::Key;
    line.name = text.substr(b, nameEnd - b);
    line.folded = Fold(line.name);
    line.valueStart = v;
    line.valueEnd = e;
}

std::size_t ProfileFile::findSection(std::string_view section) const
{
    const std::string folded = Fold(Trim(section));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && lines_[i].folded == folded) return i;
    }
    return npos;
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
    return i;
}

std::size_t ProfileFile::findKey(std::size_t header, std::string_view key) const
{
    const std::string folded = Fold(Trim(key));
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && lines_[i].folded == folded) return i;
    }
    return npos;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const
{
    const std::size_t header = findSection(section);
    if (header == npos) return std::string(fallback);
    const std::size_t at = findKey(header, key);
    if (at == npos) return std::string(fallback);
    const Line& line = lines_[at];
    const std::string_view raw =
        std::string_view(line.text).substr(line.valueStart, line.valueEnd - line.valueStart);
    return std::string(Unquote(raw));
}

int ParseProfileNumber(std::string_view text, int fallback)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return fallback;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::string text = readString(section, key, {});
    return text.empty() ? fallback : ParseProfileNumber(text, 0);
}

int ProfileFile::readNumber(std::string_view section, std::string_view key, int fallback) const
{
    return ParseProfileNumber(readString(section, key, {}), fallback);
}

// The names of the lines of `kind` in lines[first, last), each once (names
// compare without regard to case; the first spelling is kept), in file order.
template <typename Lines, typename Kind>
std::vector<std::string> UniqueNames(const Lines& lines, std::size_t first, std::size_t last, Kind kind)
{
    std::vector<std::string> names;
    std::vector<std::string> seen;
    for (std::size_t i = first; i < last; ++i) {
        const auto& line = lines[i];
        if (line.kind != kind) continue;
        if (std::find(seen.begin(), seen.end(), line.folded) != seen.end()) continue;
        seen.push_back(line.folded);
        names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> ProfileFile::sectionNames() const
{
    return UniqueNames(lines_, 0, lines_.size(), Kind::Section);
}

std::vector<std::string> ProfileFile::keyNames(std::string_view section) const
{
    const std::size_t header = findSection(section);
    if (header == npos) return {};
    return UniqueNames(lines_, header + 1, sectionEnd(header), Kind::Key);
}

std::string ProfileFile::newLineBreak() const
{
    for (const Line& line : lines_) {
        if (!line.eol.empty()) return line.eol;
    }
    return defaultEol_;
}

void ProfileFile::terminateLine(std::size_t index)
{
    if (index < lines_.size() && lines_[index].eol.empty()) lines_[index].eol = newLineBreak();
}

bool ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value)
{
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value)) return false;
    const std::string encoded = Encode(value);
    const std::string eol = newLineBreak();

    // A line is only written when reading it gives back the name and value
    // asked for; that rules out names with "=", comment or header lines and
    // names that end in half a two-byte character.
    const auto readsBack = [&](const Line& line) {
        return line.kind == Kind::Key && line.folded == Fold(keyName) &&
               Unquote(std::string_view(line.text).substr(
                   line.valueStart, line.valueEnd - line.valueStart)) == value;
    };
    Line fresh;
    fresh.text = std::string(keyName) + "=" + encoded;
    fresh.eol = eol;
    classify(fresh);

    const std::size_t header = findSection(sectionName);
    if (header != npos) {
        const std::size_t at = findKey(header, keyName);
        if (at != npos) {
            // Keep the line's indentation, name and spacing; replace the value.
            Line changed = lines_[at];
            changed.text = changed.text.substr(0, changed.valueStart) + encoded;
            classify(changed);
            if (!readsBack(changed)) return false;
            lines_[at] = std::move(changed);
            return true;
        }
        if (!readsBack(fresh)) return false;
        // After the section's last key (or its header), before any trailing
        // comments and blank lines.
        std::size_t anchor = header;
        const std::size_t end = sectionEnd(header);
        for (std::size_t i = header + 1; i < end; ++i) {
            if (lines_[i].kind == Kind::Key || lines_[i].kind == Kind::Ignored) anchor = i;
        }
        terminateLine(anchor);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(anchor + 1), std::move(fresh));
        return true;
    }

    if (!readsBack(fresh)) return false;
    Line head;
    head.text = "[" + std::string(sectionName) + "]";
    head.eol = eol;
    classify(head);
    if (head.kind != Kind::Section || head.name != sectionName) return false;
    if (!lines_.empty()) terminateLine(lines_.size() - 1);
    lines_.push_back(std::move(head));
    lines_.push_back(std::move(fresh));
    return true;
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, int value)
{
    return writeString(section, key, std::to_string(value));
}

bool ProfileFile::deleteKey(std::string_view section, std::string_view key)
{
    const std::string sectionFolded = Fold(Trim(section));
    const std::string keyFolded = Fold(Trim(key));
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    bool inSection = false;
    bool found = false;
    for (Line& line : lines_) {
        if (line.kind == Kind::Section) inSection = line.folded == sectionFolded;
        if (inSection && line.kind == Kind::Key && line.folded == keyFolded) {
            found = true;
            continue;
        }
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    return found;
}

void ProfileFile::eraseSection(std::string_view section)
{
    const std::string folded = Fold(Trim(section));
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    bool erasing = false;
    for (Line& line : lines_) {
        if (line.kind == Kind::Section) erasing = line.folded == folded;
        if (!erasing) kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

std::string ProfileFile::bytes() const
{
    std::string out = bom_;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

bool ProfileFile::save() const
{
    std::error_code ignored;
    return save(ignored);
}

bool ProfileFile::save(std::error_code& why) const
{
    if (path_.empty()) {
        why = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    if (readError_) {
        why = readError_;   // whatever is there could not be read: it is kept as it is
        return false;
    }
    fs::path target = FsPath(path_);
    // Replace the file a symbolic link points to, not the link.
    for (int depth = 0; depth < 16 && fs::is_symlink(fs::symlink_status(target, why)); ++depth) {
        const fs::path linked = fs::read_symlink(target, why);
        if (why) return false;
        target = linked.is_absolute() ? linked : target.parent_path() / linked;
    }
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), why);
        if (why) return false;
    }
    const std::string native = NativePathOf(target);
    why = CheckReplaceable(native);   // never a device or a FIFO replaced by a file
    return !why && ReplaceAtomically(native, bytes(), why);
}

}  // namespace replidex
