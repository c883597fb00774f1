#include "gui/main/ApplicationWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "gui/browse/MemoDialog.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/DeleteQuestionDialog.h"
#include "gui/dialogs/ProgressDialog.h"
#include "gui/search/ScopeDialog.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "platform/SettingsLocation.h"

namespace replidex {

ApplicationWindows::ApplicationWindows(StartupOptions options)
    : mainWindow_(std::make_unique<MainWindow>(std::move(options)))
{
    MainWindow* owner = mainWindow_.get();
    memo = new MemoDialog(owner);
    search = new SearchWindow(owner);
    config = new SettingsDialog(owner->program(), owner);
    version = new AboutDialog(owner);
    progress = new ProgressDialog(owner);
    // The scope chooser opens over the search window, which stays on top.
    tree = new ScopeDialog(search);
    warnDlg = new DeleteQuestionDialog(owner);
    search->setDialogs(tree, version);
    search->setMemoDialog(memo);
    mainWindow_->setWindows(AppWindows{version, memo, warnDlg, config, search});
}

ApplicationWindows::~ApplicationWindows() = default;

StartupOptions StartupOptionsFromApplication()
{
    StartupOptions options;
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst();
    options.arguments = arguments;

    QString folder = qEnvironmentVariable("REPLIDEX_PROGRAM_FOLDER");
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    folder = QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath()));
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    options.programFolder = folder.toUtf8().toStdString();
    options.iniPath = SettingsFilePath(options.programFolder);
    return options;
}

}  // namespace replidex
