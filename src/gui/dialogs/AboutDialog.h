// The about box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace replidex {

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QLabel* Image = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BtnOK = nullptr;

private:
    void BtnOKClick();
};

}  // namespace replidex
