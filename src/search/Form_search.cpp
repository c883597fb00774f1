#include "search/Form_search.h"

namespace replidex {

TFSearch::TFSearch(QWidget* parent) : QDialog(parent), TFormBase(this, false)
{
    setObjectName(QStringLiteral("FSearch"));
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(956, 584);
    BaseFormCreate();
}

}  // namespace replidex
