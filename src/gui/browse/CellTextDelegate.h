// An item delegate that draws a cell as QStyledItemDelegate does (background,
// selection, icon, focus through the style; the text in the palette's colour,
// aligned, elided at the right when it does not fit) but keeps the laid-out
// text of each cell, so that repainting a page of a long list mostly draws
// ready glyphs instead of shaping, measuring and eliding every text again.
#pragma once

#include <QFont>
#include <QString>
#include <QStyledItemDelegate>

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

namespace replidex {

class CellTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Laid-out texts kept at most; past it the least recently drawn goes.
    static constexpr std::size_t kCacheLimit = 4096;

    explicit CellTextDelegate(QObject* parent = nullptr);
    ~CellTextDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The text the cell at `index` shows when drawn with `option` (its rect,
    // font and elide mode): the whole text, or its elided form when it does
    // not fit. Goes through the same cache as painting.
    QString shownText(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // How many laid-out texts are kept now (never more than kCacheLimit).
    std::size_t cachedTexts() const;
    // Forgets every laid-out text.
    void clearCache() const;

private:
    struct Key {
        QString text;
        int width;
        int elideMode;
        int alignment;
        bool operator==(const Key& other) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };
    struct CellText;
    using Order = std::list<std::pair<Key, std::unique_ptr<CellText>>>;

    // Whether a cell is drawn from the cache; other cells (wrapped or
    // multi-line text, an open editor, right-to-left) go to the base class.
    static bool drawsFromCache(const QStyleOptionViewItem& option);
    // The text area of a cell, inside the style's margins. Asked with an
    // option whose text is left out, so that the style does not lay it out
    // (the area does not depend on it when the decoration shows selected).
    static QRect textArea(const QStyleOptionViewItem& textless);
    const CellText& cellText(const QStyleOptionViewItem& option, const QRect& area) const;

    // The kept texts, most recently drawn first, and where each one is.
    mutable Order order_;
    mutable std::unordered_map<Key, Order::iterator, KeyHash> index_;
    mutable QFont font_;   // the font the cached texts were laid out with
};

}  // namespace replidex
