// The search window. Its criteria, result list and commands come with the
// search command; for now it is the window frame with its place among the
// windows that show replay rows.
#pragma once

#include <QDialog>

#include "gui/main/ListWindowBase.h"

namespace replidex {

class SearchWindow final : public QDialog, public ListWindowBase {
    Q_OBJECT
public:
    explicit SearchWindow(QWidget* parent = nullptr);

    // The result list does not exist yet.
    QTreeView* ListViewOf() override { return nullptr; }
};

}  // namespace replidex
