#include "search/Form_tree.h"

namespace replidex {

TFTree::TFTree(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FTree"));
    setWindowTitle(QStringLiteral("検索するフォルダの選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(257, 314);
}

}  // namespace replidex
