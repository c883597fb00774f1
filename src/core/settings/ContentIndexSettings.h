// The content index's setting in the settings file, section "ContentIndex":
// whether the program records what each listed file holds (key "Record",
// 1 or 0; on when missing).
#pragma once

#include <string_view>

namespace replidex {

class ProfileFile;

inline constexpr std::string_view kContentIndexSection = "ContentIndex";

struct ContentIndexSettings {
    // 「ファイルの内容を記録する」
    bool record = true;
    bool operator==(const ContentIndexSettings&) const = default;
};

ContentIndexSettings LoadContentIndexSettings(const ProfileFile& file);
// Erases the section and writes it again in full (the profile in memory only).
void SaveContentIndexSettings(ProfileFile& file, const ContentIndexSettings& settings);

}  // namespace replidex
