// replay0
#pragma once

#include <QDialog>

namespace replidex {

class TFWarnDlg final : public QDialog {
    Q_OBJECT
public:
    explicit TFWarnDlg(QWidget* parent = nullptr);
};

}  // namespace replidex
