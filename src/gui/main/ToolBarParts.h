// The pieces of the tool bars of the main window and the search window: flat
// 25 by 25 buttons with a glyph and a hint, and fixed-width dividers.
#pragma once

#include <QString>

class QAction;
class QObject;
class QToolBar;

namespace replidex {

// A new action named `name` (its object name) with `text`.
QAction* NewAction(QObject* owner, const char* name, const QString& text);

// Appends a flat button for a new action named `name` showing the glyph
// ":/images/toolbar/<glyph>.svg" with `hint` as its text and tool tip.
QAction* AddToolButton(QToolBar* bar, const char* name, const char* glyph, const QString& hint);

// Appends a disabled divider `width` pixels wide with a separator line.
void AddToolBarDivider(QToolBar* bar, const char* name, int width);

// Makes `bar` a fixed bar of 30 pixels with 16-pixel glyphs.
void SetUpFixedToolBar(QToolBar* bar);

}  // namespace replidex
