#include "gui/browse/MemoDialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/list/TextLimits.h"
#include "core/text/SjisCodec.h"
#include "gui/dialogs/MessageBoxes.h"

namespace replidex {

MemoDialog::MemoDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MemoDialog"));
    setWindowTitle(QStringLiteral("メモ"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setModal(true);
    resize(337, 247);

    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName(QStringLiteral("Memo"));
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Panel"));
    panel_->setFixedHeight(45);
    ok_ = new QPushButton(QStringLiteral("OK"), panel_);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), panel_);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    // Enter starts a new line in the edit; it never presses OK.
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &MemoDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &MemoDialog::reject);

    auto* buttons = new QHBoxLayout(panel_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_, 1);
    layout->addWidget(panel_);

    Clear();
}

void MemoDialog::Clear()
{
    edit_->clear();
    memo_.clear();
}

void MemoDialog::SetMemo(const std::string& memo)
{
    edit_->setPlainText(QString::fromStdString(Cp932ToUtf8Lossy(MemoForEditor(memo))));
}

void MemoDialog::accept()
{
    std::string memo;
    const TextFit fit =
        FitSjisText(MemoFromEditor(edit_->toPlainText().toStdString()), kMemoMaxBytes, memo);
    if (fit == TextFit::NotSjis) {
        ShowMessageBox(MemoFitMessage(fit), kMsgWarning);
        edit_->setFocus();
        return;
    }
    if (fit == TextFit::Cut) {
        ShowMessageBox(MemoFitMessage(fit), kMsgWarning);
        // A cut right after a carriage return would leave half a line break.
        if (!memo.empty() && memo.back() == '\r') memo.pop_back();
    }
    memo_ = std::move(memo);
    QDialog::accept();
}

void MemoDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    edit_->setFocus();
}

}  // namespace replidex
