#pragma once
// The drawing program (veltra8-plot) that `plot` and `report` run, so that
// this program needs no Qt Gui: it reads the merged series as this
// program's CSV on its standard input.
#include "cli/series_files.h"

#include <QString>
#include <QStringList>

// Its path, beside this program or in libexec; raises CliFailure
// (Exit::Internal) when it is missing.
QString DrawingProgram();
// Runs it with `options`, writing the merged rows to it as they are made;
// its exit code and messages are the caller's.
int RunDrawing(const QString& program, const QStringList& options, const SeriesFiles& files, const MergedSeries& merged);
