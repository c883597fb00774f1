// The two submenus of recently used paths: "最近使ったファイル(&L)" (list
// files opened or saved) and "最近使ったフォルダ(&L)" (folders replays were
// added from). The lists are the program's (RecentLists); the submenus show
// them, one item per path, the most recent first, captioned with the path
// exactly.
#pragma once

#include <QObject>

#include <string>

class QMenu;

namespace replidex {

class MainWindow;
class RecentList;

class RecentMenus final : public QObject {
    Q_OBJECT
public:
    explicit RecentMenus(MainWindow& form);

    // Puts a path at the top of its list (Shift-JIS; a folder ends in the
    // delimiter) and shows the lists again.
    void AddRecentFile(const std::string& path);
    void AddRecentFolder(const std::string& folder);
    // Fills both submenus from the lists.
    void Rebuild();

    // Choosing item `index` of a submenu.
    void RecentFileClick(int index);
    void RecentFolderClick(int index);

private:
    void Fill(QMenu* menu, const RecentList& list, void (RecentMenus::*click)(int));

    MainWindow& form_;
};

// A path as a menu caption: "&" is not an accelerator there.
QString MenuCaptionOf(const std::string& sjisPath);

}  // namespace replidex
