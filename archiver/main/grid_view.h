#pragma once

#include <QTableView>

// The view of the result grid. It scrolls sideways far enough for its last column to stand at
// the left edge, as the column jumps need, even when that column is narrower than the view.
class GridView : public QTableView
{
    Q_OBJECT
public:
    using QTableView::QTableView;

    // Makes column the first one shown, at the left edge.
    void scrollToColumn(int column);

protected:
    void updateGeometries() override;
};
