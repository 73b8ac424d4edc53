#include "data/download_buffer.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>

#include <vector>

namespace {

struct SplitCase {
    const char* name;
    std::vector<QByteArray> chunks;
    QStringList lines;
};

class LineSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitting, EachBreakEndsOneLineAndTheTextStaysAsReceived)
{
    TDownloadBuffer b;
    QByteArray all;
    for (const QByteArray& c : GetParam().chunks) {
        b.Append(c);
        all += c;
    }
    QStringList lines;
    for (int i = 0; i < b.Lines().Count(); ++i)
        lines << b.Lines()[i];
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(b.Text(), QString::fromLatin1(all));
    EXPECT_EQ(b.Lines()[lines.size()], QString());
}

INSTANTIATE_TEST_SUITE_P(Breaks, LineSplitting,
    ::testing::Values(SplitCase{"Empty", {""}, {}}, SplitCase{"LoneMarker", {"A"}, {"A"}},
        SplitCase{"TrailingBreakAddsNoLine", {"a\r\nb\r\n"}, {"a", "b"}},
        SplitCase{"UnterminatedLastLine", {"a\r\nb"}, {"a", "b"}}, SplitCase{"OnlyABreak", {"\r\n"}, {""}},
        SplitCase{"LfAndCrAlone", {"a\nb\rc"}, {"a", "b", "c"}},
        SplitCase{"LfThenCrIsTwoBreaks", {"a\n\rb"}, {"a", "", "b"}},
        SplitCase{"CrLfSplitOverChunks", {"a\r", "\nb"}, {"a", "b"}},
        SplitCase{"CrAtChunkEndThenCrLf", {"ab", "cd\r", "\r\n", "e"}, {"abcd", "", "e"}},
        SplitCase{"BytesAreLatin1", {"\xB0\xBA\xFF"}, {"\u00B0\u00BA\u00FF"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DownloadBuffer, ClearForgetsAPendingCr)
{
    TDownloadBuffer b;
    b.Append("old\r");
    b.Clear();
    b.Append("\nnew");
    EXPECT_EQ(b.LineCount(), 2);
    EXPECT_EQ(b.Lines()[1], "new");
}

TEST(DownloadBuffer, HoldsFarMoreThanAFullMemoryAtACostPerChunkNotPerBuffer)
{
    const QByteArray sample = QByteArray(48, '7') + "99\r\n";
    TDownloadBuffer big;
    QByteArray all = sample.repeated(100000);
    // Odd-sized chunks split lines and CR LF pairs at every possible place.
    for (qsizetype at = 0; at < all.size(); at += 37)
        big.Append(all.mid(at, 37));
    ASSERT_EQ(big.LineCount(), 100000);
    EXPECT_EQ(big.Lines()[99999], QString::fromLatin1(sample.left(50)));

    auto timeAppends = [&](TDownloadBuffer& b) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 2000; ++i)
            b.Append(sample);
        return t.nsecsElapsed();
    };
    TDownloadBuffer small;
    timeAppends(small);
    const qint64 onSmall = timeAppends(small);
    // Rescanning 5 MB per chunk would be thousands of times slower.
    EXPECT_LT(timeAppends(big), 50 * std::max<qint64>(onSmall, 100000));
}

}  // namespace
