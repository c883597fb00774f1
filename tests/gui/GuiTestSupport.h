// Helpers of the GUI tests: waiting with the event loop running, and
// recording responders that answer the message boxes and file dialogs.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <deque>
#include <functional>
#include <vector>

#include "shell/FileDialogs.h"
#include "shell/Vdialog.h"

namespace replidex::test {

// Runs the event loop until `done` answers true or `ms` have passed.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Answers every message box and file dialog from queues while it lives, and
// keeps what was asked. An unexpected box is answered Cancel, an unexpected
// dialog is cancelled.
class Responders {
public:
    Responders()
    {
        previousMessage_ = SetMessageResponder([this](const MessageRequest& request) {
            messages.push_back(request);
            if (messageAnswers.empty()) return static_cast<int>(kAnswerCancel);
            const int answer = messageAnswers.front();
            messageAnswers.pop_front();
            return answer;
        });
        previousDialog_ = SetFileDialogResponder([this](const FileDialogRequest& request) {
            dialogs.push_back(request);
            if (dialogAnswers.empty()) return QStringList();
            QStringList answer = dialogAnswers.front();
            dialogAnswers.pop_front();
            return answer;
        });
    }
    ~Responders()
    {
        SetMessageResponder(previousMessage_);
        SetFileDialogResponder(previousDialog_);
    }
    Responders(const Responders&) = delete;
    Responders& operator=(const Responders&) = delete;

    std::vector<MessageRequest> messages;
    std::deque<int> messageAnswers;
    std::vector<FileDialogRequest> dialogs;
    std::deque<QStringList> dialogAnswers;

private:
    MessageResponder previousMessage_;
    FileDialogResponder previousDialog_;
};

}  // namespace replidex::test
