// The warning dialog that asks before each file is deleted: a question, an
// option box (for the callers: whether the file goes to the trash) and four
// answers. A thin shell over the delete question walk of the core: it only
// shows one question and answers which button was pressed.
#pragma once

#include <QDialog>

#include "core/replay/DeleteQuestionWalk.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace replidex {

class DeleteQuestionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DeleteQuestionDialog(QWidget* parent = nullptr);

    // Sets the option box's caption and ticks it or not.
    void SetOption(const QString& caption, bool ticked);
    bool OptionTicked() const;
    // Shows `question` modally and answers the button that was pressed
    // (closing the dialog answers Cancel) with the option box's state then.
    // `detail` (the file's whole path) is the question's tooltip and the
    // dialog's accessible description.
    DeleteReply Ask(const QString& question, const QString& detail = {});

    QLabel* Image = nullptr;
    QLabel* Label = nullptr;
    QCheckBox* CB_Option = nullptr;
    QPushButton* BtnYes = nullptr;
    QPushButton* BtnAllYes = nullptr;
    QPushButton* BtnNo = nullptr;
    QPushButton* BtnAllNo = nullptr;
};

}  // namespace replidex
