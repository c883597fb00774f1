// Dragging out of the main window's views: the payload that rows of the list
// and folders of the tree carry, which names the window they come from, and
// the drag image maker, which draws the picture of the dragged rows.
#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QPoint>

#include <string>
#include <vector>

class QDrag;
class QMimeData;
class QTreeView;
class QWidget;

namespace replidex {

class ReplayRowModel;

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

// The picture of the dragged rows and what it shows.
struct RowDragPicture {
    QPixmap image;                       // null when no selected row is on screen
    QPoint hotSpot;                      // the press point, in the picture
    std::vector<int> rows;               // the rows drawn, top to bottom
    std::vector<std::string> captions;   // their captions as drawn (Shift-JIS)
};

// The drag image maker of the main window's list. It remembers where the
// mouse went down in the list; when rows are dragged it draws the selected
// rows that are on screen, each on a band of the highlight colour at the
// place where it stands in the list: its icon, one pixel of room, then the
// band with the row's caption in white, shortened with "..." to the width
// of the "File" column less 22 pixels. White is transparent, so the gaps,
// the caption's letters and the white of the icons let the screen through.
class RowDragImage {
public:
    // Left of each band: the 16-pixel icon and one transparent pixel.
    static constexpr int kBandLeft = 17;
    static constexpr int kCaptionLeft = 18;
    static constexpr int kCaptionTop = 2;
    // The caption's room is the "File" column's width less this.
    static constexpr int kCaptionMargin = 22;
    static constexpr int kIconSize = 16;

    RowDragImage();

    // ListMouseDown: the list-viewport point where a mouse button went down.
    void RememberPress(QPoint pos) { press_ = pos; }
    // ListStartDrag: draws the selected rows of `list` (showing `rows`) from
    // the top row on screen to the row after the last fully shown one.
    const RowDragPicture& Build(const QTreeView& list, const ReplayRowModel& rows);
    // Gives `drag` the picture with its hot spot, and the maker's cursor for
    // a drop that is taken and for one that is refused alike.
    void Dress(QDrag& drag) const;
    // ListEndDrag: forgets the picture.
    void Clear() { picture_ = {}; }

    const RowDragPicture& picture() const { return picture_; }
    // The cursor shown while rows are dragged.
    const QPixmap& cursor() const { return cursor_; }

private:
    QPoint press_;
    QPixmap cursor_;
    RowDragPicture picture_;
};

}  // namespace replidex
