// search0
#pragma once

#include <QDialog>

namespace replidex {

class TFTree final : public QDialog {
    Q_OBJECT
public:
    explicit TFTree(QWidget* parent = nullptr);
};

}  // namespace replidex
