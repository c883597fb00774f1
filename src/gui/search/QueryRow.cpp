#include "gui/search/QueryRow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "core/search/query/Query.h"
#include "core/settings/SavedQueries.h"
#include "core/text/SjisCodec.h"
#include "gui/search/CriteriaPanel.h"

namespace replidex {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Every key as "key:", and every fixed value of a key as "key:value".
QStringList CompletionWords()
{
    QStringList words;
    for (const std::string& key : QueryKeyWords()) words << QString::fromStdString(key) + u':';
    for (const QueryKey key : {QueryKey::Rank, QueryKey::Chara, QueryKey::Side, QueryKey::State})
        for (const std::string& value : QueryValueWords(key))
            words << QString::fromLatin1(QueryKeyName(key)) + u':' + QString::fromStdString(value);
    return words;
}

bool EndsWord(QChar c)
{
    return c.isSpace() || c == u'(' || c == u')' || c == u'|' || c == u'-' || c == u'（' ||
           c == u'）' || c == u'｜';
}

// Where the word ending at `cursor` starts.
int WordStart(const QString& text, int cursor)
{
    int start = cursor;
    while (start > 0 && !EndsWord(text[start - 1])) --start;
    return start;
}

}  // namespace

QueryRow::QueryRow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QueryRow"));
    Label_Query = Named(new QLabel(QStringLiteral("検索式(&Q):"), this), "Label_Query");
    Edit_Query = Named(new QLineEdit(this), "Edit_Query");
    Edit_Query->setPlaceholderText(
        QStringLiteral("例: name:あみ rank>=しょだん vs:(chara:アルル) OR memo:「大会」"));
    Label_Query->setBuddy(Edit_Query);
    BtnToQuery = Named(new QPushButton(QStringLiteral("条件を式に(&E)"), this), "BtnToQuery");
    ComboBox_Saved = Named(new QComboBox(this), "ComboBox_Saved");
    ComboBox_Saved->setPlaceholderText(QStringLiteral("保存した検索"));
    ComboBox_Saved->setMinimumWidth(140);
    BtnSaveQuery = Named(new QPushButton(QStringLiteral("保存(&V)..."), this), "BtnSaveQuery");
    BtnDeleteQuery = Named(new QPushButton(QStringLiteral("削除"), this), "BtnDeleteQuery");
    for (QPushButton* b : {BtnToQuery, BtnSaveQuery, BtnDeleteQuery}) b->setAutoDefault(false);
    Label_QueryError = Named(new QLabel(this), "Label_QueryError");
    Label_QueryError->setStyleSheet(QStringLiteral("color: red;"));
    Label_QueryError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label_QueryError->hide();

    auto* row = new QHBoxLayout;
    row->addWidget(Label_Query);
    row->addWidget(Edit_Query, 1);
    row->addWidget(BtnToQuery);
    row->addWidget(ComboBox_Saved);
    row->addWidget(BtnSaveQuery);
    row->addWidget(BtnDeleteQuery);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    layout->addLayout(row);
    layout->addWidget(Label_QueryError);

    completer_ = new QCompleter(new QStringListModel(CompletionWords(), this), this);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setWidget(Edit_Query);
    connect(Edit_Query, &QLineEdit::textEdited, this, [this] { CompleteWord(); });
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& word) { InsertCompletion(word); });
    connect(Edit_Query, &QLineEdit::returnPressed, this, [this] {
        if (!completer_->popup()->isVisible()) emit searchRequested();
    });
}

QString QueryRow::QueryText() const
{
    return Edit_Query->text().trimmed();
}

void QueryRow::ShowError(const QString& text)
{
    Label_QueryError->setText(text);
    Label_QueryError->setVisible(!text.isEmpty());
}

void QueryRow::ShowSaved(const SavedQueries& saved, const QString& current)
{
    ComboBox_Saved->clear();
    for (const SavedQuery& q : saved.items())
        ComboBox_Saved->addItem(QString::fromStdString(Cp932ToUtf8Lossy(q.name)));
    ComboBox_Saved->setCurrentIndex(ComboBox_Saved->findText(current));
    BtnDeleteQuery->setEnabled(ComboBox_Saved->count() > 0);
}

void QueryRow::CompleteWord()
{
    const QString text = Edit_Query->text();
    const int cursor = Edit_Query->cursorPosition();
    const QString word = text.mid(WordStart(text, cursor), cursor - WordStart(text, cursor));
    if (word.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completer_->setCompletionPrefix(word);
    if (completer_->completionCount() == 0 ||
        (completer_->completionCount() == 1 && completer_->currentCompletion() == word)) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void QueryRow::InsertCompletion(const QString& word)
{
    QString text = Edit_Query->text();
    const int cursor = Edit_Query->cursorPosition();
    const int start = WordStart(text, cursor);
    text.replace(start, cursor - start, word);
    Edit_Query->setText(text);
    Edit_Query->setCursorPosition(start + static_cast<int>(word.size()));
}

void GreyCriteria(CriteriaPanel& panel, bool greyed)
{
    for (QCheckBox* box : {panel.CB_HN, panel.CB_Rank, panel.CB_Avg, panel.CB_Chara, panel.CB_Memo,
                           panel.CB_1P, panel.CB_2P, panel.CB_Net, panel.CB_OffLine})
        box->setEnabled(!greyed);
    if (greyed) {
        for (QWidget* editor :
             std::initializer_list<QWidget*>{panel.Edit, panel.ComboBox_Rank, panel.ComboBox_RankIf,
                                             panel.ComboBox_AvgRatio, panel.ComboBox_AvgIf,
                                             panel.ComboBox_Chara, panel.Edit_Memo}) {
            editor->setEnabled(false);
            PaintEditor(editor, false);
        }
        return;
    }
    // Each check box gives its editors back as it stands.
    panel.CB_HNClick();
    panel.CB_RankClick();
    panel.CB_AvgClick();
    panel.CB_CharaClick();
    panel.CB_MemoClick();
}

}  // namespace replidex
