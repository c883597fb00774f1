#include "core/text/SjisCodec.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include "core/text/LookAlikePaths.h"
#endif

namespace replidex {

namespace {

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

#ifndef _WIN32
// An iconv descriptor for one direction, opened once per thread: opening one
// looks up and loads the conversion modules, which costs far more than
// converting a short text.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);   // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

iconv_t Descriptor(bool toUtf8)
{
    thread_local Converter toUtf8Converter("UTF-8", "CP932");
    thread_local Converter toCp932Converter("CP932", "UTF-8");
    Converter& c = toUtf8 ? toUtf8Converter : toCp932Converter;
    return c.ok() ? c.get() : reinterpret_cast<iconv_t>(-1);
}

// One conversion through iconv. With `lossy`, every input byte that starts no
// valid character is replaced by U+FFFD (only used towards UTF-8).
bool Convert(bool toUtf8, std::string_view in, std::string& out, bool lossy)
{
    out.clear();
    iconv_t cd = Descriptor(toUtf8);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!lossy) { ok = false; break; }
        // EILSEQ or EINVAL (incomplete sequence at the end): skip one byte.
        out.append("\xEF\xBF\xBD");
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    if (ok) {
        // Flush whatever the state still holds.
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1))
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
    }
    return ok;
}
#else
// Single bytes that Windows maps although CP932 leaves them undefined (0x80,
// 0xA0, 0xFD-0xFF); refused here as iconv refuses them on Linux, so that a
// text converts the same on both systems.
bool HasUndefinedCp932Byte(std::string_view in)
{
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto byte = static_cast<unsigned char>(in[i]);
        if (IsCp932LeadByte(byte)) { ++i; continue; }
        if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD) return true;
    }
    return false;
}

bool ToWide(UINT codePage, std::string_view in, std::wstring& wide)
{
    if (in.empty()) { wide.clear(); return true; }
    if (codePage == 932 && HasUndefinedCp932Byte(in)) return false;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                                      static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                        wide.data(), n);
    return true;
}
bool FromWide(UINT codePage, const std::wstring& wide, std::string& out)
{
    out.clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    BOOL* flag = codePage == CP_UTF8 ? nullptr : &usedDefault;
    // No best fit: a character CP932 lacks fails instead of becoming a
    // look-alike (a path would then name another file).
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, flag);
    if (n <= 0 || usedDefault) return false;
    out.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, flag);
    return !usedDefault;
}
#endif

}  // namespace

bool Cp932ToUtf8(std::string_view in, std::string& out)
{
    if (IsAscii(in)) { out.assign(in); return true; }
#ifdef _WIN32
    std::wstring wide;
    return ToWide(932, in, wide) && FromWide(CP_UTF8, wide, out);
#else
    return Convert(true, in, out, false);
#endif
}

bool Utf8ToCp932(std::string_view in, std::string& out)
{
    if (IsAscii(in)) { out.assign(in); return true; }
#ifdef _WIN32
    std::wstring wide;
    return ToWide(CP_UTF8, in, wide) && FromWide(932, wide, out);
#else
    return Convert(false, in, out, false);
#endif
}

std::string Cp932ToUtf8Lossy(std::string_view in)
{
    std::string out;
    if (Cp932ToUtf8(in, out)) return out;
#ifdef _WIN32
    // Convert character by character, replacing what does not convert.
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        const std::size_t n =
            IsCp932LeadByte(static_cast<unsigned char>(in[i])) && i + 1 < in.size() ? 2 : 1;
        std::string piece;
        if (Cp932ToUtf8(in.substr(i, n), piece)) { out += piece; i += n; }
        else { out += "\xEF\xBF\xBD"; i += 1; }
    }
#else
    Convert(true, in, out, true);
#endif
    return out;
}

std::string Sjis(std::string_view utf8)
{
    std::string out;
    Utf8ToCp932(utf8, out);
    return out;
}

std::string NativePathFromSjis(std::string_view sjisPath)
{
    std::string out;
    if (!Cp932ToUtf8(sjisPath, out)) return {};
#ifdef _WIN32
    // Windows converts with its own CP932 tables, which refuse the other form
    // of a look-alike character, so a path read back names the file it came
    // from.
    return out;
#else
    return FindLookAlikePath(out);
#endif
}

bool SjisFromNativePath(std::string_view nativePath, std::string& sjisPath)
{
#ifdef _WIN32
    return Utf8ToCp932(nativePath, sjisPath);
#else
    return Utf8ToCp932(nativePath, sjisPath) &&
           LeadsBackToSameFile(std::string(nativePath), NativePathFromSjis(sjisPath));
#endif
}

}  // namespace replidex
