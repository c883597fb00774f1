#include "gui/browse/RowDrag.h"

#include <QDrag>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPainter>
#include <QPolygon>
#include <QTreeView>
#include <QUuid>
#include <QWidget>

#include <algorithm>

#include "core/text/ShortenText.h"
#include "core/text/SjisCodec.h"
#include "gui/browse/ReplayRowModel.h"

namespace replidex {

namespace {

QString ShownText(std::string_view sjis)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(sjis));
}

// The standard drag cursor: an arrow with a small sheet at its lower right.
// A cursor made from a picture takes the picture's centre as its point, so
// the arrow's tip is drawn there.
QPixmap DragCursor()
{
    constexpr int kSize = 48;
    constexpr int kTip = kSize / 2;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(kTip, kTip);
    const QPolygon arrow({{0, 0}, {0, 15}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {11, 10}});
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(9, 12, 10, 8));
    painter.end();
    return QPixmap::fromImage(image);
}

// Every pure white pixel becomes transparent; every other pixel stays as drawn.
void WhiteToTransparent(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu) line[x] = 0;
    }
}

// Refuses the drags of rows and folders that come from elsewhere.
class ForeignRowDragFilter final : public QObject {
public:
    ForeignRowDragFilter(const RowDragOrigin& origin, QObject* parent)
        : QObject(parent), origin_(origin)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        const QMimeData* data = drop->mimeData();
        if (!RowDragOrigin::IsRowOrFolderDrag(data) || origin_.Owns(data)) return false;
        drop->setDropAction(Qt::IgnoreAction);
        drop->ignore();
        return true;
    }

private:
    RowDragOrigin origin_;
};

}  // namespace

// ---------------------------------------------------------------- payload

RowDragOrigin RowDragOrigin::NewWindow()
{
    RowDragOrigin origin;
    origin.id_ = QUuid::createUuid().toRfc4122();
    return origin;
}

QMimeData* RowDragOrigin::Payload(const char* mimeType) const
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(mimeType), id_);
    return data;
}

bool RowDragOrigin::IsRowOrFolderDrag(const QMimeData* data)
{
    return data && (data->hasFormat(QString::fromLatin1(kReplayRowsMimeType)) ||
                    data->hasFormat(QString::fromLatin1(kFolderMimeType)));
}

bool RowDragOrigin::Owns(const QMimeData* data) const
{
    if (id_.isEmpty() || !IsRowOrFolderDrag(data)) return false;
    for (const char* type : {kReplayRowsMimeType, kFolderMimeType}) {
        const QString format = QString::fromLatin1(type);
        if (data->hasFormat(format) && data->data(format) != id_) return false;
    }
    return true;
}

void RefuseForeignRowDrags(QWidget* viewport, const RowDragOrigin& origin)
{
    if (viewport) viewport->installEventFilter(new ForeignRowDragFilter(origin, viewport));
}

// ---------------------------------------------------------------- picture

RowDragImage::RowDragImage() : cursor_(DragCursor()) {}

const RowDragPicture& RowDragImage::Build(const QTreeView& list, const ReplayRowModel& rows)
{
    picture_ = {};
    const QItemSelectionModel* selection = list.selectionModel();
    const QModelIndex top = list.indexAt(QPoint(0, 0));
    if (!selection || !top.isValid()) return picture_;
    const int rowHeight = list.visualRect(top).height();
    if (rowHeight <= 0) return picture_;

    // The top row on screen to the one after the last fully shown row; of
    // these, the selected ones, each by its "File" cell.
    const int last = std::min(top.row() + list.viewport()->height() / rowHeight, rows.rowCount() - 1);
    std::vector<QRect> cells;
    QRect bounds;
    for (int row = top.row(); row <= last; ++row) {
        if (!selection->isRowSelected(row, {})) continue;
        const QRect cell = list.visualRect(rows.index(row, 0));
        picture_.rows.push_back(row);
        cells.push_back(cell);
        bounds |= cell;
    }
    if (cells.empty()) return picture_;

    QImage image(bounds.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QFont font = list.font();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    const QColor highlight = list.palette().color(QPalette::Active, QPalette::Highlight);
    const int room = list.header()->sectionSize(0) - kCaptionMargin;
    const auto widthOf = [&](std::string_view text) { return metrics.horizontalAdvance(ShownText(text)); };

    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int row = picture_.rows[i];
        const QRect cell = cells[i].translated(-bounds.topLeft());
        painter.fillRect(QRect(cell.left() + kBandLeft, cell.top(), std::max(0, cell.width() - kBandLeft),
                               cell.height()),
                         highlight);

        const QIcon icon = rows.data(rows.index(row, 0), Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            const QRect place(cell.left(), cell.top() + (cell.height() - kIconSize) / 2, kIconSize, kIconSize);
            painter.fillRect(place, Qt::white);
            icon.paint(&painter, place);
        }

        const ReplayRow* shown = rows.row(row);
        std::string caption = shown ? ShortenToWidth(shown->texts[kColFile], room, widthOf) : std::string();
        painter.save();
        painter.setClipRect(QRect(cell.left() + kCaptionLeft, cell.top(),
                                  std::max(0, cell.width() - kCaptionLeft), cell.height()));
        painter.setPen(Qt::white);
        painter.drawText(QPoint(cell.left() + kCaptionLeft, cell.top() + kCaptionTop + metrics.ascent()),
                         ShownText(caption));
        painter.restore();
        picture_.captions.push_back(std::move(caption));
    }
    painter.end();
    WhiteToTransparent(image);
    picture_.image = QPixmap::fromImage(image);
    picture_.hotSpot = press_ - bounds.topLeft();
    return picture_;
}

void RowDragImage::Dress(QDrag& drag) const
{
    if (!picture_.image.isNull()) {
        drag.setPixmap(picture_.image);
        drag.setHotSpot(picture_.hotSpot);
    }
    drag.setDragCursor(cursor_, Qt::MoveAction);
    drag.setDragCursor(cursor_, Qt::IgnoreAction);
}

}  // namespace replidex
