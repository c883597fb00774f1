#include "gui/main/DocumentState.h"

#include "core/text/SjisCodec.h"

namespace replidex {

SjisString WindowCaption(const DocumentState& state)
{
    if (!state.isOpen()) return "Replidex";
    SjisString caption = state.Modified ? Sjis("(変更)") : SjisString();
    return caption + state.FileFolder + state.FileName;
}

void SplitSjisPath(const SjisString& path, SjisString& folder, SjisString& name)
{
    std::size_t cut = 0;   // one past the last delimiter
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(byte)) {
            ++i;
            continue;
        }
#ifdef _WIN32
        if (byte == '/' || byte == '\\') cut = i + 1;
#else
        if (byte == '/') cut = i + 1;
#endif
    }
    folder = path.substr(0, cut);
    name = path.substr(cut);
}

}  // namespace replidex
