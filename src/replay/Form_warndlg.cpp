#include "replay/Form_warndlg.h"

namespace replidex {

TFWarnDlg::TFWarnDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FWarnDlg"));
    setWindowTitle(QStringLiteral("警告"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(367, 110);
}

}  // namespace replidex
