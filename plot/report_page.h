#pragma once
// veltra8-plot --report PAGE: the one-page A4 report of `veltra8-cli
// report`. The client judges the series and writes every text of the page,
// already in the user's language, and the chart's marks into PAGE (JSON);
// this draws them around the chart, with the limits as dashed lines and
// the excursions shaded, into a PDF of real text. The samples come as for
// a plot, and the other options are the plot's.
#include <QStringList>

// `arguments` as the program got them without "--report PAGE"; returns the
// exit code (PlotExit).
int RunReport(const QString& pagePath, const QStringList& arguments);
