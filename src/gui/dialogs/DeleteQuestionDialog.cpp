#include "gui/dialogs/DeleteQuestionDialog.h"

namespace replidex {

DeleteQuestionDialog::DeleteQuestionDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteQuestionDialog"));
    setWindowTitle(QStringLiteral("警告"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(367, 110);
}

}  // namespace replidex
