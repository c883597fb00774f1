#include "shell/Unitbase.h"

#include <QMenu>
#include <QWidget>

namespace replidex {

TFormBase::TFormBase(QWidget* form, bool isMainWindow) : form_(form), isMainWindow_(isMainWindow)
{
}

void TFormBase::BaseFormCreate()
{
    if (listMenu_) return;
    listMenu_ = new QMenu(form_);
    listMenu_->setObjectName(QStringLiteral("ListMenu"));
}

}  // namespace replidex
