#include "logger/commands.h"

#include "platform/formats.h"

QByteArray RateCommand(int item)
{
    static const char* commands[] = {"1", "5", "6", "7"};
    if (item < 0 || item > 3)
        return {};
    return QByteArray(commands[item]);
}

QList<QByteArray> ClockSetWrites(const QDateTime& timeReading, const QDateTime& dateReading)
{
    // The scratch text is the time text followed by the date text:
    // "hh:mm:ssdd/mm/yyyy"; the digits stand at fixed positions.
    QString scratch = TimeToStr(timeReading.time()) + DateToStr(dateReading.date());
    static const int positions[] = {1, 2, 4, 5, 7, 8, 9, 10, 12, 13, 17, 18};
    QList<QByteArray> writes;
    writes << QByteArray("3");
    for (int pos : positions) {
        int digit = StrToInt(scratch.mid(pos - 1, 1));
        writes << QByteArray::number(digit);
    }
    return writes;
}

int NextPieProgress(int progress, int maxValue)
{
    int next = progress + 1;
    return next >= maxValue ? 0 : next;
}
