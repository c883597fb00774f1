// search0
#pragma once

#include <QDialog>

namespace replidex {

class ScopeDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ScopeDialog(QWidget* parent = nullptr);
};

}  // namespace replidex
