#include "gui/browse/RowDrag.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUuid>
#include <QWidget>

namespace replidex {

namespace {

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

}  // namespace replidex
