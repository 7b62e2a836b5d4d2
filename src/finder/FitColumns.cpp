#include "finder/FitColumns.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

namespace {

const int RowIndicatorWidth = 11;

int innerWidth(int gridWidth, const GridFitFrame& frame)
{
    int available = gridWidth - frame.scrollBarWidth;
    if (frame.rowIndicator) {
        available -= RowIndicatorWidth;
        if (frame.columnLines)
            available -= 1;
    }
    if (frame.border == GridBorder::Sunken3D)
        available -= 4;
    else if (frame.border == GridBorder::Flat)
        available -= 2;
    return available;
}

} // namespace

QList<int> FitColumnWidths(const QList<int>& widths, int gridWidth, const GridFitFrame& frame)
{
    const int k = int(widths.size());
    if (k == 0)
        return widths;
    int total = 0;
    for (int width : widths)
        total += width;
    if (frame.columnLines)
        total += k;
    const int available = innerWidth(gridWidth, frame);

    int change = 0;
    if (total < available)
        change = (available - total) / k;
    else if (total > available)
        change = -((total - available) / k + ((total - available) % k != 0 ? 1 : 0));

    QList<int> fitted;
    fitted.reserve(k);
    for (int width : widths)
        fitted.append(width + change);
    return fitted;
}

GridFitFrame GridFitFrameOf(const QTableView& grid)
{
    GridFitFrame frame;
    frame.scrollBarWidth = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid.verticalScrollBar());
    // A table view draws its grid lines inside the sections and its row header is measured
    // apart, so neither adds to the columns here.
    frame.rowIndicator = false;
    frame.columnLines = false;
    if (grid.frameShape() == QFrame::NoFrame || grid.frameWidth() == 0)
        frame.border = GridBorder::None;
    else if (grid.frameShadow() == QFrame::Plain)
        frame.border = GridBorder::Flat;
    else
        frame.border = GridBorder::Sunken3D;
    return frame;
}

int GridFitWidth(const QTableView& grid)
{
    int width = grid.width();
    if (!grid.verticalHeader()->isHidden())
        width -= grid.verticalHeader()->width();
    return width;
}

void FitColumnsToGrid(QTableView* grid, QList<int>& widths)
{
    if (!grid)
        return;
    widths = FitColumnWidths(widths, GridFitWidth(*grid), GridFitFrameOf(*grid));
    QHeaderView* header = grid->horizontalHeader();
    for (int column = 0; column < widths.size() && column < header->count(); ++column)
        header->resizeSection(column, qMax(0, widths[column]));
}
