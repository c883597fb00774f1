#include "core/replay/DeleteQuestionWalk.h"

namespace replidex {

DeleteChoice DeleteQuestionWalk::answer(DeleteAnswer reply, bool optionTicked)
{
    if (!asking()) return withoutQuestion();
    lastOption_ = optionTicked;
    switch (reply) {
    case DeleteAnswer::Yes:
        return {true, optionTicked};
    case DeleteAnswer::YesToAll:
        mode_ = Mode::RemoveRest;
        return {true, optionTicked};
    case DeleteAnswer::No:
        return {false, false};
    case DeleteAnswer::NoToAll:
    case DeleteAnswer::Cancel:
        mode_ = Mode::KeepRest;
        return {false, false};
    }
    return {};
}

DeleteChoice DeleteQuestionWalk::withoutQuestion() const
{
    if (mode_ == Mode::RemoveRest) return {true, lastOption_};
    return {};
}

}  // namespace replidex
