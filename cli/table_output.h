#pragma once
// The download's table as CSV (RFC 4180: comma, CR LF, UTF-8 without BOM)
// and as JSON lines, from the table's texts: the time as
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
// A saved file's data line (read once already, without its line end) as a
// CSV line: the bytes AppendTableRow writes for its texts, made in one pass.
void AppendSavedLineAsCsv(QByteArray& out, int sample, QByteArrayView line);
// The same from a data line of this CSV, read back (Csv and Jsonl): its
// sample number is replaced by `sample`.
void AppendCsvTableRow(QByteArray& out, TableFormat format, int sample, QByteArrayView line);
// The whole output of a table in `format` (Txt: the saved file).
QByteArray TableBytes(TableFormat format, const TableRows& rows);

// Appends "17/05/2024" and "08:20:30" as "2024-05-17T08:20:30"; nothing
// when either is empty.
void AppendIsoStamp(QByteArray& out, QByteArrayView date, QByteArrayView time);
// Appends a temperature text with the dot for the comma: "-50,0" -> "-50.0".
void AppendDotDecimal(QByteArray& out, QByteArrayView text);
QByteArray DotDecimal(const QString& text);
