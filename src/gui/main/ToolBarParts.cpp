#include "gui/main/ToolBarParts.h"

#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

namespace replidex {

namespace {

// A separator of the tool bar with a fixed width.
class ToolBarDivider final : public QWidget {
public:
    ToolBarDivider(const char* name, int width, QWidget* parent) : QWidget(parent)
    {
        setObjectName(QString::fromLatin1(name));
        setFixedSize(width, 25);
        setEnabled(false);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        // A vertical separator line centred in the divider's width.
        option.state |= QStyle::State_Horizontal;
        option.rect = QRect(width() / 2 - 3, 2, 6, height() - 4);
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

}  // namespace

QAction* NewAction(QObject* owner, const char* name, const QString& text)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* AddToolButton(QToolBar* bar, const char* name, const char* glyph, const QString& hint)
{
    QAction* action = NewAction(bar, name, hint);
    action->setToolTip(hint);
    action->setIcon(QIcon(QStringLiteral(":/images/toolbar/%1.svg").arg(QLatin1String(glyph))));
    auto* tool = new QToolButton(bar);
    tool->setObjectName(QString::fromLatin1(name));
    tool->setDefaultAction(action);
    tool->setAutoRaise(true);
    tool->setFixedSize(25, 25);
    tool->setIconSize(QSize(16, 16));
    bar->addWidget(tool);
    return action;
}

void AddToolBarDivider(QToolBar* bar, const char* name, int width)
{
    bar->addWidget(new ToolBarDivider(name, width, bar));
}

void SetUpFixedToolBar(QToolBar* bar)
{
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(30);
}

}  // namespace replidex
