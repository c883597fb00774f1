#include "gui/search/CriteriaPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionComboBox>

#include <string>

#include "core/replay/ReplayFileReader.h"
#include "core/text/SjisCodec.h"

namespace replidex {

namespace {

// Controls without a caption of their own are named by their control name in
// the accessibility tree.

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

// Drop-down lists drawn with a flat face in their base colour and an edit's
// frame, so that a list and an edit side by side show one colour: white when
// enabled, the 3D-light colour when not (styles otherwise shade a list's face
// as a button's).
class FlatDropDownStyle final : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (control != CC_ComboBox || !combo || combo->editable) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionFrame frame;
        frame.QStyleOption::operator=(*option);
        frame.lineWidth = pixelMetric(PM_DefaultFrameWidth, option, widget);
        painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
        drawPrimitive(PE_FrameLineEdit, &frame, painter, widget);
        QStyleOption arrow = *option;
        arrow.rect = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget);
        drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
        if (combo->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*option);
            focus.rect = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};

QComboBox* DropDownList(QWidget* parent, const char* name, const QStringList& items, int current,
                        int width)
{
    auto* combo = new QComboBox(parent);
    auto* style = new FlatDropDownStyle;
    style->setParent(combo);
    combo->setStyle(style);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setAccessibleName(combo->objectName());
    combo->addItems(items);
    combo->setCurrentIndex(current);
    combo->setFixedWidth(width);
    combo->setMaxVisibleItems(items.size());
    return combo;
}

QLineEdit* LineEdit(QWidget* parent, const char* name, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(edit->objectName());
    edit->setFixedWidth(width);
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the edits (it runs the search), never to a button
    // that happens to have had the focus.
    button->setAutoDefault(false);
    return button;
}

QString Display(const std::string& sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

QStringList NamesOf(const std::string& (*name)(int), int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i) items << Display(name(i));
    return items;
}

std::string SjisPattern(const QString& text)
{
    std::string sjis;
    if (!Utf8ToCp932(text.toStdString(), sjis)) sjis.clear();
    return sjis;
}

}  // namespace

void PaintEditor(QWidget* editor, bool enabled)
{
    QPalette palette = editor->palette();
    const QColor colour = enabled ? QColor(Qt::white) : palette.color(QPalette::Midlight);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
        // A drop-down list draws its face with the button colour.
        if (qobject_cast<QComboBox*>(editor)) palette.setColor(group, QPalette::Button, colour);
    }
    editor->setPalette(palette);
    editor->setEnabled(enabled);
}

CriteriaPanel::CriteriaPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel"));
    BuildControls();
    LayOut();

    connect(CB_HN, &QCheckBox::toggled, this, [this] { CB_HNClick(); });
    connect(CB_Rank, &QCheckBox::toggled, this, [this] { CB_RankClick(); });
    connect(CB_Avg, &QCheckBox::toggled, this, [this] { CB_AvgClick(); });
    connect(CB_Chara, &QCheckBox::toggled, this, [this] { CB_CharaClick(); });
    connect(CB_Memo, &QCheckBox::toggled, this, [this] { CB_MemoClick(); });
    connect(Edit, &QLineEdit::returnPressed, this, &CriteriaPanel::searchRequested);
    connect(Edit_Memo, &QLineEdit::returnPressed, this, &CriteriaPanel::searchRequested);

    // The editors follow their check boxes from the start.
    CB_HNClick();
    CB_RankClick();
    CB_AvgClick();
    CB_CharaClick();
    CB_MemoClick();
}

void CriteriaPanel::BuildControls()
{
    CB_HN = CheckBox(this, "CB_HN", QStringLiteral("ハンドル名"), false);
    Edit = LineEdit(this, "Edit", 150);
    CB_Rank = CheckBox(this, "CB_Rank", QStringLiteral("段位"), true);
    ComboBox_Rank = DropDownList(this, "ComboBox_Rank", NamesOf(RankName, kSearchRankCount), 0, 96);
    ComboBox_RankIf = DropDownList(
        this, "ComboBox_RankIf",
        {QStringLiteral("に等しい"), QStringLiteral("以上"), QStringLiteral("以下")}, kRankAtLeast, 80);
    CB_Avg = CheckBox(this, "CB_Avg", QStringLiteral("勝率"), false);
    QStringList ratios;
    for (const char* step : {"１割", "２割", "３割", "４割", "５割", "６割", "７割", "８割", "９割"})
        ratios << QString::fromUtf8(step);
    ComboBox_AvgRatio = DropDownList(this, "ComboBox_AvgRatio", ratios, 0, 60);
    ComboBox_AvgIf = DropDownList(this, "ComboBox_AvgIf",
                                  {QStringLiteral("以上"), QStringLiteral("以下")}, kRatioAtLeast, 60);
    CB_Chara = CheckBox(this, "CB_Chara", QStringLiteral("使用キャラ"), false);
    ComboBox_Chara =
        DropDownList(this, "ComboBox_Chara", NamesOf(CharacterName, kSearchCharacterCount), 0, 130);
    CB_Memo = CheckBox(this, "CB_Memo", QStringLiteral("メモ"), false);
    Edit_Memo = LineEdit(this, "Edit_Memo", 150);
    CB_1P = CheckBox(this, "CB_1P", QStringLiteral("１P"), true);
    CB_2P = CheckBox(this, "CB_2P", QStringLiteral("２P"), true);
    CB_Net = CheckBox(this, "CB_Net", QStringLiteral("Net"), true);
    CB_OffLine = CheckBox(this, "CB_OffLine", QStringLiteral("OffLine"), true);
    CB_Alpha = CheckBox(this, "CB_Alpha", QStringLiteral("大文字と小文字を区別する"), true);
    CB_Zenkaku = CheckBox(this, "CB_Zenkaku", QStringLiteral("全角英数字と半角英数字を区別する"), true);

    Edit_Folder = LineEdit(this, "Edit_Folder", 250);
    Edit_Folder->setReadOnly(true);
    Edit_Folder->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = Edit_Folder->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Midlight));
    Edit_Folder->setPalette(palette);
    BtnFolder = Button(this, "BtnFolder", QStringLiteral("検索するフォルダ"));
    BtnSearch = Button(this, "BtnSearch", QStringLiteral("検索"));
    BtnAbort = Button(this, "BtnAbort", QStringLiteral("中止"));
    BtnAbort->setEnabled(false);
    for (QPushButton* button : {BtnSearch, BtnAbort}) button->setFixedWidth(75);
}

