// replay0
#pragma once

#include <QDialog>

namespace replidex {

class DeleteQuestionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DeleteQuestionDialog(QWidget* parent = nullptr);
};

}  // namespace replidex
