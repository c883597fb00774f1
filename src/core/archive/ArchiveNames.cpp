#include "core/archive/ArchiveNames.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

std::string Digits(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end)
{
    if (text.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i)
        if (UpperAscii(text[text.size() - end.size() + i]) != UpperAscii(end[i])) return false;
    return true;
}

bool RefusedInNames(unsigned char c)
{
    return c < 0x20 || c == 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr;
}

// One character of `sjis` from `at`: its byte count.
std::size_t CharLength(std::string_view sjis, std::size_t at)
{
    return IsCp932LeadByte(static_cast<unsigned char>(sjis[at])) && at + 1 < sjis.size() ? 2 : 1;
}

// The character kept as it is, or "_".
std::string SafeChar(std::string_view ch)
{
    if (ch.size() == 1 && RefusedInNames(static_cast<unsigned char>(ch[0]))) return "_";
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) return std::string(ch);
    std::string utf8, back;
    if (!Cp932ToUtf8(ch, utf8) || !Utf8ToCp932(utf8, back) || back != ch) return "_";
    return std::string(ch);
}

bool IsDeviceName(std::string_view stem)
{
    std::string upper;
    for (const char c : stem.substr(0, stem.find('.'))) upper += UpperAscii(c);
    static const std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view name : kPlain)
        if (upper == name) return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

std::size_t Utf8Size(std::string_view sjis)
{
    return Cp932ToUtf8Lossy(sjis).size();
}

// `stem` cut at a character boundary so that stem + tail fits in both forms.
std::string CutToFit(const std::string& stem, const std::string& tail)
{
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < stem.size(); i += CharLength(stem, i)) ends.push_back(i);
    ends.push_back(stem.size());
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        const std::string candidate = stem.substr(0, *it) + tail;
        if (candidate.size() <= kMaxArchiveNameBytes && Utf8Size(candidate) <= kMaxArchiveNameBytes)
            return stem.substr(0, *it);
    }
    return {};
}

}  // namespace

ArchiveFields FieldsOf(const ReplayInfo* info, const std::tm& t, int slot)
{
    ArchiveFields f;
    f.yyyy = Digits(t.tm_year + 1900, 4);
    f.mm = Digits(t.tm_mon + 1, 2);
    f.dd = Digits(t.tm_mday, 2);
    f.date = f.yyyy + f.mm + f.dd + "-" + Digits(t.tm_hour, 2) + Digits(t.tm_min, 2) + Digits(t.tm_sec, 2);
    f.slot = Digits(slot, 2);
    if (!info || info->failed()) return f;
    const int kind = MatchKind(*info);
    if (kind == kMatchNet) {
        f.p1 = std::string(info->p1.nameText());
        f.p2 = std::string(info->p2.nameText());
        f.score = std::to_string(info->p1.score) + "-" + std::to_string(info->p2.score);
    } else {
        f.p1 = "1P";
        f.p2 = kind == kMatchVsCom ? "COM" : "2P";
    }
    f.chara1 = CharacterName(CharacterIndexOf(info->p1.character));
    f.chara2 = CharacterName(CharacterIndexOf(info->p2.character));
    return f;
}

std::string ExpandTemplate(std::string_view tmpl, const ArchiveFields& f)
{
    const std::array<std::pair<std::string_view, const std::string*>, 10> fields = {{
        {"%date%", &f.date}, {"%1p%", &f.p1}, {"%2p%", &f.p2}, {"%chara1%", &f.chara1},
        {"%chara2%", &f.chara2}, {"%score%", &f.score}, {"%slot%", &f.slot}, {"%yyyy%", &f.yyyy},
        {"%mm%", &f.mm}, {"%dd%", &f.dd},
    }};
    std::string out;
    for (std::size_t i = 0; i < tmpl.size();) {
        bool replaced = false;
        if (tmpl[i] == '%') {
            for (const auto& [name, value] : fields) {
                if (tmpl.substr(i, name.size()) == name) {
                    out += *value;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (replaced) continue;
        // Copy a whole character, so that a trail byte never starts a field.
        const std::size_t n = CharLength(tmpl, i);
        out.append(tmpl.substr(i, n));
        i += n;
    }
    return out;
}

SafeName MakeSafeName(std::string_view sjis, bool replayFile, int number)
{
    std::string name;
    for (std::size_t i = 0; i < sjis.size();) {
        const std::size_t n = CharLength(sjis, i);
        name += SafeChar(sjis.substr(i, n));
        i += n;
    }
    std::string extension;
    if (replayFile) {
        if (EndsWithIgnoringCase(name, ".RPD") || EndsWithIgnoringCase(name, ".DAT")) {
            extension = name.substr(name.size() - 4);
            name.resize(name.size() - 4);
        } else {
            extension = ".RPD";
        }
    }
    // Windows drops trailing dots and blanks of a name.
    for (std::size_t i = name.size(); i > 0 && (name[i - 1] == '.' || name[i - 1] == ' '); --i) name[i - 1] = '_';
    if (name.empty() || IsDeviceName(name)) name.insert(0, "_");
    const std::string tail = (number > 1 ? " (" + std::to_string(number) + ")" : std::string()) + extension;
    name = CutToFit(name, tail);
    if (name.empty()) name = "_";
    if (!replayFile && number <= 1)
        for (std::size_t i = name.size(); i > 0 && (name[i - 1] == '.' || name[i - 1] == ' '); --i) name[i - 1] = '_';
    SafeName safe;
    safe.sjis = name + tail;
    Cp932ToUtf8(safe.sjis, safe.native);
    return safe;
}

std::vector<SafeName> FolderNamesOf(std::string_view folderTemplate, const ArchiveFields& fields)
{
    std::vector<SafeName> names;
    std::size_t start = 0;
    while (start <= folderTemplate.size()) {
        std::size_t end = start;
        while (end < folderTemplate.size() && folderTemplate[end] != '/') end += CharLength(folderTemplate, end);
        const std::string part = ExpandTemplate(folderTemplate.substr(start, end - start), fields);
        if (!part.empty()) names.push_back(MakeSafeName(part, false));
        start = end + 1;
    }
    return names;
}

}  // namespace replidex
