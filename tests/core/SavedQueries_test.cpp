// Saved searches in the settings file: written like the recent lists, read
// back the same, at most 50, names unique.
#include "core/settings/SavedQueries.h"

#include <gtest/gtest.h>

#include "core/settings/ProfileFile.h"

namespace replidex {
namespace {

TEST(SavedQueries, RoundTripsThroughTheSettingsFile)
{
    SavedQueries saved;
    EXPECT_TRUE(saved.put({"a", "net", 0}));
    EXPECT_TRUE(saved.put({"b", "name:x", 3}));
    EXPECT_TRUE(saved.put({"a", "offline", 1}));  // replaces in place
    ProfileFile profile = ProfileFile::FromBytes("[SavedQuery]\nName7=old\n[Other]\nk=v\n");
    saved.save(profile);
    EXPECT_EQ(profile.readString("SavedQuery", "Name7", "-"), "-");
    EXPECT_EQ(profile.readString("SavedQuery", "Query0", ""), "offline");
    EXPECT_EQ(profile.readString("SavedQuery", "Options1", ""), "3");
    EXPECT_EQ(profile.readString("Other", "k", ""), "v");
    SavedQueries back;
    back.load(profile);
    EXPECT_EQ(back.items(), saved.items());
    EXPECT_TRUE(back.remove("a"));
    EXPECT_FALSE(back.remove("a"));
    ASSERT_EQ(back.items().size(), 1u);
    EXPECT_EQ(back.find("b")->query, "name:x");
}

TEST(SavedQueries, KeepsAtMostFiftyAndSkipsGapsAndRepeats)
{
    SavedQueries saved;
    for (int i = 0; i < kSavedQueryMax; ++i) EXPECT_TRUE(saved.put({std::to_string(i), "net", 3}));
    EXPECT_FALSE(saved.put({"new", "net", 3}));
    EXPECT_TRUE(saved.put({"7", "offline", 3}));
    ProfileFile profile = ProfileFile::FromBytes(
        "[SavedQuery]\nName0=x\nQuery0=net\nName2=y\nQuery2=offline\nOptions2=9\nName3=x\n");
    SavedQueries back;
    back.load(profile);
    ASSERT_EQ(back.items().size(), 2u);
    EXPECT_EQ(back.items()[1].name, "y");
    EXPECT_EQ(back.items()[1].options, 1);
    EXPECT_EQ(back.items()[0].options, 3);  // no Options0: both options on
}

}  // namespace
}  // namespace replidex
