#pragma once
// veltra8-plot's whole run, from its arguments to the picture file: the
// options read, the CSV read, the plot drawn and written whole or not at all.
// Messages go to standard error, one line each, as veltra8-cli's own; needs
// a QGuiApplication (it may run offscreen).
#include <QStringList>

// Returns the exit code (PlotExit).
int RunPlot(const QStringList& arguments);

// Writes one message line to standard error, with the client's prefix.
void ReportPlotMessage(const QString& message);
