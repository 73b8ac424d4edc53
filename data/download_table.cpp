#include "data/download_table.h"

#include "data/download_buffer.h"
#include "data/time_stamps.h"

DownloadTable DecodeDownloadTable(const TDownloadBuffer& buffer)
{
    DownloadTable table;
    const int lines = buffer.LineCount();
    const int rows = lines > 3 ? lines - 3 : 0;
    table.Rows.resize(size_t(rows));
    int line = 0;
    try {
        if (lines < 1)
            ThrowMissingHeader();
        table.Header = DecodeHeaderLine(buffer.Line(0));
        const int step = StepMinutesForRateText(RateText(table.Header->RateCode));
        if (step > 0) {
            TStampGenerator stamps(table.Header->Start, step);
            for (TableRow& row : table.Rows) {
                stamps.Next();
                row.Date = stamps.CurrentDateText();
                row.Time = stamps.CurrentTimeText();
            }
        }
        for (line = 1; line <= rows; ++line) {
            const auto temperatures = DecodeSampleLine(buffer.Line(line), line);
            TableRow& row = table.Rows[size_t(line - 1)];
            for (int k = 0; k < ChannelCount; ++k)
                row.Temperatures[size_t(k)] = TemperatureText(temperatures[size_t(k)]);
        }
    } catch (const Exception& e) {
        table.Error = e.Message();
        table.ErrorLine = line;
    }
    return table;
}
