// Dragging out of the main window's views: the payload that rows of the list
// and folders of the tree carry, which names the window they come from.
#pragma once

#include <QByteArray>

class QMimeData;
class QWidget;

namespace replidex {

// Mime type of rows dragged out of a replay list view. The rows are the source
// view's selection, so the data only names the window the drag comes from.
inline constexpr const char* kReplayRowsMimeType = "application/x-replidex-rows";
// Mime type of a folder dragged out of the folder tree (the tree's selection).
inline constexpr const char* kFolderMimeType = "application/x-replidex-folder";

// Names one window as the source of the drags of its list and tree. Another
// window, or another running instance, has another name, so a window tells
// its own drags from the same kind of drag made elsewhere.
class RowDragOrigin {
public:
    // Names no window: its payloads are nobody's own.
    RowDragOrigin() = default;
    // A window never named before.
    static RowDragOrigin NewWindow();

    // The payload of a drag of rows (kReplayRowsMimeType) or of a folder
    // (kFolderMimeType) from this window; the caller owns it.
    QMimeData* Payload(const char* mimeType) const;
    // Whether `data` is a drag of rows or of a folder, from wherever.
    static bool IsRowOrFolderDrag(const QMimeData* data);
    // Whether `data` is such a drag from this window.
    bool Owns(const QMimeData* data) const;

private:
    QByteArray id_;
};

// Turns away every drag of rows or of a folder over `viewport` that does not
// come from `origin`: the view never sees it, and the cursor shows that it
// cannot be dropped. Other drags (files from the file manager) pass.
void RefuseForeignRowDrags(QWidget* viewport, const RowDragOrigin& origin);

}  // namespace replidex
