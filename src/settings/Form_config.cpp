#include "settings/Form_config.h"

namespace replidex {

TFConfig::TFConfig(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FConfig"));
    setWindowTitle(QStringLiteral("設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(284, 249);
}

}  // namespace replidex
