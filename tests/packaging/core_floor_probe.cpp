// Built by the test CoreFloor_GuiHeaderFailsTheBuild as a library of the
// core floor, which must not compile: it includes a Qt Gui header.
#include <QtGui/QColor>

QColor CoreFloorProbe()
{
    return QColor(Qt::red);
}
