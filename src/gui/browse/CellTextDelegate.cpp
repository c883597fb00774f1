#include "gui/browse/CellTextDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHashFunctions>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>

#include <utility>

namespace replidex {

// One laid-out cell text. `layout` holds the text as shown (whole or
// elided) on one line, with its glyphs kept; the whole text's line height and
// ascent place it in the cell as the style places it.
struct CellTextDelegate::CellText {
    QTextLayout layout;
    qreal lineHeight = 0;
    qreal ascent = 0;
    bool elided = false;   // drawn from its baseline, as an elided text is
};

namespace {

// Lays `layout` out on one line `width` wide, glyphs kept for drawing.
QTextLine LayOutOneLine(QTextLayout& layout, qreal width)
{
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    return line;
}

// Characters that make a text span more than one line, or that choose among
// length variants of a text; such texts are left to the base class.
bool HasLineBreakOrVariants(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == 0x9c || u == QChar::LineSeparator ||
            u == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

}  // namespace

std::size_t CellTextDelegate::KeyHash::operator()(const Key& key) const noexcept
{
    return qHashMulti(0, key.text, key.width, key.elideMode, key.alignment);
}

CellTextDelegate::CellTextDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

CellTextDelegate::~CellTextDelegate() = default;

bool CellTextDelegate::drawsFromCache(const QStyleOptionViewItem& option)
{
    // The text area of a cell whose decoration is shown selected is the cell
    // less its icon, whatever the text: so it is known without laying the
    // text out.
    return option.showDecorationSelected && !(option.features & QStyleOptionViewItem::WrapText) &&
           !(option.state & QStyle::State_Editing) && option.direction == Qt::LeftToRight &&
           (option.decorationPosition == QStyleOptionViewItem::Left ||
            option.decorationPosition == QStyleOptionViewItem::Right) &&
           !HasLineBreakOrVariants(option.text);
}

QRect CellTextDelegate::textArea(const QStyleOptionViewItem& textless)
{
    const QWidget* widget = textless.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &textless, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return area.adjusted(margin, 0, -margin, 0);
}

const CellTextDelegate::CellText& CellTextDelegate::cellText(const QStyleOptionViewItem& option,
                                                             const QRect& area) const
{
    // Texts laid out with another font are of no use any more.
    if (!(option.font == font_)) {
        clearCache();
        font_ = option.font;
    }
    Key key{option.text, area.width(), static_cast<int>(option.textElideMode),
            static_cast<int>(option.displayAlignment.toInt())};
    if (const auto it = index_.find(key); it != index_.end()) {
        order_.splice(order_.begin(), order_, it->second);
        return *it->second->second;
    }

    auto cell = std::make_unique<CellText>();
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(option.direction);
    textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
    cell->layout.setText(option.text);
    cell->layout.setFont(option.font);
    cell->layout.setTextOption(textOption);
    const QTextLine line = LayOutOneLine(cell->layout, area.width());
    if (line.isValid()) {
        cell->lineHeight = line.height();
        cell->ascent = line.ascent();
        if (line.naturalTextWidth() > area.width()) {
            // Too wide: the elided text on a line of its own, drawn from the
            // whole text's baseline.
            cell->elided = true;
            cell->layout.setText(
                QFontMetrics(option.font).elidedText(option.text, option.textElideMode, area.width()));
            QTextOption plain;
            plain.setWrapMode(QTextOption::ManualWrap);
            cell->layout.setTextOption(plain);
            LayOutOneLine(cell->layout, area.width());
        }
    }

    // One text in, the least recently drawn out: no pause to drop many at once.
    if (order_.size() >= kCacheLimit) {
        index_.erase(order_.back().first);
        order_.pop_back();
    }
    order_.emplace_front(key, std::move(cell));
    index_.emplace(std::move(key), order_.begin());
    return *order_.front().second;
}

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!drawsFromCache(opt)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // Background, selection, icon and focus frame through the style, with
    // the text left out; then the text from the cache.
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    QString text = std::exchange(opt.text, QString());
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect area = textArea(opt);
    // Nothing to draw, or the margins take the whole cell.
    if (text.isEmpty() || area.width() <= 0) return;
    opt.text = std::move(text);
    const CellText& cell = cellText(opt, area);
    if (cell.layout.lineCount() != 1) return;

    QPalette::ColorGroup group =
        (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active)) group = QPalette::Inactive;
    const QPalette::ColorRole role =
        (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;

    // The line is placed in the text area by the cell's alignment; an
    // elided text starts at the area's left edge on the whole text's
    // baseline.
    const QRect lineRect = QStyle::alignedRect(opt.direction, opt.displayAlignment,
                                               QSize(area.width(), int(cell.lineHeight)), area);
    const QTextLine line = cell.layout.lineAt(0);
    QPointF position = lineRect.topLeft();
    if (cell.elided) position.ry() += cell.ascent - line.ascent();

    painter->save();
    painter->setClipRect(opt.rect, Qt::IntersectClip);
    painter->setPen(opt.palette.color(group, role));
    line.draw(painter, position);
    painter->restore();
}

QString CellTextDelegate::shownText(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QString text = std::exchange(opt.text, QString());
    const QRect area = textArea(opt);
    if (text.isEmpty() || area.width() <= 0) return {};
    opt.text = std::move(text);
    if (!drawsFromCache(opt))
        return QFontMetrics(opt.font).elidedText(opt.text, opt.textElideMode, area.width());
    return cellText(opt, area).layout.text();
}

std::size_t CellTextDelegate::cachedTexts() const
{
    return order_.size();
}

void CellTextDelegate::clearCache() const
{
    index_.clear();
    order_.clear();
}

}  // namespace replidex
