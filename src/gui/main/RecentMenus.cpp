#include "gui/main/RecentMenus.h"

#include <QAction>
#include <QMenu>

#include "core/list/ReplayImport.h"
#include "core/settings/RecentLists.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/ChooseFolder.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/AddReplaysCommand.h"
#include "gui/main/MainWindow.h"

namespace replidex {

QString MenuCaptionOf(const std::string& sjisPath)
{
    QString caption = QString::fromStdString(Cp932ToUtf8Lossy(sjisPath));
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

RecentMenus::RecentMenus(MainWindow& form) : QObject(&form), form_(form)
{
    setObjectName(QStringLiteral("RecentMenus"));
}

void RecentMenus::AddRecentFile(const std::string& path)
{
    replidex::AddRecentFile(form_.program().recent, path);
    Rebuild();
}

void RecentMenus::AddRecentFolder(const std::string& folder)
{
    replidex::AddRecentFolder(form_.program().recent, folder);
    Rebuild();
}

void RecentMenus::Rebuild()
{
    const RecentLists& recent = form_.program().recent;
    Fill(form_.ui().MMRecentFileList, recent.files, &RecentMenus::RecentFileClick);
    Fill(form_.ui().MMRecentFolder, recent.folders, &RecentMenus::RecentFolderClick);
}

void RecentMenus::Fill(QMenu* menu, const RecentList& list, void (RecentMenus::*click)(int))
{
    // The items go at once; one still being chosen is deleted later.
    for (QAction* action : menu->actions()) {
        menu->removeAction(action);
        action->deleteLater();
    }
    for (int index = 0; index < list.size(); ++index) {
        auto* action = new QAction(MenuCaptionOf(list.items()[static_cast<std::size_t>(index)]), menu);
        connect(action, &QAction::triggered, this, [this, click, index] { (this->*click)(index); });
        menu->addAction(action);
    }
}

void RecentMenus::RecentFileClick(int index)
{
    RecentList& files = form_.program().recent.files;
    if (!files.moveToTop(index)) return;
    Rebuild();
    const std::string path = files.items().front();
    const int check = CheckRecentFile(path);
    if (check == kRecentFileOpen) form_.OpenList(path, false);
    else ShowMessageBox(RecentFileMessage(check), kMsgWarning);
}

void RecentMenus::RecentFolderClick(int index)
{
    RecentList& folders = form_.program().recent.folders;
    if (!folders.moveToTop(index)) return;
    Rebuild();
    const std::string start = RecentFolderStart(folders.items().front());
    const std::string chosen = ChooseFolder(&form_, start);
    if (!form_.addReplays().AddFolderReplays(chosen)) return;
    std::string recent;
    if (RecentFolderOfFolder(NativePathFromSjis(chosen), recent)) AddRecentFolder(recent);
}

}  // namespace replidex
