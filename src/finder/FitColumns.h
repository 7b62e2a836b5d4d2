#pragma once

#include <QList>

class QTableView;

enum class GridBorder { None, Flat, Sunken3D };

// What a grid draws around and between its columns, for fitting them to its width.
struct GridFitFrame
{
    int scrollBarWidth = 0;     // always reserved, shown or not
    bool rowIndicator = false;  // an 11-pixel indicator column on the left
    bool columnLines = false;   // one pixel after every column
    GridBorder border = GridBorder::None;
};

// Spreads the difference between the columns and the grid's inner width evenly: when they
// are narrower every column grows by the same whole number of pixels (up to k - 1 pixels
// stay uncovered); when wider every column shrinks by enough that they fit. A very narrow
// grid can leave widths of zero or less: keep them as they are (a later widening brings
// the columns back in proportion) and show them clamped.
QList<int> FitColumnWidths(const QList<int>& widths, int gridWidth, const GridFitFrame& frame);

// The frame a table view draws, in the terms above.
GridFitFrame GridFitFrameOf(const QTableView& grid);
// The width `grid` offers its columns, less what its frame() takes and its row header.
int GridFitWidth(const QTableView& grid);
// Fits `widths`, the columns of `grid`, to its current width and applies them.
void FitColumnsToGrid(QTableView* grid, QList<int>& widths);
