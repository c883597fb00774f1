// settings0
#pragma once

#include <QDialog>

namespace replidex {

class TFConfig final : public QDialog {
    Q_OBJECT
public:
    explicit TFConfig(QWidget* parent = nullptr);
};

}  // namespace replidex
