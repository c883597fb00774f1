// replay0
#pragma once

#include <QDialog>

namespace replidex {

class TFProgress final : public QDialog {
    Q_OBJECT
public:
    explicit TFProgress(QWidget* parent = nullptr);
};

}  // namespace replidex
