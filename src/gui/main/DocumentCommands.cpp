#include "gui/main/DocumentCommands.h"

#include <QAction>
#include <QLabel>

#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/FolderTreeModel.h"
#include "gui/browse/ReplayRowModel.h"
#include "gui/dialogs/FileDialogs.h"
#include "gui/dialogs/MessageBoxes.h"
#include "gui/main/MainWindow.h"
#include "gui/main/RecentMenus.h"

namespace replidex {

namespace {

const char* const kUntitled = "無題.rdx";

}  // namespace

bool DocumentCommands::AskToSave()
{
    if (!form_.document().Modified) return true;
    switch (AskYesNoCancel(Sjis("ファイルは変更されています。\n保存しますか？"), kMsgWarning)) {
    case kAnswerYes:
        // A list that could not be written stays open; a cancelled save
        // dialog lets the command go on.
        return Save() != SaveOutcome::Failed;
    case kAnswerNo:
        return true;
    default:
        return false;
    }
}

void DocumentCommands::NewList(const std::string& folder, const std::string& name)
{
    if (!AskToSave()) return;
    DocumentState& doc = form_.document();
    form_.SetModified(false);
    doc.FileName = name;
    doc.FileFolder = folder;
    form_.EnableDocument(true);
    form_.StartTree("Root");
    form_.UpdateCaption();
    form_.ShowFolderContents(doc.RootNode());
    form_.SelectFolder(doc.RootNode(), false);
}

void DocumentCommands::OpenList(const std::string& path, bool ask)
{
    if (!AskToSave()) return;
    form_.SetModified(false);
    if (!ask) {
        ReadList(path);
        return;
    }
    const std::string chosen = AskOpenListPath(&form_, form_.document().FileFolder);
    if (!chosen.empty()) ReadList(chosen);
}

bool DocumentCommands::ReadList(const std::string& path)
{
    DocumentState& doc = form_.document();
    ReplayFolder* const shownBefore = doc.ShownNode;

    form_.rowModel().clear();
    form_.treeModel().beginReplaceTree();
    const ListOpenResult result = OpenListFile(path, doc.list);
    doc.ShownNode = nullptr;
    doc.CurrentRow = -1;
    form_.treeModel().endReplaceTree();

    switch (result) {
    case ListOpenResult::CannotOpen:
        // Nothing was read and nothing changed: show what was shown before.
        if (shownBefore) form_.SelectFolder(shownBefore, false);
        else if (!doc.isOpen()) form_.ui().StatusText->clear();
        return false;
    case ListOpenResult::OtherVersion:
        // The document is empty now. It is not left under the old file's
        // name, where a save would overwrite that file with an empty list.
        ShowNotice(OtherVersionMessage());
        form_.EnableDocument(false);
        doc.FileName.clear();
        form_.UpdateCaption();
        form_.ui().StatusText->clear();   // no list: nothing to count, as after Close
        return false;
    case ListOpenResult::PoolFull:
        // Only part of the file could be held. It is shown as a new list, so
        // that saving it never cuts the file short.
        ShowMessageBox(Sjis("登録できる数(65536)を超えています。"), kMsgWarning);
        form_.EnableDocument(true);
        doc.FileName = Sjis(kUntitled);
        doc.FileFolder.clear();
        form_.UpdateCaption();
        form_.ShowFolderContents(doc.RootNode());
        form_.SelectFolder(doc.RootNode(), true);
        return false;
    case ListOpenResult::Opened:
        break;
    }

    form_.EnableDocument(true);
    SplitSjisPath(path, doc.FileFolder, doc.FileName);
    form_.UpdateCaption();
    form_.ShowFolderContents(doc.RootNode());
    form_.SelectFolder(doc.RootNode(), true);
    form_.ui().SpdBtnSaveRdx->setEnabled(false);
    form_.recentMenus().AddRecentFile(path);
    return true;
}

SaveOutcome DocumentCommands::Save()
{
    const DocumentState& doc = form_.document();
    if (!doc.FileFolder.empty()) return WriteList(doc.FileFolder + doc.FileName);
    const std::string path = AskSaveListPath(&form_, doc.FileFolder);
    if (path.empty()) return SaveOutcome::Cancelled;
    return WriteList(path);
}

SaveOutcome DocumentCommands::SaveAs()
{
    const std::string path = AskSaveListPath(&form_, form_.document().FileFolder);
    if (path.empty()) return SaveOutcome::Cancelled;
    return WriteList(path);
}

SaveOutcome DocumentCommands::WriteList(const std::string& path)
{
    DocumentState& doc = form_.document();
    std::error_code why;
    if (!SaveListFile(path, doc.list, &why)) {
        ShowMessageBox(path + Sjis("\nファイルを保存できませんでした。\n"
                                   "保存先のフォルダと空き容量を確かめてください。") +
                           FailureReasonLine(why),
                       kMsgError);
        return SaveOutcome::Failed;
    }
    form_.SetModified(false);
    SplitSjisPath(path, doc.FileFolder, doc.FileName);
    form_.UpdateCaption();
    form_.recentMenus().AddRecentFile(path);
    return SaveOutcome::Saved;
}

void DocumentCommands::Close()
{
    if (!AskToSave()) return;
    form_.SetModified(false);
    form_.EnableDocument(false);
    form_.document().FileName.clear();
    form_.UpdateCaption();
    form_.ui().StatusText->clear();
}

}  // namespace replidex
