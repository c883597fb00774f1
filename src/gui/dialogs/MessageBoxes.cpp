#include "gui/dialogs/MessageBoxes.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

#include <utility>

#include "core/file/NativeFiles.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

MessageResponder& Responder()
{
    static MessageResponder responder;
    return responder;
}

QString Display(std::string_view sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

QString TitleOf(int kind)
{
    switch (kind) {
    case kMsgError: return QStringLiteral("エラー");
    case kMsgInformation: return QStringLiteral("情報");
    case kMsgConfirmation: return QStringLiteral("確認");
    case -1: return QStringLiteral("Replidex");
    default: return QStringLiteral("警告");
    }
}

QMessageBox::Icon IconOf(int kind)
{
    switch (kind) {
    case kMsgError: return QMessageBox::Critical;
    case kMsgInformation: return QMessageBox::Information;
    case kMsgConfirmation: return QMessageBox::Question;
    case -1: return QMessageBox::NoIcon;
    default: return QMessageBox::Warning;
    }
}

// A message box that tells a close through the title bar apart from a button
// press (Esc presses the escape button; the close box answers Cancel).
class AnswerBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedByTitleBar() const { return closedByTitleBar_; }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (!clickedButton()) closedByTitleBar_ = true;
        QMessageBox::closeEvent(event);
        event->accept();
    }

private:
    bool closedByTitleBar_ = false;
};

// The detailed text one item a line: the box grows to the longest line (up to
// a limit) instead of wrapping paths in its narrow default width.
void ShowDetailsUnwrapped(QMessageBox& box, const QString& details)
{
    box.setDetailedText(details);
    auto* edit = box.findChild<QTextEdit*>();
    if (!edit) return;
    edit->setLineWrapMode(QTextEdit::NoWrap);
    int widest = 0;
    for (const QString& line : details.split(QLatin1Char('\n')))
        widest = std::max(widest, edit->fontMetrics().horizontalAdvance(line));
    const int margins = 2 * edit->frameWidth() + 2 * static_cast<int>(edit->document()->documentMargin()) +
                        edit->verticalScrollBar()->sizeHint().width();
    edit->setMinimumWidth(std::min(widest + margins, 720));
}

int Run(MessageButtons buttons, int kind, const QString& text, const QString& details = {})
{
    MessageRequest request{buttons, kind, TitleOf(kind), text, details};
    if (Responder()) return Responder()(request);

    AnswerBox box(IconOf(kind), request.title, request.text, QMessageBox::NoButton, nullptr);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) ShowDetailsUnwrapped(box, details);
    QPushButton* ok = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    switch (buttons) {
    case MessageButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        break;
    case MessageButtons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        break;
    case MessageButtons::YesNoCancel:
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        break;
    }
    box.exec();

    if (box.closedByTitleBar()) return kAnswerCancel;
    const auto* clicked = box.clickedButton();
    if (clicked && clicked == ok) return kAnswerOk;
    if (clicked && clicked == yes) return kAnswerYes;
    if (clicked && clicked == no) return kAnswerNo;
    return kAnswerCancel;
}

}  // namespace

int ShowMessageBox(std::string_view text, int kind)
{
    return Run(MessageButtons::Ok, kind < 0 ? kMsgWarning : kind, Display(text));
}

int ConfirmBox(std::string_view text, int kind, const QString& details)
{
    return ConfirmBoxText(Display(text), kind, details);
}

int ConfirmBoxText(const QString& text, int kind, const QString& details)
{
    return Run(MessageButtons::OkCancel, kind < 0 ? kMsgWarning : kind, text, details);
}

int AskYesNoCancel(std::string_view text, int kind)
{
    return Run(MessageButtons::YesNoCancel, kind < 0 ? kMsgWarning : kind, Display(text));
}

std::string FailureReasonLine(const std::error_code& why)
{
    if (!why) return {};
    std::string reason;
    // The system's words may hold a character Shift-JIS cannot write.
    if (!Utf8ToCp932(FileErrorText(why), reason)) reason = "error " + std::to_string(why.value());
    return "\n" + reason;
}

int ShowNotice(std::string_view text)
{
    return Run(MessageButtons::Ok, -1, Display(text));
}

int ShowNoticeText(const QString& text, const QString& details)
{
    return Run(MessageButtons::Ok, -1, text, details);
}

MessageResponder SetMessageResponder(MessageResponder responder)
{
    return std::exchange(Responder(), std::move(responder));
}

}  // namespace replidex