// Three rows: the handle name, rank, ratio and character criteria; the memo
// criterion, the players, the kinds of match and the text options; the scope
// and the buttons.
void CriteriaPanel::LayOut()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);

    const auto row = [](std::initializer_list<QWidget*> widgets, int spacing = 6) {
        auto* line = new QHBoxLayout;
        line->setSpacing(spacing);
        for (QWidget* w : widgets) line->addWidget(w);
        line->addStretch(1);
        return line;
    };
    grid->addWidget(CB_HN, 0, 0);
    grid->addWidget(Edit, 0, 1);
    grid->addLayout(row({CB_Rank, ComboBox_Rank, ComboBox_RankIf}), 0, 2);
    grid->addLayout(row({CB_Avg, ComboBox_AvgRatio, ComboBox_AvgIf}), 0, 3);
    grid->addLayout(row({CB_Chara, ComboBox_Chara}), 0, 4);

    grid->addWidget(CB_Memo, 1, 0);
    grid->addWidget(Edit_Memo, 1, 1);
    grid->addLayout(row({CB_1P, CB_2P, CB_Net, CB_OffLine}, 10), 1, 2);
    grid->addLayout(row({CB_Alpha, CB_Zenkaku}, 10), 1, 3, 1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(Edit_Folder);
    bottom->addWidget(BtnFolder);
    bottom->addStretch(1);
    bottom->addWidget(BtnSearch);
    bottom->addWidget(BtnAbort);
    grid->addLayout(bottom, 2, 0, 1, 5);
    grid->setColumnStretch(4, 1);
}

SearchCriteria CriteriaPanel::Criteria() const
{
    SearchCriteria c;
    c.useHandleName = CB_HN->isChecked();
    c.handleName = SjisPattern(Edit->text());
    c.useRank = CB_Rank->isChecked();
    c.rankIndex = ComboBox_Rank->currentIndex();
    c.rankCompare = ComboBox_RankIf->currentIndex();
    c.useRatio = CB_Avg->isChecked();
    c.ratioStep = ComboBox_AvgRatio->currentIndex();
    c.ratioCompare = ComboBox_AvgIf->currentIndex();
    c.useCharacter = CB_Chara->isChecked();
    c.characterIndex = ComboBox_Chara->currentIndex();
    c.useMemo = CB_Memo->isChecked();
    c.memo = SjisPattern(Edit_Memo->text());
    c.player1 = CB_1P->isChecked();
    c.player2 = CB_2P->isChecked();
    c.net = CB_Net->isChecked();
    c.offline = CB_OffLine->isChecked();
    c.caseSensitive = CB_Alpha->isChecked();
    c.widthSensitive = CB_Zenkaku->isChecked();
    return c;
}

void CriteriaPanel::CB_HNClick()
{
    PaintEditor(Edit, CB_HN->isChecked());
}

void CriteriaPanel::CB_RankClick()
{
    PaintEditor(ComboBox_Rank, CB_Rank->isChecked());
    PaintEditor(ComboBox_RankIf, CB_Rank->isChecked());
}

void CriteriaPanel::CB_AvgClick()
{
    PaintEditor(ComboBox_AvgIf, CB_Avg->isChecked());
    PaintEditor(ComboBox_AvgRatio, CB_Avg->isChecked());
}

void CriteriaPanel::CB_CharaClick()
{
    PaintEditor(ComboBox_Chara, CB_Chara->isChecked());
}

void CriteriaPanel::CB_MemoClick()
{
    PaintEditor(Edit_Memo, CB_Memo->isChecked());
}

}  // namespace replidex
