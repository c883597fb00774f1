#include "gui/search/ScopeDialog.h"

namespace replidex {

ScopeDialog::ScopeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScopeDialog"));
    setWindowTitle(QStringLiteral("検索するフォルダの選択"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(257, 314);
}

}  // namespace replidex
