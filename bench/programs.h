#pragma once
// The project's programs, as built beside the benchmark that runs them.
#include <QFileInfo>
#include <QString>

inline QString ProgramBeside(const QString& name)
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(u'/', 0, -2) + u'/' + name;
}
