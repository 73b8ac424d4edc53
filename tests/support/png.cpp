#include "tests/support/png.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QString SaveWindowPng(QWidget* window, const QString& name)
{
    QString dir = qEnvironmentVariable("VELTRA8_PNG_DIR");
    if (dir.isEmpty())
        dir = QDir::currentPath();
    QDir().mkpath(dir);
    QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    window->grab().save(path);
    return path;
}
