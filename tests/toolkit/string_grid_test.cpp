#include "toolkit/string_grid.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

namespace {

TEST(StringGrid, RowCountBelowOneIsRaisedAndDefinedRowsStayAddressable)
{
    TStringGrid grid(11, 2048);
    grid.SetRowCount(-3);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    grid.SetCells(10, 2047, "last");
    grid.SetCells(1, 2048, "beyond");
    grid.SetCells(11, 1, "beyond");
    EXPECT_EQ(grid.Cells(10, 2047), "last");
    EXPECT_EQ(grid.Cells(1, 2048), QString());
    EXPECT_EQ(grid.Cells(11, 1), QString());
    grid.SetRowCount(70000);
    grid.SetCells(3, 69999, "far");
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cells(3, 69999), "far");
    grid.ClearCells();
    EXPECT_EQ(grid.Cells(3, 69999), QString());
    EXPECT_EQ(grid.Cells(10, 2047), QString());
}

TEST(StringGrid, FixedRowAndColumnAreTheViewsHeadersAndNothingIsEditable)
{
    TStringGrid grid(11, 2048);
    grid.SetRowCount(3);
    grid.SetCells(1, 0, " FECHA:");
    grid.SetCells(0, 2, "2");
    grid.SetCells(1, 1, "17/05/2024");
    QAbstractItemModel* m = grid.model();
    EXPECT_EQ(m->columnCount(), 10);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), " FECHA:");
    EXPECT_EQ(m->headerData(1, Qt::Vertical).toString(), "2");
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), "17/05/2024");
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
}

TEST(StringGrid, ManyCellWritesReachTheViewAsOneChange)
{
    TStringGrid grid(11, 2048);
    grid.SetRowCount(2001);
    QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 10; ++c)
            grid.SetCells(c, r, "1,0");
    EXPECT_EQ(changed.count(), 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>().row(), 1999);
}

}  // namespace
