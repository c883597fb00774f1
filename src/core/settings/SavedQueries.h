// Saved searches: a name, a query line and the two text options each, at
// most 50, kept in the settings file's section "SavedQuery" as Name0,
// Query0, Options0, Name1, ... (Shift-JIS), written anew each time like the
// recent lists. Options: bit 0 case-sensitive, bit 1 width-sensitive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace replidex {

inline constexpr std::string_view kSavedQuerySection = "SavedQuery";
inline constexpr int kSavedQueryMax = 50;
inline constexpr int kSavedQueryCaseSensitive = 1;
inline constexpr int kSavedQueryWidthSensitive = 2;

struct SavedQuery {
    std::string name;   // Shift-JIS
    std::string query;  // Shift-JIS
    int options = kSavedQueryCaseSensitive | kSavedQueryWidthSensitive;
    bool operator==(const SavedQuery&) const = default;
};

class SavedQueries {
public:
    const std::vector<SavedQuery>& items() const { return items_; }
    // Replaces the search of the same name (in its place) or adds one at the
    // end; false when 50 are kept already and the name is new.
    bool put(const SavedQuery& query);
    bool remove(std::string_view name);
    const SavedQuery* find(std::string_view name) const;
    void clear() { items_.clear(); }

    template <typename Profile>
    void load(const Profile& profile)
    {
        items_.clear();
        for (int i = 0; i < kSavedQueryMax; ++i) {
            const std::string n = std::to_string(i);
            SavedQuery q;
            q.name = profile.readString(kSavedQuerySection, "Name" + n, "");
            if (q.name.empty() || find(q.name)) continue;
            q.query = profile.readString(kSavedQuerySection, "Query" + n, "");
            q.options = profile.readInt(kSavedQuerySection, "Options" + n, q.options) & 3;
            items_.push_back(std::move(q));
        }
    }

    template <typename Profile>
    void save(Profile& profile) const
    {
        profile.eraseSection(kSavedQuerySection);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const std::string n = std::to_string(i);
            profile.writeString(kSavedQuerySection, "Name" + n, items_[i].name);
            profile.writeString(kSavedQuerySection, "Query" + n, items_[i].query);
            profile.writeInt(kSavedQuerySection, "Options" + n, items_[i].options);
        }
    }

private:
    std::vector<SavedQuery> items_;
};

}  // namespace replidex
