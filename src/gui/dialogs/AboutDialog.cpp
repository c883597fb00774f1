#include "gui/dialogs/AboutDialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace replidex {

namespace {

QLabel* PlacedLabel(QWidget* parent, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    // A fixed dialog with only the system menu (close box) in its title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(16, 16, 32, 32);
    Image->setAttribute(Qt::WA_TranslucentBackground);
    Image->setPixmap(
        QIcon(QStringLiteral(":/images/replidex.svg")).pixmap(QSize(32, 32), devicePixelRatioF()));

    Label1 = PlacedLabel(this, QStringLiteral("Replidex"), 56, 16);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = PlacedLabel(this, QStringLiteral("Version 1.20"), 56, 56);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = PlacedLabel(this, QStringLiteral("(Windows版ぷよぷよフィーバー"), 122, 16);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = PlacedLabel(this, QStringLiteral("リプレイ一覧表示＆検索ツール)"), 125, 32);
    Label4->setObjectName(QStringLiteral("Label4"));

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setGeometry(120, 80, 65, 25);
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &AboutDialog::BtnOKClick);

    // The client area is 298 by 114; it grows only when the system font makes
    // a label wider than the place it was given.
    int width = 298;
    for (const QLabel* label : {Label1, Label2, Label3, Label4})
        width = std::max(width, label->geometry().right() + 1 + 12);
    if (width != 298) BtnOK->move((width - BtnOK->width()) / 2, 80);
    setFixedSize(width, 114);
}

void AboutDialog::BtnOKClick()
{
    accept();
}

}  // namespace replidex
