// Reading the client's CSV: how a row splits into its fields, which
// temperature texts it takes, and that what a reader keeps of them judges
// exactly as their texts do.
#include "data/sample_csv.h"
#include "data/series_merge.h"

#include <gtest/gtest.h>

#include <QList>

#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

// The rows after the header, as the reader hands them out, or the fault.
struct Read {
    std::vector<std::vector<QByteArray>> Rows;
    SampleCsvFault Fault = SampleCsvFault::None;
    int FaultFields = 0;
};

Read readCsv(const QByteArray& body)
{
    const QByteArray bytes = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n" + body;
    SampleCsvReader reader(bytes);
    SampleCsvRecord record;
    Read read;
    while (reader.Next(record) == SampleCsvReader::Step::Row) {
        std::vector<QByteArray>& fields = read.Rows.emplace_back();
        for (const QByteArrayView field : record.Fields)
            fields.push_back(field.toByteArray());
    }
    read.Fault = reader.Fault();
    read.FaultFields = reader.FaultFields();
    return read;
}

std::vector<QByteArray> fieldsOf(const QByteArray& row)
{
    const QList<QByteArray> parts = row.split(',');
    return {parts.begin(), parts.end()};
}

}  // namespace

TEST(SampleCsv, RowsSplitIntoTheirTenFieldsWhereverTheCommasFall)
{
    // Fields of every width from none to eleven bytes put the commas at
    // every place of the eight-byte words the reader looks at.
    QByteArray body;
    std::vector<std::vector<QByteArray>> expected;
    for (int shift = 0; shift < 12; ++shift) {
        QByteArray row = QByteArray::number(shift + 1) + ",2024-05-17T08:00:00";
        for (int k = 0; k < 8; ++k)
            row += ',' + (k == shift % 8 ? QByteArray(shift, '1') + ".5" : (shift + k) % 3 ? QByteArray("-12.5") : QByteArray());
        expected.push_back(fieldsOf(row));
        body += row + "\r\n";
    }
    body += "13,,\"2\",3,4,5,6,7,8,9\r\n";
    expected.push_back({"13", "", "2", "3", "4", "5", "6", "7", "8", "9"});
    EXPECT_EQ(readCsv(body).Rows, expected);

    const Read many = readCsv("1,,1,2,3,4,5,6,7,8,9,10\r\n");
    EXPECT_EQ(many.Fault, SampleCsvFault::FieldCount);
    EXPECT_EQ(many.FaultFields, 12);
    const Read few = readCsv("1,,1,2,3,4,5,6,7\n");
    EXPECT_EQ(few.Fault, SampleCsvFault::FieldCount);
    EXPECT_EQ(few.FaultFields, 9);
    EXPECT_EQ(readCsv("1,,1,2,3,4,5,6,7,8,\"9\"\r\n").FaultFields, 11) << "a quote past the tenth field";
    EXPECT_EQ(readCsv("1,,1,2,3,4,5,6,7,8a\"\r\n").Fault, SampleCsvFault::QuoteInField);
}

TEST(SampleCsv, TemperaturesAreDecimalsWithADotAndReadAsTheLibraryReadsThem)
{
    for (const char* text : {"23.5", "-50.0", "0", "-0.0", "1235", "23.50", "0.05", "-3276.7", "123456789012345", "1.00000000000000000001",
             "-98765.4321098765432"}) {
        double value = 0;
        ASSERT_TRUE(ReadSampleCsvTemperature(text, value)) << text;
        EXPECT_EQ(std::bit_cast<quint64>(value), std::bit_cast<quint64>(std::strtod(text, nullptr))) << text;
    }
    double none = 0;
    EXPECT_TRUE(ReadSampleCsvTemperature("", none));
    EXPECT_TRUE(std::isnan(none));
    for (const char* text : {"-", ".5", "5.", "-.5", "5.3.2", "+5", "5e3", "23,5", " 5", "5 ", "--5", "0x1A", "inf", "nan"}) {
        double value = 0;
        EXPECT_FALSE(ReadSampleCsvTemperature(text, value)) << text;
    }
}

TEST(SeriesValues, TemperaturesKeptWhileReadingJudgeExactlyAsTheirTexts)
{
    // Whole tenths are kept; what tenths would not give back bit for bit,
    // -0.0 and finer or larger numbers, is read from the text again.
    const std::vector<std::vector<QByteArray>> rows{{"23.5", "-50.0", "", "0.0", "1235", "1", "-0.1", "150.0"},
        {"-0.0", "23.5", "", "", "", "", "", ""}, {"23.55", "1", "1", "1", "1", "1", "1", "1"},
        {"3276.7", "1", "1", "1", "1", "1", "1", "1"}, {"-3276.6", "3276.6", "0.3", "-0.3", "0.7", "2.2", "1e0", "1"}};
    for (const auto& texts : rows) {
        QByteArray line = "1,2024-05-17T08:00:00";
        std::array<double, 8> read{};
        bool readable = true;
        for (size_t k = 0; k < texts.size(); ++k) {
            line += ',' + texts[k];
            readable &= ReadSampleCsvTemperature(texts[k], read[k]);
        }
        SeriesRow row;
        row.Text = line;
        row.ValuesAt = 22;
        const std::array<double, 8> fromText = RowTemperatures(row, ValueTexts::Csv);
        if (!readable) {
            EXPECT_EQ(texts[6], "1e0") << "only the row with an exponent is no CSV's";
            continue;
        }
        KeepTemperatures(row, read);
        const std::array<double, 8> kept = RowTemperatures(row, ValueTexts::Csv);
        for (size_t k = 0; k < kept.size(); ++k)
            EXPECT_EQ(std::bit_cast<quint64>(kept[k]), std::bit_cast<quint64>(fromText[k])) << line.constData() << " CH" << k + 1;
        EXPECT_EQ(row.HasTenths, texts[0] != "-0.0" && texts[0] != "23.55" && texts[0] != "3276.7") << line.constData();
    }
}
