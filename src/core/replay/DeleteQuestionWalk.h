// The walk of questions before files are deleted one by one: each file is
// asked about until an answer says what happens to all the rest. The warning
// dialog that asks is a thin shell over this; the walk itself needs no window.
//
//   DeleteQuestionWalk walk;
//   for each file, while !walk.finished():
//       choice = walk.asking() ? walk.answer(ask(file)) : walk.withoutQuestion();
//
// A choice carries whether the file goes and whether it goes to the trash:
// the state of the dialog's option box when it was answered. Once the
// questions stop, every later file takes the state of the last answer.
#pragma once

namespace replidex {

enum class DeleteAnswer {
    Yes,        // delete this file, ask about the next
    YesToAll,   // delete this file and all later ones without asking
    No,         // keep this file, ask about the next
    NoToAll,    // keep this file and all later ones
    Cancel,     // the dialog was closed: like NoToAll
};

// What the dialog answered: the button, and the option box's state then.
struct DeleteReply {
    DeleteAnswer answer = DeleteAnswer::Cancel;
    bool optionTicked = true;
};

struct DeleteChoice {
    bool remove = false;
    bool toTrash = false;

    bool operator==(const DeleteChoice&) const = default;
};

class DeleteQuestionWalk {
public:
    // True while each file is to be asked about.
    bool asking() const { return mode_ == Mode::Asking; }
    // True once no later file can be deleted: the walk may stop.
    bool finished() const { return mode_ == Mode::KeepRest; }

    // The choice for the file that was just asked about, from the answer and
    // the option box's state at that moment.
    DeleteChoice answer(DeleteAnswer reply, bool optionTicked);
    DeleteChoice answer(const DeleteReply& reply) { return answer(reply.answer, reply.optionTicked); }
    // The choice for a file once the questions have stopped.
    DeleteChoice withoutQuestion() const;

private:
    enum class Mode { Asking, RemoveRest, KeepRest };
    Mode mode_ = Mode::Asking;
    bool lastOption_ = true;
};

}  // namespace replidex
