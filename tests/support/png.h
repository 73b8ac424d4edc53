#pragma once
// Renders a window to a PNG so people can look at it: into $VELTRA8_PNG_DIR
// when set, else the current folder. Returns the file written.
#include <QString>

class QWidget;

QString SaveWindowPng(QWidget* window, const QString& name);
