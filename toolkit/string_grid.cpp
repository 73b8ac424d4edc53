#include "toolkit/string_grid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

// ---------------------------------------------------------------------------
// Store

TStringGridModel::TStringGridModel(int colCount, int definedRows, QObject* parent)
    : QAbstractTableModel(parent),
      colCount_(std::max(1, colCount)),
      storedRows_(std::max(1, definedRows)),
      cells_(static_cast<size_t>(storedRows_) * colCount_)
{
}

void TStringGridModel::SetRowCount(int rows)
{
    rows = std::max(1, rows);
    if (rows == rowCount_)
        return;
    if (rows > storedRows_) {
        cells_.resize(static_cast<size_t>(rows) * colCount_);
        storedRows_ = rows;
    }
    // Qt's rows are the data rows only: row 0 is shown as the column headers.
    if (rows > rowCount_) {
        beginInsertRows(QModelIndex(), rowCount_ - 1, rows - 2);
        rowCount_ = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows - 1, rowCount_ - 2);
        rowCount_ = rows;
        endRemoveRows();
    }
}

QString TStringGridModel::Cell(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= storedRows_)
        return QString();
    return cells_[static_cast<size_t>(row) * colCount_ + col];
}

void TStringGridModel::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= storedRows_)
        return;
    QString& cell = cells_[static_cast<size_t>(row) * colCount_ + col];
    if (cell.isNull() && text.isEmpty())
        return;
    cell = text;
    if (row < rowCount_)
        scheduleRefresh();
}

void TStringGridModel::ClearCells()
{
    for (QString& cell : cells_)
        cell = QString();
    scheduleRefresh();
}

void TStringGridModel::scheduleRefresh()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QMetaObject::invokeMethod(this, &TStringGridModel::refresh, Qt::QueuedConnection);
}

void TStringGridModel::refresh()
{
    refreshPending_ = false;
    if (colCount_ > 1)
        emit headerDataChanged(Qt::Horizontal, 0, colCount_ - 2);
    if (rowCount_ > 1) {
        emit headerDataChanged(Qt::Vertical, 0, rowCount_ - 2);
        if (colCount_ > 1)
            emit dataChanged(index(0, 0), index(rowCount_ - 2, colCount_ - 2), {Qt::DisplayRole});
    }
}

int TStringGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount_ - 1;
}

int TStringGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount_ - 1;
}

QVariant TStringGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QVariant();
    return Cell(index.column() + 1, index.row() + 1);
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    return orientation == Qt::Horizontal ? Cell(section + 1, 0) : Cell(0, section + 1);
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

// Cell text sits a little inside the cell, as in a classic grid.
constexpr int TextInset = 2;

// The grid lines are drawn as a strip of the line colour along each cell's
// right and bottom edges, so their width is a property, not the style's.
QRect cellInterior(const QRect& r, int line)
{
    return r.adjusted(0, 0, -line, -line);
}

class GridCellDelegate : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int line = grid_->GridLineWidth();
        const QRect inner = cellInterior(option.rect, line);
        p->save();
        p->fillRect(option.rect, grid_->GridLineColor());
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(inner, selected ? option.palette.color(QPalette::Highlight) : grid_->Color());
        p->setPen(selected ? option.palette.color(QPalette::HighlightedText) : grid_->FontColor());
        p->setFont(grid_->font());
        p->drawText(inner.adjusted(TextInset, 0, -TextInset, 0), Qt::AlignLeft | Qt::AlignVCenter,
            index.data(Qt::DisplayRole).toString());
        p->restore();
    }

private:
    TStringGrid* grid_;
};

