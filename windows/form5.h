#pragma once
// The Downloaded data window: the downloaded logger memory as a table (row
// number, date, time and eight temperatures per sample) under the download's
// start date, start time and sampling rate, with "GUARDAR" and "GRAFICAR".
// Created once at start-up (global Form5) and shown modally by the main window;
// every activation rebuilds the table from the main window's download buffer.
#include "data/record_decoding.h"
#include "data/saved_file.h"
#include "toolkit/form.h"

#include <QString>

class QLabel;
class QLineEdit;
class QToolButton;
class TDownloadBuffer;
class TStringGrid;

class TForm5 : public TForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    ~TForm5() override;

    // Grid size the window defines.
    static constexpr int GridColumns = 11;
    static constexpr int DefinedRows = 2048;

    // Where the fill reads the download from; by default the main window's
    // RichEdit1. Tests give a buffer of their own (not owned).
    void SetDownloadBuffer(const TDownloadBuffer* buffer) { source_ = buffer; }
    const TDownloadBuffer* DownloadBuffer() const;

    // The fill sequence: empties the grid, then DOSCANALESLM35. Public so that
    // the fill can be run and its failures observed without showing the window.
    void FormActivate() override;

    // Fill steps after the grid is emptied: row count, then the download's
    // one decoding (data/download_table): header, row stamps, column
    // headers, row numbers, temperatures.
    void DOSCANALESLM35();
    // The decoded line 0 into the start stamp, date, time and rate boxes;
    // returns the step of the row stamps, by the rate box.
    int OBTIENEFECHAYHORA(const DownloadHeader& header);

    // "GRAFICAR" and "GUARDAR".
    void SpeedButton2Click();
    void SpeedButton1Click();
    // The save itself, after the dialog and the overwrite question. Raises
    // EInOutError.
    void SaveGridToFile(const QString& path);

    // Data rows of the download: L - 3, none when L <= 3.
    int DataRowCount() const;

    QLabel* Label1;  // start year (hidden)
    QLabel* Label2;  // start month (hidden)
    QLabel* Label3;  // start day (hidden)
    QLabel* Label4;  // start hour (hidden)
    QLabel* Label5;  // start minute (hidden)
    QLabel* Label6;  // start second (hidden)
    QLabel* Label7;  // title
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLineEdit* Edit1;  // start date
    QLineEdit* Edit2;  // start time
    QLineEdit* Edit8;  // rate text
    QLineEdit* Edit6;  // row date being written (hidden)
    QLineEdit* Edit7;  // row time being written (hidden)
    QToolButton* SpeedButton1;  // GUARDAR
    QToolButton* SpeedButton2;  // GRAFICAR
    TStringGrid* StringGrid1;

private:
    class GridFill;

    const TDownloadBuffer* source_ = nullptr;
    StartStamp start_;
};

extern TForm5* Form5;

// Shows the Chart window modally; provided with the program's windows.
void ShowChartWindow();

// The saved file's rows from the Downloaded data window's grid: the texts of
// columns 1..10 (date, time, eight temperatures) of data rows 1..dataRows,
// none when dataRows < 1.
TableRows GridTableRows(const TStringGrid& grid, int dataRows);
// The saved file of those rows.
QByteArray SavedFileBytes(const TStringGrid& grid, int dataRows);
