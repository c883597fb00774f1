// views0
#pragma once

#include <QDialog>

namespace replidex {

class TFMemo final : public QDialog {
    Q_OBJECT
public:
    explicit TFMemo(QWidget* parent = nullptr);
};

}  // namespace replidex
