#include "replay/Form_progress.h"

namespace replidex {

TFProgress::TFProgress(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FProgress"));
    setWindowTitle(QStringLiteral("解析中"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(313, 122);
}

}  // namespace replidex
