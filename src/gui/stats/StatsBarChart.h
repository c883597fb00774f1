// The bar chart of the statistics window: the first 20 rows of the table model
// as it is sorted, one horizontal bar a row, stacked wins, losses and unknown
// results, with the row's key before it. Painted from the model; holds nothing.
#pragma once

#include <QWidget>

namespace replidex {

class StatsTableModel;

class StatsBarChart final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowsShown = 20;

    explicit StatsBarChart(StatsTableModel* model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {260, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StatsTableModel* model_;
};

}  // namespace replidex
