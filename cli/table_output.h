#pragma once
// The download's table as the client's CSV (data/sample_csv) and as JSON
// lines, from the table's texts: the time as
// YYYY-MM-DDThh:mm:ss from the date and time texts, temperatures with a dot.
// `download` and `convert` both write through these, so a converted saved
// file reads exactly as the download it came from, and `convert` reads the
// CSV back.
#include "data/saved_file.h"
#include "data/saved_file_reader.h"

#include <QByteArray>

enum class TableFormat { Txt, Csv, Jsonl };

// The header (CSV only; empty for the others), then one line per row.
QByteArray TableHeader(TableFormat format);
// `sample` is the row number, 1 for the first data row.
void AppendTableRow(QByteArray& out, TableFormat format, int sample, const TableRow& row);
// The same from a saved file's texts, without copying them (Csv and Jsonl).
void AppendTableRow(QByteArray& out, TableFormat format, int sample, const SavedFileFields& texts);
// The same from a data line of this CSV, read back (Csv and Jsonl): its
// sample number is replaced by `sample`.
void AppendCsvTableRow(QByteArray& out, TableFormat format, int sample, QByteArrayView line);
// The whole output of a table in `format` (Txt: the saved file).
QByteArray TableBytes(TableFormat format, const TableRows& rows);

QByteArray DotDecimal(const QString& text);
