#include "data/download_table.h"

#include "data/download_buffer.h"
#include "data/time_stamps.h"

void DecodeDownload(const TDownloadBuffer& buffer, DownloadRowsSink& sink, int& line)
{
    const int lines = buffer.LineCount();
    const int rows = lines > 3 ? lines - 3 : 0;
    line = 0;
    if (lines < 1)
        ThrowMissingHeader();
    const DownloadHeader header = DecodeHeaderLine(buffer.Line(0));
    const int step = sink.HeaderRead(header);
    if (step > 0) {
        TStampGenerator stamps(header.Start, step);
        for (int r = 1; r <= rows; ++r) {
            stamps.Next();
            sink.RowStamped(r, stamps);
        }
    }
    sink.StampsDone();
    for (line = 1; line <= rows; ++line)
        sink.RowRead(line, DecodeSampleLine(buffer.Line(line), line));
}

namespace {

// The client's table: the download's own rate, every text as the window's.
class TableRowsSink : public DownloadRowsSink {
public:
    explicit TableRowsSink(DownloadTable& table) : table_(table) {}
    int HeaderRead(const DownloadHeader& header) override
    {
        table_.Header = header;
        return StepMinutesForRateText(RateText(header.RateCode));
    }
    void RowStamped(int row, const TStampGenerator& stamps) override
    {
        TableRow& r = table_.Rows[size_t(row - 1)];
        r.Date = stamps.CurrentDateText();
        r.Time = stamps.CurrentTimeText();
    }
    void RowRead(int row, const std::array<double, ChannelCount>& temperatures) override
    {
        TableRow& r = table_.Rows[size_t(row - 1)];
        for (int k = 0; k < ChannelCount; ++k)
            r.Temperatures[size_t(k)] = TemperatureText(temperatures[size_t(k)]);
    }

private:
    DownloadTable& table_;
};

}  // namespace

DownloadTable DecodeDownloadTable(const TDownloadBuffer& buffer)
{
    DownloadTable table;
    const int lines = buffer.LineCount();
    table.Rows.resize(size_t(lines > 3 ? lines - 3 : 0));
    TableRowsSink sink(table);
    int line = 0;
    try {
        DecodeDownload(buffer, sink, line);
    } catch (const Exception& e) {
        table.Error = e.Message();
        table.ErrorLine = line;
    }
    return table;
}
