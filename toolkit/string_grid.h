#pragma once
// A grid of plain text cells addressed by column and row, with one fixed
// header row (row 0) and one fixed column (column 0). The cells are the
// table's only store: the Downloaded data window fills them, the saved file and
// the Chart window read them back. Owned by the window that shows it.
#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>

#include <vector>

class TStringGrid;

// The grid's store: rows of strings, shown through Qt's view with row 0 as the
// column headers and column 0 as the row headers, so the fixed cells stay in
// place while the data scrolls.
class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TStringGridModel(int colCount, int definedRows, QObject* parent = nullptr);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetRowCount(int rows);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // Empties every stored cell, shown or not.
    void ClearCells();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void scheduleRefresh();
    void refresh();

    int colCount_;
    int rowCount_ = 1;
    int storedRows_;
    std::vector<QString> cells_;  // row-major, storedRows_ x colCount_
    // Views learn of cell changes once per event-loop turn, not per cell, so
    // filling thousands of cells costs little more than the strings.
    bool refreshPending_ = false;
};

class TStringGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(QColor FixedColor READ FixedColor WRITE SetFixedColor)
    Q_PROPERTY(QColor GridLineColor READ GridLineColor WRITE SetGridLineColor)
    Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE SetGridLineWidth)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
public:
    static constexpr int FixedRows = 1;
    static constexpr int FixedCols = 1;

    // `definedRows` is the row count the window defines the grid with; that
    // many rows have storage from the start.
    explicit TStringGrid(int colCount, int definedRows, QWidget* parent = nullptr);

    int ColCount() const { return model_->ColCount(); }
    int RowCount() const { return model_->RowCount(); }
    // A row count below 1 is raised to 1 (the header row alone).
    void SetRowCount(int rows);

    // Any cell of a row below max(defined rows, RowCount) is addressable;
    // reading outside gives an empty text and writing outside is ignored.
    QString Cells(int col, int row) const { return model_->Cell(col, row); }
    void SetCells(int col, int row, const QString& text) { model_->SetCell(col, row, text); }
    void ClearCells() { model_->ClearCells(); }

    QColor Color() const { return color_; }
    void SetColor(const QColor& c);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& c);
    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor& c);
    QColor GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(const QColor& c);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int w);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int w);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);

    QSize sizeHint() const override;

private:
    void applyPalette();
    void applySectionSizes();

    TStringGridModel* model_;
    QColor color_{0xC0, 0xDC, 0xC0};
    QColor fontColor_{Qt::red};
    QColor fixedColor_{0xD4, 0xD0, 0xC8};
    QColor gridLineColor_{0x80, 0x80, 0x80};
    int gridLineWidth_ = 3;
    int defaultColWidth_ = 65;
    int defaultRowHeight_ = 24;
};
