// The delete question walk fed with answers, as the warning dialog feeds it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/replay/DeleteQuestionWalk.h"

namespace replidex {
namespace {

using Reply = std::pair<DeleteAnswer, bool>;   // answer, option box ticked

struct WalkResult {
    std::vector<DeleteChoice> choices;   // one per file the walk reached
    int questions = 0;
};

// Walks `files` files, taking the replies in order whenever the walk asks.
WalkResult Walk(int files, const std::vector<Reply>& replies)
{
    WalkResult result;
    DeleteQuestionWalk walk;
    std::size_t next = 0;
    for (int i = 0; i < files && !walk.finished(); ++i) {
        if (walk.asking()) {
            const Reply reply = next < replies.size() ? replies[next++] : Reply{DeleteAnswer::Cancel, true};
            ++result.questions;
            result.choices.push_back(walk.answer(DeleteReply{reply.first, reply.second}));
        } else {
            result.choices.push_back(walk.withoutQuestion());
        }
    }
    return result;
}

constexpr DeleteChoice kKeep{false, false};
constexpr DeleteChoice kTrash{true, true};
constexpr DeleteChoice kDelete{true, false};

TEST(DeleteQuestionWalk, AnswersDecideThisFileAndTheRest)
{
    using A = DeleteAnswer;
    struct Case {
        const char* what;
        std::vector<Reply> replies;
        std::vector<DeleteChoice> choices;
        int questions;
    };
    const std::vector<Case> cases = {
        {"yes to each", {{A::Yes, true}, {A::Yes, true}, {A::Yes, true}}, {kTrash, kTrash, kTrash}, 3},
        {"no then yes to all", {{A::No, true}, {A::YesToAll, true}}, {kKeep, kTrash, kTrash}, 2},
        {"option unticked at yes to all carries on",
         {{A::No, true}, {A::YesToAll, false}}, {kKeep, kDelete, kDelete}, 2},
        {"option per answer", {{A::Yes, false}, {A::Yes, true}, {A::No, false}}, {kDelete, kTrash, kKeep}, 3},
        {"no to all keeps the rest", {{A::Yes, true}, {A::NoToAll, true}}, {kTrash, kKeep}, 2},
        {"cancel keeps the rest", {{A::Cancel, false}}, {kKeep}, 1},
        {"yes to all at once", {{A::YesToAll, true}}, {kTrash, kTrash, kTrash}, 1},
    };
    for (const Case& c : cases) {
        const WalkResult r = Walk(3, c.replies);
        EXPECT_EQ(r.choices, c.choices) << c.what;
        EXPECT_EQ(r.questions, c.questions) << c.what;
    }
}

TEST(DeleteQuestionWalk, StateAfterEachKindOfAnswer)
{
    DeleteQuestionWalk walk;
    EXPECT_TRUE(walk.asking());
    EXPECT_FALSE(walk.finished());
    EXPECT_EQ(walk.withoutQuestion(), kKeep);   // nothing is removed unasked

    walk.answer(DeleteAnswer::YesToAll, false);
    EXPECT_FALSE(walk.asking());
    EXPECT_FALSE(walk.finished());
    // Later answers change nothing once the questions stopped.
    EXPECT_EQ(walk.answer(DeleteAnswer::No, true), kDelete);

    DeleteQuestionWalk stopped;
    stopped.answer(DeleteAnswer::NoToAll, true);
    EXPECT_TRUE(stopped.finished());
    EXPECT_EQ(stopped.withoutQuestion(), kKeep);
}

}  // namespace
}  // namespace replidex
