// settings0
#pragma once

#include <QDialog>

namespace replidex {

class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
};

}  // namespace replidex
