#include "archiver/main/grid_view.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

void GridView::scrollToColumn(int column)
{
    horizontalScrollBar()->setValue(horizontalHeader()->sectionPosition(column));
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    // The table's own range ends where the last column's right edge meets the view's; it goes on
    // here to where the last shown column begins.
    const QHeaderView *header = horizontalHeader();
    if (horizontalScrollMode() != ScrollPerPixel || header->count() == 0) return;
    int last = header->count() - 1;
    while (last > 0 && header->isSectionHidden(header->logicalIndex(last)))
        --last;
    QScrollBar *bar = horizontalScrollBar();
    bar->setRange(0, std::max(bar->maximum(), header->sectionPosition(header->logicalIndex(last))));
}
