// The message boxes through which every warning and question reaches the
// user. Texts are Shift-JIS bytes, as everywhere in the program; the boxes
// turn them into display text.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace replidex {

// Kind of a box: gives its title and icon.
enum MessageKind : int {
    kMsgWarning = 0,        // "警告", exclamation
    kMsgError = 1,          // "エラー", error
    kMsgInformation = 2,    // "情報", information
    kMsgConfirmation = 3,   // "確認", question
};

// The answers of the boxes.
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// OK only (default; Esc answers OK). Answers 1, or 2 when closed by the title
// bar's close box.
int ShowMessageBox(std::string_view text, int kind);
// OK (default) and Cancel; Esc and the close box answer Cancel. Answers 1 or 2.
// A non-empty `details` is a detailed text shown on request.
int ConfirmBox(std::string_view text, int kind, const QString& details = {});
// The same with a text already made for display.
int ConfirmBoxText(const QString& text, int kind, const QString& details = {});
// Yes (default), No and Cancel; Esc and the close box answer Cancel. Answers
// 6, 7 or 2.
int AskYesNoCancel(std::string_view text, int kind);
// The plain notice: OK only, no icon, titled with the application's title.
int ShowNotice(std::string_view text);
// The plain notice with a text already made for display (it may hold names
// from the file system that Shift-JIS cannot) and, when `details` is not
// empty, a detailed text that the box shows on request.
int ShowNoticeText(const QString& text, const QString& details = {});

// A line break and the reason of a failed file operation in the system's
// words (Shift-JIS), to follow a message's own text; empty without a reason.
std::string FailureReasonLine(const std::error_code& why);

// ---- test seam: answers the boxes without showing them.

enum class MessageButtons { Ok, OkCancel, YesNoCancel };

struct MessageRequest {
    MessageButtons buttons = MessageButtons::Ok;
    int kind = -1;      // -1 for the plain notice
    QString title;
    QString text;
    QString details;   // the detailed text shown on request; mostly empty
};

using MessageResponder = std::function<int(const MessageRequest&)>;
// Installs `responder` (empty: show real boxes again); answers the one before.
MessageResponder SetMessageResponder(MessageResponder responder);

}  // namespace replidex
