#include "gui/browse/ViewKeys.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <utility>
#include <vector>

namespace replidex {

namespace {

class ViewKeyFilter final : public QObject {
public:
    ViewKeyFilter(QAbstractItemView* view, std::vector<int> keys, std::function<void()> run)
        : QObject(view), view_(view), keys_(std::move(keys)), run_(std::move(run))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter of the number pad comes with the keypad flag.
        const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
        if (held != Qt::NoModifier || EditorHasFocus()) return false;
        if (std::find(keys_.begin(), keys_.end(), key->key()) == keys_.end()) return false;
        run_();
        return true;
    }

private:
    // A cell editor of the view takes its own keys; those it leaves pass up
    // through the view and are not the view's.
    bool EditorHasFocus() const
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus && focus != view_ && view_->isAncestorOf(focus);
    }

    QAbstractItemView* view_;
    std::vector<int> keys_;
    std::function<void()> run_;
};

// An enabled action takes its key as a shortcut before the view sees it; a
// key press that reaches the view with an action's key is one whose action
// is disabled.
class ActionKeyKeeper final : public QObject {
public:
    explicit ActionKeyKeeper(QAbstractItemView* view) : QObject(view), view_(view) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        for (const QAction* action : view_->actions())
            if (action->shortcuts().contains(pressed)) return true;
        return false;
    }

private:
    QAbstractItemView* view_;
};

}  // namespace

void KeepActionKeysFromView(QAbstractItemView* view)
{
    if (view) view->installEventFilter(new ActionKeyKeeper(view));
}

void OnViewKeys(QAbstractItemView* view, std::initializer_list<int> keys, std::function<void()> run)
{
    if (view) view->installEventFilter(new ViewKeyFilter(view, keys, std::move(run)));
}

}  // namespace replidex
