// A whole download against the logger simulator, through the real windows:
// the request on the wire, the capture, the grid checked cell by cell
// against the simulator's own account, and the saved file's bytes.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "platform/application.h"
#include "toolkit/string_grid.h"
#include "serial/comport.h"
#include "sim/simulator.h"
#include "tests/support/program.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abrockerswitch.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The temperature text computed apart from the client's formatter: tenths of
// a degree in integer arithmetic.
QString expectedTemperature(int raw)
{
    int tenths = raw - 500;
    QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    tenths = std::abs(tenths);
    return sign + QString::number(tenths / 10) + QLatin1Char(',') + QString::number(tenths % 10);
}

int stepMinutes(int rateCode)
{
    static const int steps[] = {0, 1, 5, 10, 15, 30, 60};
    return rateCode >= 1 && rateCode <= 6 ? steps[rateCode] : 0;
}

class Download : public ProgramAgainstSimulator {
protected:
    void startSimulator(int samples, int rateCode = 2)
    {
        SimOptions o = UnpacedSimulator(dir);
        o.framePeriodMs = 200;
        o.samples = samples;
        o.rateCode = rateCode;
        o.seed = 7;
        ConnectTo(o);
    }

};

TEST_F(Download, FullMemory_EveryCellMatchesWhatTheLoggerSent)
{
    startSimulator(2000, 2);
    QStringList mismatches;
    int rows = 0;
    ASSERT_TRUE(RunDownload([&] {
        TStringGrid* g = Form5->StringGrid1;
        rows = g->RowCount();
        SimRecord rec = sim->Record();
        if (rec.downloads.empty()) {
            mismatches << "no download recorded";
            return;
        }
        const LoggerSnapshot& snap = rec.downloads.back().snapshot;
        QDateTime t(QDate(snap.start.year, snap.start.month, snap.start.day),
            QTime(snap.start.hour, snap.start.minute, snap.start.second));
        for (size_t i = 0; i < snap.samples.size(); ++i) {
            int r = static_cast<int>(i) + 1;
            t = t.addSecs(60 * stepMinutes(snap.rateCode));
            auto expect = [&](int col, const QString& want) {
                if (g->Cells(col, r) != want && mismatches.size() < 10)
                    mismatches << QStringLiteral("row %1 col %2: %3 != %4").arg(r).arg(col).arg(g->Cells(col, r), want);
            };
            expect(0, QString::number(r));
            expect(1, t.toString(QStringLiteral("dd/MM/yyyy")));
            expect(2, t.toString(QStringLiteral("HH:mm:ss")));
            for (int k = 0; k < 8; ++k)
                expect(3 + k, expectedTemperature(snap.samples[i][static_cast<size_t>(k)]));
        }
    }));
    EXPECT_TRUE(mismatches.isEmpty()) << mismatches.join('\n').toStdString();
    EXPECT_EQ(rows, 2001);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(Flags().DataDownloaded);
    EXPECT_EQ(Form1->AbColBitBtn4->TextOff(), "              VER DATOS");
    EXPECT_EQ(Form1->AbColBitBtn4->TextOn(), "                VER DATOS");

    // The request on the wire: "8", a second's pause, "X", later one "x".
    SimRecord rec = sim->Record();
    std::vector<SimReceived> rx = rec.received;
    ASSERT_GE(rx.size(), 3u);
    EXPECT_EQ(rx[0].byte, '8');
    EXPECT_EQ(rx[1].byte, 'X');
    // The program pauses a full second; the far end stamps bytes when its
    // thread wakes to read them, which may shave a few milliseconds off.
    EXPECT_GE(rx[1].ms - rx[0].ms, 990.0);
    EXPECT_EQ(std::count_if(rx.begin(), rx.end(), [](const SimReceived& r) { return r.byte == 'x'; }), 1);

    // Saved, then read back byte for byte.
    QString path = dir.filePath(QStringLiteral("datos.txt"));
    Form5->SaveGridToFile(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2000 + 2 + 1);  // the last break leaves an empty tail
    EXPECT_EQ(lines[0], "FECHA        HORA     CH1   CH2   CH3   CH4   CH5   CH6   CH7   CH8\r");
    EXPECT_EQ(lines[1], "\r");
    QByteArray row1;
    for (int c = 1; c <= 10; ++c)
        row1 += Form5->StringGrid1->Cells(c, 1).toLatin1() + "  ";
    EXPECT_EQ(lines[2], row1 + "\r");
}

TEST_F(Download, AfterACompletedDownload_TheButtonOnlyReopensTheTable)
{
    startSimulator(20);
    ASSERT_TRUE(RunDownload([] {}));
    size_t before = sim->Record().received.size();
    int lines = Form1->RichEdit1->Lines().Count();
    ASSERT_TRUE(RunDownload([] {}));
    EXPECT_EQ(sim->Record().received.size(), before);
    EXPECT_EQ(Form1->RichEdit1->Lines().Count(), lines);
}

TEST_F(Download, WhileDisconnected_NothingIsSent)
{
    startSimulator(5);
    QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
    ASSERT_FALSE(Form1->ComPort1->Connected());
    QTest::mouseClick(Form1->AbColBitBtn4, Qt::LeftButton);
    WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(sim->Record().received.empty());
    EXPECT_EQ(Form1->RichEdit1->Lines().Count(), 0);
    EXPECT_FALSE(Flags().DownloadMode);
}

TEST_F(Download, ForcedFullDownloadAsksWithE)
{
    startSimulator(3);
    Form1->CheckBox1->setChecked(true);
    ASSERT_TRUE(RunDownload([] {}));
    std::vector<SimReceived> rx = sim->Record().received;
    ASSERT_GE(rx.size(), 2u);
    EXPECT_EQ(rx[0].byte, 'E');
    EXPECT_EQ(rx[1].byte, 'X');
}

}  // namespace
