// Faults the fuzz targets found in the download decoding, kept as plain cases.
#include "data/download_buffer.h"
#include "data/record_decoding.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

const QChar Nul(u'\0');

QString conversionMessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "<no failure>";
}

// A NUL byte at a read position, as a line with NUL faults delivers it, must
// be reported as that character, not as a message cut short at the NUL.
TEST(DownloadFuzzRegression, NulAtAReadPositionIsReportedWhole)
{
    const QString expected = QStringLiteral("'") + Nul + QStringLiteral("' is not a valid integer value");

    TDownloadBuffer buffer;
    static const char headerBytes[] = "D24/05/17 30:15:08 R1\r\n";
    static const char sample[] = "001244\0" "01244001244001244001244001244001244001244001244\r\n";
    buffer.Append(QByteArray(headerBytes, sizeof headerBytes - 1));
    buffer.Append(QByteArray(sample, sizeof sample - 1));
    ASSERT_EQ(buffer.LineCount(), 2);
    EXPECT_EQ(conversionMessageOf([&] { DecodeSampleLine(buffer.Line(1), 1); }), expected);

    QString header = buffer.Line(0);
    header[1] = Nul;
    EXPECT_EQ(conversionMessageOf([&] { DecodeHeaderLine(header); }), expected);
}

}  // namespace
