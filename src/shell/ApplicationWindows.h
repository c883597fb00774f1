// The program's windows, made once at start-up in this order and kept for the
// whole run: the main window (shown), then the memo editor, the search window,
// the settings dialog, the about box, the progress window, the scope chooser
// and the warning dialog (hidden until used).
#pragma once

#include <memory>

#include "shell/Unit1.h"

namespace replidex {

class TFMemo;
class TFSearch;
class TFConfig;
class TFVersion;
class TFProgress;
class TFTree;
class TFWarnDlg;

class ApplicationWindows {
public:
    explicit ApplicationWindows(StartupOptions options);
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows&) = delete;
    ApplicationWindows& operator=(const ApplicationWindows&) = delete;

    TForm1* form1() const { return form1_.get(); }

    // The secondary windows belong to the main window and go with it.
    TFMemo* memo = nullptr;
    TFSearch* search = nullptr;
    TFConfig* config = nullptr;
    TFVersion* version = nullptr;
    TFProgress* progress = nullptr;
    TFTree* tree = nullptr;
    TFWarnDlg* warnDlg = nullptr;

private:
    std::unique_ptr<TForm1> form1_;
};

// The program folder, settings file and arguments of this run: the folder of
// the program file, or the folder named by the environment variable
// REPLIDEX_PROGRAM_FOLDER when it is set.
StartupOptions StartupOptionsFromApplication();

}  // namespace replidex
