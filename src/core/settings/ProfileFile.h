// The settings file: an INI file of Shift-JIS bytes read and written the way
// the Windows private-profile functions do it, while every byte that is not
// changed stays exactly as it was (comments, blank lines, unknown sections,
// line endings, a missing final line break).
//
// How a file is read, line by line (LF, CR LF and a lone CR all end a line):
//   - Leading and trailing blanks (space, tab, VT, FF) of a line do not count.
//   - "[name]" starts a section: the name lies between the "[" and the last
//     "]" of the line, blanks around it removed. A "[" line without a closing
//     "]" is an ordinary line.
//   - A line starting with ";" is a comment; a blank line is nothing.
//   - "key=value" is a key: the name is the text before the first "=", the
//     value the text after it, both without surrounding blanks. A value
//     enclosed in a pair of equal quotes (" or ') is read without them. A ";"
//     inside a value is part of the value.
//   - A line without "=" is no key: it is neither listed among the key names
//     nor read, and is kept as it is. A line "=value" (no name) is ignored too.
//   - Lines before the first section header belong to no section.
//   - Section and key names compare without regard to ASCII case; bytes of a
//     two-byte Shift-JIS character are never case-folded and never taken for
//     a "]".
//   - When a section or a key occurs twice, the first occurrence wins: reads,
//     key lists and writes all go to it. (eraseSection removes every
//     occurrence, so an erased and rewritten section holds exactly what was
//     written.)
//
// Writing keeps reads and writes inverse to each other: a value that would
// not read back the same (blanks at either end, or enclosed in a pair of equal
// quotes) is written enclosed in double quotes, which the Windows functions
// strip as well. A write that cannot be represented at all (a line break in a
// name or value, a key name with "=", starting with ";" or "[", an empty key
// name) is refused and changes nothing.
//
// Plain C++; paths are in the file system's own encoding (UTF-8 on Linux).
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace replidex {

// A settings value as a number: leading blanks, an optional sign and the
// decimal digits that follow, limited to the range of int; whatever follows the
// digits is ignored. `fallback` when no digit follows the blanks and the sign.
int ParseProfileNumber(std::string_view text, int fallback);

class ProfileFile {
public:
    // An empty file with no path (save() then fails).
    ProfileFile() = default;
    // Reads the file at `nativePath`. A missing file, or one that cannot be
    // read, gives an empty profile: every read answers its default.
    explicit ProfileFile(std::string nativePath);
    // A profile over bytes already in memory, with no path.
    static ProfileFile FromBytes(std::string_view bytes);

    const std::string& path() const { return path_; }
    // True when the file exists but could not be read (or is too large to be
    // a settings file). save() then refuses to replace it.
    bool readFailed() const { return static_cast<bool>(readError_); }

    // The value of `key` in `section`; `fallback` when the section, the key or
    // its value is missing. An empty value ("key=") reads as empty.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // The value as a number, as GetPrivateProfileInt reads it: `fallback` when
    // the value is missing or empty; otherwise an optional sign and the
    // decimal digits at its start (0 when there are none), limited to the
    // range of int.
    int readInt(std::string_view section, std::string_view key, int fallback) const;
    // The value as a number as the program's own settings take it: like
    // readInt, but a value that is no number ("abc") reads as `fallback` too.
    int readNumber(std::string_view section, std::string_view key, int fallback) const;

    // Names of the sections in file order, each once (as first spelled).
    std::vector<std::string> sectionNames() const;
    // Names of the keys of `section` in file order, each once (as first
    // spelled).
    std::vector<std::string> keyNames(std::string_view section) const;

    // Sets `key` of `section` to `value`: an existing key's line gets the new
    // value in place (its name and spacing kept); a new key is added after the
    // last key of its section; a new section is added at the end of the file.
    // False (nothing changed) when the name or value cannot be written.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);
    // Removes every line of `key` in every occurrence of `section`, as
    // writing no value removes a key. False when there was none.
    bool deleteKey(std::string_view section, std::string_view key);
    // Removes every occurrence of `section` with all its lines (comments and
    // blank lines up to the next section header included).
    void eraseSection(std::string_view section);

    // Writes the bytes to path() without ever destroying the old file: a
    // temporary file in the same folder is written, flushed and renamed over
    // the target (the target's permissions are kept; a symbolic link is
    // followed). The folder is created when missing. False on any failure,
    // when there is no path, when the old file could not be read, or when
    // something there is no regular file (a folder, a device, a FIFO).
    bool save() const;
    // The same, with the reason of a failure in `why`.
    bool save(std::error_code& why) const;

    // The whole file as it would be saved.
    std::string bytes() const;

    // The line break of new lines in a file that has none yet ("\r\n" unless
    // set; files read by other programs than Windows ones want "\n").
    void setDefaultLineBreak(std::string eol) { defaultEol_ = std::move(eol); }

private:
    enum class Kind { Blank, Comment, Section, Key, Ignored };
    struct Line {
        std::string text;   // the line without its line break
        std::string eol;    // "\r\n", "\n", "\r" or "" (last line without one)
        Kind kind = Kind::Blank;
        std::string name;       // section or key name, blanks removed
        std::string folded;     // name with ASCII letters in lower case
        std::size_t valueStart = 0;  // key line: offset of the value in text
        std::size_t valueEnd = 0;    // key line: end of the value in text
    };

    void parse(std::string_view bytes);
    static void classify(Line& line);
    // Index of the first header of `section` or npos.
    std::size_t findSection(std::string_view section) const;
    // End (exclusive) of the section whose header is at `header`.
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;
    std::string newLineBreak() const;
    void terminateLine(std::size_t index);

    std::string path_;
    std::string bom_;   // a UTF-8 byte order mark before the first line, kept
    std::vector<Line> lines_;
    std::error_code readError_;   // set when the file is there but could not be read
    std::string defaultEol_ = "\r\n";
};

}  // namespace replidex