// The fixed row and column: raised grey cells with the same grid lines.
class FixedCellHeader : public QHeaderView {
public:
    FixedCellHeader(Qt::Orientation o, TStringGrid* grid) : QHeaderView(o, grid), grid_(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Fixed);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        const int line = grid_->GridLineWidth();
        const QRect inner = cellInterior(rect, line);
        p->save();
        p->fillRect(rect, grid_->GridLineColor());
        p->fillRect(inner, grid_->FixedColor());
        p->setPen(grid_->FixedColor().lighter(140));
        p->drawLine(inner.topLeft(), inner.topRight());
        p->drawLine(inner.topLeft(), inner.bottomLeft());
        p->setPen(grid_->FixedColor().darker(140));
        p->drawLine(inner.bottomLeft(), inner.bottomRight());
        p->drawLine(inner.topRight(), inner.bottomRight());
        p->setPen(grid_->FontColor());
        p->setFont(grid_->font());
        const QString text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        p->drawText(inner.adjusted(TextInset, 0, -TextInset, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        p->restore();
    }

    QSize sectionSizeFromContents(int) const override
    {
        return QSize(grid_->DefaultColWidth() + grid_->GridLineWidth(),
            grid_->DefaultRowHeight() + grid_->GridLineWidth());
    }

private:
    TStringGrid* grid_;
};

// The cell where the fixed row meets the fixed column is Qt's corner button;
// it is painted as one more fixed cell.
class FixedCornerPainter : public QObject {
public:
    explicit FixedCornerPainter(TStringGrid* grid) : QObject(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::Paint)
            return false;
        auto* corner = static_cast<QWidget*>(watched);
        QPainter p(corner);
        const QRect r = corner->rect();
        p.fillRect(r, grid_->GridLineColor());
        p.fillRect(cellInterior(r, grid_->GridLineWidth()), grid_->FixedColor());
        return true;
    }

private:
    TStringGrid* grid_;
};

}  // namespace

TStringGrid::TStringGrid(int colCount, int definedRows, QWidget* parent)
    : QTableView(parent), model_(new TStringGridModel(colCount, definedRows, this))
{
    setHorizontalHeader(new FixedCellHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedCellHeader(Qt::Vertical, this));
    setModel(model_);
    setItemDelegate(new GridCellDelegate(this));
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFont(QFont(QStringLiteral("Arial"), 9));
    setAccessibleName(QStringLiteral("StringGrid"));
    if (auto* corner = findChild<QAbstractButton*>())
        corner->installEventFilter(new FixedCornerPainter(this));
    applyPalette();
    applySectionSizes();
}

void TStringGrid::SetRowCount(int rows)
{
    model_->SetRowCount(rows);
}

void TStringGrid::applyPalette()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color_);
    pal.setColor(QPalette::Window, color_);
    pal.setColor(QPalette::Text, fontColor_);
    setPalette(pal);
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
}

void TStringGrid::applySectionSizes()
{
    const int w = defaultColWidth_ + gridLineWidth_;
    const int h = defaultRowHeight_ + gridLineWidth_;
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(w);
    verticalHeader()->setDefaultSectionSize(h);
    horizontalHeader()->setFixedHeight(h);
    verticalHeader()->setFixedWidth(w);
    updateGeometry();
}

void TStringGrid::SetColor(const QColor& c)
{
    if (c == color_)
        return;
    color_ = c;
    applyPalette();
}

void TStringGrid::SetFontColor(const QColor& c)
{
    if (c == fontColor_)
        return;
    fontColor_ = c;
    applyPalette();
}

void TStringGrid::SetFixedColor(const QColor& c)
{
    if (c == fixedColor_)
        return;
    fixedColor_ = c;
    applyPalette();
}

void TStringGrid::SetGridLineColor(const QColor& c)
{
    if (c == gridLineColor_)
        return;
    gridLineColor_ = c;
    applyPalette();
}

void TStringGrid::SetGridLineWidth(int w)
{
    w = std::max(0, w);
    if (w == gridLineWidth_)
        return;
    gridLineWidth_ = w;
    applySectionSizes();
    viewport()->update();
}

void TStringGrid::SetDefaultColWidth(int w)
{
    w = std::max(1, w);
    if (w == defaultColWidth_)
        return;
    defaultColWidth_ = w;
    applySectionSizes();
}

void TStringGrid::SetDefaultRowHeight(int h)
{
    h = std::max(1, h);
    if (h == defaultRowHeight_)
        return;
    defaultRowHeight_ = h;
    applySectionSizes();
}

QSize TStringGrid::sizeHint() const
{
    const int w = ColCount() * (defaultColWidth_ + gridLineWidth_) + verticalScrollBar()->sizeHint().width()
        + 2 * frameWidth();
    const int rows = std::min(RowCount(), 12);
    const int h = rows * (defaultRowHeight_ + gridLineWidth_) + 2 * frameWidth();
    return QSize(w, h);
}
