// The program's windows, made once at start-up in this order and kept for the
// whole run: the main window (shown), then the memo editor, the search window,
// the settings dialog, the about box, the progress window, the scope chooser
// and the warning dialog (hidden until used).
#pragma once

#include <memory>

#include "gui/main/MainWindow.h"

namespace replidex {

class MemoDialog;
class SearchWindow;
class SettingsDialog;
class AboutDialog;
class ProgressDialog;
class ScopeDialog;
class DeleteQuestionDialog;

class ApplicationWindows {
public:
    explicit ApplicationWindows(StartupOptions options);
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows&) = delete;
    ApplicationWindows& operator=(const ApplicationWindows&) = delete;

    MainWindow* mainWindow() const { return mainWindow_.get(); }

    // The secondary windows belong to the main window and go with it.
    MemoDialog* memo = nullptr;
    SearchWindow* search = nullptr;
    SettingsDialog* config = nullptr;
    AboutDialog* version = nullptr;
    ProgressDialog* progress = nullptr;
    ScopeDialog* tree = nullptr;
    DeleteQuestionDialog* warnDlg = nullptr;

private:
    std::unique_ptr<MainWindow> mainWindow_;
};

// The program folder, settings file and arguments of this run: the folder of
// the program file, or the folder named by the environment variable
// REPLIDEX_PROGRAM_FOLDER when it is set.
StartupOptions StartupOptionsFromApplication();

}  // namespace replidex
