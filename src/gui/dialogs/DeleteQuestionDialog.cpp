#include "gui/dialogs/DeleteQuestionDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

namespace replidex {

namespace {

// The dialog's result codes; 0 (rejected: the close box or Esc) is Cancel.
enum Result : int { kCancel = 0, kYes = 1, kYesToAll = 2, kNo = 3, kNoToAll = 4 };

// A check box that answers to its whole width, as a Windows check box does,
// not only to its box and caption: clicks there toggle it, and accessibility
// tools see the box's full extent.
class WholeBoxClickStyle final : public QProxyStyle {
public:
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        if (element == SE_CheckBoxClickRect && option) return option->rect;
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

}  // namespace

DeleteQuestionDialog::DeleteQuestionDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteQuestionDialog"));
    setWindowTitle(QStringLiteral("警告"));
    // A dialog border with only the system menu (close box) in its title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(367, 110);

    // The system's warning icon, loaded once; its transparent parts show the
    // dialog's face colour.
    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(12, 16, 32, 32);
    Image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this)
                         .pixmap(QSize(32, 32), devicePixelRatioF()));

    Label = new QLabel(this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->setGeometry(60, 16, 293, 41);
    Label->setWordWrap(true);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label->setTextFormat(Qt::PlainText);

    CB_Option = new QCheckBox(this);
    CB_Option->setObjectName(QStringLiteral("CB_Option"));
    CB_Option->setGeometry(56, 56, 145, 17);
    auto* clickStyle = new WholeBoxClickStyle;
    clickStyle->setParent(CB_Option);
    CB_Option->setStyle(clickStyle);
    CB_Option->setChecked(true);

    const auto button = [this](const char* name, const QString& caption, int x, int result) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 80, 81, 22);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    BtnYes = button("BtnYes", QStringLiteral("はい(&Y)"), 10, kYes);
    BtnAllYes = button("BtnAllYes", QStringLiteral("すべてはい(&A)"), 96, kYesToAll);
    BtnNo = button("BtnNo", QStringLiteral("いいえ(&N)"), 184, kNo);
    BtnAllNo = button("BtnAllNo", QStringLiteral("キャンセル"), 272, kNoToAll);
    BtnYes->setDefault(true);

    setTabOrder(BtnYes, CB_Option);
    setTabOrder(CB_Option, BtnNo);
    setTabOrder(BtnNo, BtnAllNo);
    setTabOrder(BtnAllNo, BtnAllYes);
}

void DeleteQuestionDialog::SetOption(const QString& caption, bool ticked)
{
    CB_Option->setText(caption);
    CB_Option->setChecked(ticked);
}

bool DeleteQuestionDialog::OptionTicked() const
{
    return CB_Option->isChecked();
}

DeleteReply DeleteQuestionDialog::Ask(const QString& question, const QString& detail)
{
    Label->setText(question);
    // The whole path behind a question that names only the file.
    Label->setToolTip(detail);
    Label->setAccessibleDescription(detail);
    setAccessibleDescription(detail);
    BtnYes->setFocus();
    DeleteReply reply;
    switch (exec()) {
    case kYes: reply.answer = DeleteAnswer::Yes; break;
    case kYesToAll: reply.answer = DeleteAnswer::YesToAll; break;
    case kNo: reply.answer = DeleteAnswer::No; break;
    case kNoToAll: reply.answer = DeleteAnswer::NoToAll; break;
    default: reply.answer = DeleteAnswer::Cancel; break;
    }
    reply.optionTicked = OptionTicked();
    return reply;
}

}  // namespace replidex
