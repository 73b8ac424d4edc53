// Build-time tool: writes the program's picture as the PNG files of the
// desktop icon theme, so the installed desktop entry shows the same icon the
// windows carry. Usage: veltra8-write-icon <folder> <size>...
// Each size N becomes <folder>/NxN/apps/veltra8.png.
#include "windows/program_icon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QImage picture = ProgramIconImage();
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "%s: bad icon size '%s'\n", argv[0], argv[i]);
            return 2;
        }
        // Nearest-neighbour scaling keeps the picture's hard pixel edges;
        // a smoothing filter would blur the 32 x 32 drawing into mush.
        const QImage image = size == picture.width()
            ? picture
            : picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString path = dir + QStringLiteral("/veltra8.png");
        // A missing file would only show up as a blank icon after installing,
        // so any failure here stops the build.
        if (!QDir().mkpath(dir) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
