#include "gui/search/SearchWindow.h"

namespace replidex {

SearchWindow::SearchWindow(QWidget* parent) : QDialog(parent), ListWindowBase(this, false)
{
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(956, 584);
    BaseFormCreate();
}

}  // namespace replidex
