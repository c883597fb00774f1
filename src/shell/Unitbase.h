// The common base of the two windows that show replay rows (the main window
// and the search window): the list menu of their replay list view and the
// references to its items that the window's menu-opening handler enables.
//
// A mixin beside the window's Qt class, so that the main window can be a
// QMainWindow and the search window a QDialog.
#pragma once

class QMenu;
class QAction;
class QTreeView;
class QWidget;

namespace replidex {

class TFormBase {
public:
    virtual ~TFormBase() = default;
    TFormBase(const TFormBase&) = delete;
    TFormBase& operator=(const TFormBase&) = delete;

    // The replay list view the list menu belongs to.
    virtual QTreeView* ListViewOf() = 0;

    QMenu* listMenu() const { return listMenu_; }

protected:
    // `form` is the window that owns the list menu; `isMainWindow` says which
    // of the two windows this is (the main window's menu has more items).
    TFormBase(QWidget* form, bool isMainWindow);

    // Creation step: makes the (still empty) list menu owned by the form.
    void BaseFormCreate();

    // References to the list menu's items; none until the menu is built, and
    // none for items the window does not get.
    struct ListMenuItems {
        QAction* moveUp = nullptr;
        QAction* moveDown = nullptr;
        QAction* moveTop = nullptr;
        QAction* moveBottom = nullptr;
        QAction* sendAsIs = nullptr;
        QAction* sendRenamed = nullptr;
        QAction* newFolder = nullptr;
        QAction* deleteRows = nullptr;
        QAction* memo = nullptr;
        QAction* refresh = nullptr;
        QAction* deleteFiles = nullptr;
    };

    QWidget* form_ = nullptr;
    bool isMainWindow_ = false;
    QMenu* listMenu_ = nullptr;
    ListMenuItems listMenuItems_;
};

}  // namespace replidex
