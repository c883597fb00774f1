#include "views/Form_memo.h"

namespace replidex {

TFMemo::TFMemo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FMemo"));
    setWindowTitle(QStringLiteral("メモ"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    resize(337, 247);
}

}  // namespace replidex
