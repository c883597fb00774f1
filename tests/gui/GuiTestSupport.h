// Helpers of the GUI tests: waiting with the event loop running, and
// recording responders that answer the message boxes and file dialogs.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/dialogs/FileDialogs.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/ApplicationWindows.h"
#include "support/TempDir.h"

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

// The program's windows over a program folder in `dir` (dir/program/) whose
// settings name an existing game folder (dir/PuyoF) plus `extraIni`; the Wine
// prefix points into `dir`. The main window is shown; wait for started().
inline std::unique_ptr<ApplicationWindows> MakeWindowsWithGameFolder(const TempDir& dir,
                                                                     const std::string& extraIni = {})
{
    const std::string programFolder = dir.path().string() + "/program/";
    std::filesystem::create_directories(programFolder);
    std::filesystem::create_directories(dir.path() / "PuyoF");
    setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);
    dir.write("program/replidex.ini",
              "[Config]\nPuyoFPath=" + (dir.path() / "PuyoF").string() + "\n" + extraIni);
    StartupOptions options;
    options.programFolder = programFolder;
    options.iniPath = programFolder + "replidex.ini";
    auto windows = std::make_unique<ApplicationWindows>(options);
    windows->mainWindow()->show();
    return windows;
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
