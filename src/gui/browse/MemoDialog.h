// The memo editor: a small modal window, on top of the others, with a
// multi-line edit and OK / キャンセル. OK keeps the text within what the list
// file holds: a text with a character Shift-JIS cannot write is refused (the
// window stays open), a text over the limit is cut and the user is told.
#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace replidex {

class MemoDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MemoDialog(QWidget* parent = nullptr);

    // Empties the edit.
    void Clear();
    // Puts a memo (Shift-JIS, Windows line breaks) into the edit.
    void SetMemo(const std::string& memo);
    // The memo taken by OK (Shift-JIS, Windows line breaks).
    const std::string& Memo() const { return memo_; }

    QPlainTextEdit* Edit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* edit_ = nullptr;
    QWidget* panel_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::string memo_;
};

}  // namespace replidex
