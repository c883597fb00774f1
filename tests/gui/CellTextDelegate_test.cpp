// The replay list's cell drawing: every cell must look as the styled
// delegate draws it (compared pixel by pixel), follow a new column width or
// font at once, keep its laid-out texts bounded, and leave renaming a folder
// row in place working.
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/CellTextDelegate.h"
#include "gui/browse/ReplayListView.h"
#include "gui/browse/ReplayRowModel.h"

namespace replidex {
namespace {

const QString kEllipsis = QString(QChar(0x2026));
const std::string kLongPath = "/home/player/ぷよぷよ/リプレイ保存/2006年/大会の決勝戦とその前の試合/";

// A replay list view that hands out the options it paints a cell with.
class ListView final : public QTreeView {
public:
    QStyleOptionViewItem cellOption(const QModelIndex& index, int width = -1) const
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        if (width >= 0) option.rect.setRect(0, 0, width, option.rect.height());
        option.showDecorationSelected = true;   // rows are selected whole
        option.state |= QStyle::State_Enabled | QStyle::State_Active;
        return option;
    }
};

ReplayRow Row(const std::string& file, const std::string& path, RowKind kind = RowKind::Entry)
{
    ReplayRow row;
    row.kind = kind;
    row.icon = kind == RowKind::Folder ? kIconFolder : 0;
    row.texts[kColFile] = Sjis(file);
    row.texts[kColPath] = Sjis(path);
    return row;
}

// One cell painted by `delegate` into an image of the cell's size.
QImage Render(const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option,
              const QModelIndex& index)
{
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

class CellTextDelegateTest : public ::testing::Test {
protected:
    void Show(std::vector<ReplayRow> rows)
    {
        SetUpReplayListView(&view, &model);
        model.setRows(std::move(rows));
        view.resize(900, 300);
        view.show();
        installed = qobject_cast<CellTextDelegate*>(view.itemDelegate());
        ASSERT_NE(installed, nullptr);
    }
    bool DrawsAsStyled(const QStyleOptionViewItem& option, const QModelIndex& index)
    {
        return Render(delegate, option, index) == Render(QStyledItemDelegate(), option, index);
    }

    ReplayRowModel model;
    ListView view;
    CellTextDelegate* installed = nullptr;
    CellTextDelegate delegate;
};

TEST_F(CellTextDelegateTest, EveryCellLooksAsTheStyledDelegateDrawsIt)
{
    using S = QStyle;
    const struct {
        const char* what;
        std::string text;
        int column, width;
        QStyle::State add, remove;
        Qt::TextElideMode elide = Qt::ElideRight;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } cases[] = {
        {"short, wide cell", "/r/", kColPath, 200, {}, {}},
        {"long path, elided", kLongPath, kColPath, 150, {}, {}},
        {"names, elided", "アルルマスター ９だん 1520/311( 0.83) [アルル]", kColPath, 120, {}, {}},
        {"selected", kLongPath, kColPath, 150, S::State_Selected, {}},
        {"selected, window inactive", kLongPath, kColPath, 150, S::State_Selected, S::State_Active},
        {"disabled list", kLongPath, kColPath, 150, {}, S::State_Enabled},
        {"icon, elided name", "REPLAY0001.RPD", kColFile, 70, S::State_Selected, {}},
        {"not elided: clipped", kLongPath, kColPath, 150, {}, {}, Qt::ElideNone},
        {"elided in the middle", kLongPath, kColPath, 150, {}, {}, Qt::ElideMiddle},
        {"right aligned", "/r/", kColPath, 200, {}, {}, Qt::ElideRight, Qt::AlignRight | Qt::AlignVCenter},
        {"top aligned", kLongPath, kColPath, 150, {}, {}, Qt::ElideRight, Qt::AlignLeft | Qt::AlignTop},
        {"two lines", "いい試合\n連鎖", kColPath, 150, {}, {}},
        {"narrower than the margins", kLongPath, kColPath, 5, {}, {}},
    };
    std::vector<ReplayRow> rows;
    for (const auto& c : cases) rows.push_back(Row(c.text, c.text));
    Show(std::move(rows));

    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        const QModelIndex index = model.index(i, model.columnOf(c.column));
        QStyleOptionViewItem option = view.cellOption(index, c.width);
        option.state = (option.state | c.add) & ~c.remove;
        option.textElideMode = c.elide;
        option.displayAlignment = c.alignment;
        EXPECT_TRUE(DrawsAsStyled(option, index));
        EXPECT_TRUE(DrawsAsStyled(option, index)) << "drawn again from the kept layout";
    }
}

TEST_F(CellTextDelegateTest, ElidedWhenNarrowWholeWhenWideAndNeverStale)
{
    Show({Row("REPLAY01.RPD", kLongPath)});
    const int column = model.columnOf(kColPath);
    const QModelIndex index = model.index(0, column);
    const QString whole = QString::fromStdString(kLongPath);
    auto shown = [&] {
        (void)view.grab();
        return installed->shownText(view.cellOption(index), index);
    };

    view.header()->resizeSection(column, 120);
    const QString elided = shown();
    ASSERT_TRUE(elided.endsWith(kEllipsis)) << elided.toStdString();
    EXPECT_TRUE(whole.startsWith(elided.chopped(1)));
    view.header()->resizeSection(column, 800);
    EXPECT_EQ(shown(), whole);
    view.header()->resizeSection(column, 120);
    EXPECT_EQ(shown(), elided);
    QFont bigger = view.font();
    bigger.setPointSize(bigger.pointSize() * 2);
    view.setFont(bigger);
    const QString inBigger = shown();
    EXPECT_TRUE(inBigger.endsWith(kEllipsis));
    EXPECT_LT(inBigger.size(), elided.size());

}

TEST_F(CellTextDelegateTest, KeptTextsStayBoundedAndRepaintsAddNone)
{
    const int count = static_cast<int>(CellTextDelegate::kCacheLimit) * 3;
    std::vector<ReplayRow> rows;
    for (int i = 0; i < count; ++i) rows.push_back(Row("R.RPD", kLongPath + std::to_string(i)));
    Show(std::move(rows));
    const int column = model.columnOf(kColPath);

    QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    auto paintRows = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const QModelIndex index = model.index(row, column);
            delegate.paint(&painter, view.cellOption(index, 150), index);
            ASSERT_LE(delegate.cachedTexts(), CellTextDelegate::kCacheLimit);
        }
    };
    paintRows(0, 40);
    EXPECT_EQ(delegate.cachedTexts(), 40u);
    paintRows(0, 40);
    EXPECT_EQ(delegate.cachedTexts(), 40u) << "a repaint lays nothing out again";
    paintRows(40, count);
    painter.end();
    EXPECT_GE(delegate.cachedTexts(), CellTextDelegate::kCacheLimit / 2);

    const QModelIndex first = model.index(0, column);
    EXPECT_TRUE(DrawsAsStyled(view.cellOption(first, 150), first)) << "dropped, laid out again";
}

TEST_F(CellTextDelegateTest, FolderRowIsStillRenamedInPlace)
{
    Show({Row("決勝戦", "", RowKind::Folder), Row("REPLAY01.RPD", kLongPath)});
    std::vector<std::pair<int, QString>> renames;
    model.onRenameFolderRow = [&](int row, const QString& name) {
        renames.emplace_back(row, name);
        return true;
    };

    view.setCurrentIndex(model.index(0, 0));
    QTest::keyClick(&view, Qt::Key_F2);
    auto* editor = view.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("決勝戦"));
    (void)view.grab();   // the row painted under its open editor
    editor->setText(QStringLiteral("準決勝"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(test::WaitUntil([&] { return !renames.empty(); }));
    EXPECT_EQ(renames.front(), std::make_pair(0, QStringLiteral("準決勝")));
}

}  // namespace
}  // namespace replidex
