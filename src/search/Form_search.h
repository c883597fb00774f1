// The search window. Its criteria, result list and commands come with the
// search command; for now it is the window frame with its place among the
// windows that show replay rows.
#pragma once

#include <QDialog>

#include "shell/Unitbase.h"

namespace replidex {

class TFSearch final : public QDialog, public TFormBase {
    Q_OBJECT
public:
    explicit TFSearch(QWidget* parent = nullptr);

    // The result list does not exist yet.
    QTreeView* ListViewOf() override { return nullptr; }
};

}  // namespace replidex
