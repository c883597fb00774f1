#include "gui/stats/StatsBarChart.h"

#include <QPainter>

#include <algorithm>

#include "core/stats/StatsTableText.h"
#include "core/text/SjisCodec.h"
#include "gui/stats/StatsTableModel.h"

namespace replidex {

namespace {

const QColor kWinColour(0x3A, 0x7B, 0xD5);
const QColor kLossColour(0xD5, 0x4B, 0x3A);
const QColor kUnknownColour(0xA0, 0xA0, 0xA0);

}  // namespace

StatsBarChart::StatsBarChart(StatsTableModel* model, QWidget* parent) : QWidget(parent), model_(model)
{
    setObjectName(QStringLiteral("Chart"));
    const auto repaint = [this] { update(); };
    connect(model_, &QAbstractItemModel::modelReset, this, repaint);
    connect(model_, &QAbstractItemModel::layoutChanged, this, repaint);
}

void StatsBarChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const int rows = std::min(model_->rowCount(), kRowsShown);
    if (rows == 0) return;
    int most = 1;
    for (int r = 0; r < rows; ++r) most = std::max(most, model_->rowAt(r)->matches);

    const QFontMetrics metrics(font());
    const int legend = metrics.height() + 6;
    const int lineHeight = std::max(4, (height() - legend - 4) / kRowsShown);
    const int labelWidth = std::min(width() / 3, 110);
    const int barLeft = labelWidth + 6;
    const int barWidth = std::max(1, width() - barLeft - 30);

    for (int r = 0; r < rows; ++r) {
        const StatsRow& row = *model_->rowAt(r);
        const int top = 2 + r * lineHeight;
        const QString key = QString::fromStdString(Cp932ToUtf8Lossy(StatsKeyText(row, model_->table())));
        painter.setPen(palette().text().color());
        painter.drawText(QRect(2, top, labelWidth, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         metrics.elidedText(key, Qt::ElideRight, labelWidth));
        int x = barLeft;
        const int barHeight = std::max(2, lineHeight - 3);
        for (const auto& [count, colour] : {std::pair{row.wins, kWinColour}, std::pair{row.losses, kLossColour},
                                            std::pair{row.unknown, kUnknownColour}}) {
            const int w = static_cast<int>(static_cast<long long>(barWidth) * count / most);
            painter.fillRect(QRect(x, top + 1, w, barHeight), colour);
            x += w;
        }
        painter.drawText(QRect(x + 3, top, 40, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(row.matches));
    }

    int x = barLeft;
    const int y = height() - legend + 3;
    for (const auto& [text, colour] : {std::pair{QStringLiteral("勝ち"), kWinColour},
                                       std::pair{QStringLiteral("負け"), kLossColour},
                                       std::pair{QStringLiteral("不明"), kUnknownColour}}) {
        painter.fillRect(QRect(x, y + 2, 10, metrics.height() - 4), colour);
        painter.setPen(palette().text().color());
        painter.drawText(x + 14, y + metrics.ascent(), text);
        x += 14 + metrics.horizontalAdvance(text) + 12;
    }
}

}  // namespace replidex
