#include "shell/ApplicationWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "platform/SettingsLocation.h"
#include "replay/Form_progress.h"
#include "replay/Form_warndlg.h"
#include "search/Form_search.h"
#include "search/Form_tree.h"
#include "settings/Form_config.h"
#include "shell/Form_version.h"
#include "views/Form_memo.h"

namespace replidex {

ApplicationWindows::ApplicationWindows(StartupOptions options)
    : form1_(std::make_unique<TForm1>(std::move(options)))
{
    TForm1* owner = form1_.get();
    memo = new TFMemo(owner);
    search = new TFSearch(owner);
    config = new TFConfig(owner);
    version = new TFVersion(owner);
    progress = new TFProgress(owner);
    tree = new TFTree(owner);
    warnDlg = new TFWarnDlg(owner);
    form1_->setWindows(AppWindows{version, memo});
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
    options.programFolder = QFile::encodeName(folder).toStdString();
    options.iniPath = SettingsFilePath(options.programFolder);
    return options;
}

}  // namespace replidex
