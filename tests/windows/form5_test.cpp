// The Downloaded data window against download buffers made here: the fill
// sequence, its failures, the save dialog and the overwrite question.
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "data/saved_file.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "toolkit/string_grid.h"
#include "tests/support/modal.h"
#include "tests/support/png.h"
#include "tests/support/printers.h"
#include "tests/support/save_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

QString field(int raw)
{
    return QStringLiteral("%1%2").arg(raw / 256, 3, 10, QLatin1Char('0')).arg(raw % 256, 3, 10, QLatin1Char('0'));
}

// Positions 2-3 year, 5-6 month, 8-9 day, 11-12 s, 14-15 min, 17-18 h, 21 rate.
QByteArray header(int yy, int mm, int dd, int hh, int mi, int ss, int rate)
{
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("H%1/%2/%3 %4:%5:%6  %7")
        .arg(two(yy), two(mm), two(dd), two(ss), two(mi), two(hh))
        .arg(rate)
        .toLatin1();
}

// A sample line whose channel k reads raw 500 + 10 * (row + k): (row + k),0 degrees.
QByteArray sampleLine(int row)
{
    QString line;
    for (int k = 1; k <= 8; ++k)
        line += field(500 + 10 * (row + k));
    return line.toLatin1();
}

QByteArray download(const QByteArray& head, int samples)
{
    QByteArray text = head + "\r\n";
    for (int r = 1; r <= samples; ++r)
        text += sampleLine(r) + "\r\n";
    // What follows the samples is never shown, even when it reads as samples.
    text += sampleLine(900) + "\r\n" + sampleLine(901) + "\r\n";
    return text;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

class DownloadedDataWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application::SetExceptionSink([this](const QString& text) { errors << text; });
        form.SetDownloadBuffer(&buffer);
    }
    void TearDown() override { Application::SetExceptionSink({}); }

    void load(const QByteArray& text)
    {
        buffer.Clear();
        // Chunks as a serial line delivers them, CR LF pairs split included.
        for (qsizetype at = 0; at < text.size(); at += 29)
            buffer.Append(text.mid(at, 29));
    }
    QString cell(int col, int row) const { return form.StringGrid1->Cells(col, row); }
    QStringList table() const
    {
        QStringList all;
        for (int r = 0; r < TForm5::DefinedRows; ++r)
            for (int c = 0; c < TForm5::GridColumns; ++c)
                all << cell(c, r);
        return all;
    }
    QString failureOfFill()
    {
        try {
            form.FormActivate();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("<no failure>");
    }

    TDownloadBuffer buffer;
    TForm5 form;
    QStringList errors;
};

TEST_F(DownloadedDataWindow, HasItsCaptionSizeAndColumnHeaders)
{
    EXPECT_EQ(form.windowTitle(), "DATOS DESCARGADOS");
    EXPECT_EQ(form.OuterSize(), QSize(791, 417));
    EXPECT_EQ(form.SpeedButton2->toolTip(), QString::fromUtf8("Muestra gráfico preliminar"));
    EXPECT_TRUE(form.Edit8->isReadOnly());
    EXPECT_TRUE(form.Edit6->isHidden());
    load(download(header(24, 5, 17, 8, 15, 30, 2), 0));
    form.FormActivate();
    // Degree signs for channels 1 to 6, masculine ordinals for 7 and 8.
    const QStringList expected = {"", " FECHA:", " HORA:", "CH 1 \u00B0C", "CH 2 \u00B0C", "CH 3 \u00B0C",
        "CH 4 \u00B0C", "CH 5 \u00B0C", "CH 6 \u00B0C", "CH 7 \u00BAC", "CH 8 \u00BAC"};
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(cell(c, 0), expected[c]) << "column " << c;
}

TEST_F(DownloadedDataWindow, ThreeLineBufferHasNoDataRowsButShowsTheHeader)
{
    load(header(7, 1, 2, 3, 4, 5, 4) + "\r\nxx\r\nA");
    form.FormActivate();
    EXPECT_EQ(form.StringGrid1->RowCount(), 1);
    EXPECT_EQ(form.Edit1->text(), "02/01/2007");
    EXPECT_EQ(form.Edit2->text(), "03:04:05");
    EXPECT_EQ(form.Edit8->text(), "CADA 15 MINUTOS");
    EXPECT_EQ(cell(0, 1), QString());
    EXPECT_EQ(cell(1, 0), " FECHA:");
}

TEST_F(DownloadedDataWindow, EachSampleGetsItsStampNumberAndTemperaturesAndTheLastTwoLinesNever)
{
    load(download(header(24, 5, 17, 8, 15, 30, 2), 3));
    form.FormActivate();
    EXPECT_EQ(form.Edit1->text(), "17/05/2024");
    EXPECT_EQ(form.Edit2->text(), "08:15:30");
    EXPECT_EQ(form.Edit8->text(), "CADA 5 MINUTOS");
    EXPECT_EQ(form.Label4->text(), "8");
    EXPECT_EQ(form.StringGrid1->RowCount(), 4);
    const char* times[] = {"08:20:30", "08:25:30", "08:30:30"};
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(cell(0, r), QString::number(r));
        EXPECT_EQ(cell(1, r), "17/05/2024");
        EXPECT_EQ(cell(2, r), times[r - 1]);
        for (int k = 1; k <= 8; ++k)
            EXPECT_EQ(cell(2 + k, r), QStringLiteral("%1,0").arg(r + k)) << "row " << r << " channel " << k;
    }
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(cell(c, 4) + cell(c, 5), QString()) << "column " << c;
}

TEST_F(DownloadedDataWindow, RateCodeOutsideTheTableKeepsThePreviousRateNoneOnFirstUse)
{
    load(download(header(24, 5, 17, 8, 15, 30, 0), 2));
    form.FormActivate();
    EXPECT_EQ(form.Edit8->text(), QString());
    EXPECT_EQ(QStringList({cell(0, 2), cell(1, 2), cell(2, 2), cell(3, 2)}), QStringList({"2", "", "", "3,0"}));
    load(download(header(24, 5, 17, 8, 15, 30, 4), 1));
    form.FormActivate();
    load(download(header(24, 5, 17, 10, 0, 0, 9), 2));
    form.FormActivate();
    EXPECT_EQ(form.Edit8->text(), "CADA 15 MINUTOS");
    EXPECT_EQ(QStringList({cell(2, 1), cell(2, 2)}), QStringList({"10:15:00", "10:30:00"}));
}

TEST_F(DownloadedDataWindow, BadSampleLineStopsTheFillWhereItStands)
{
    QByteArray text = download(header(24, 5, 17, 8, 15, 30, 1), 3);
    text[text.indexOf(sampleLine(2)) + 40] = 'q';
    load(text);
    EXPECT_EQ(failureOfFill(), "'q' is not a valid integer value");
    EXPECT_EQ(cell(10, 1), "9,0");
    for (int r = 2; r <= 3; ++r) {
        EXPECT_EQ(cell(0, r), QString::number(r));
        EXPECT_EQ(cell(1, r), "17/05/2024");
        for (int c = 3; c <= 10; ++c)
            EXPECT_EQ(cell(c, r), QString()) << "row " << r << " column " << c;
    }
}

TEST_F(DownloadedDataWindow, BadHeaderKeepsTheBoxesAndLeavesTheGridEmpty)
{
    load(download(header(24, 5, 17, 8, 15, 30, 2), 2));
    form.FormActivate();
    QByteArray text = download(header(23, 1, 1, 1, 1, 1, 1), 2);
    text[8] = '?';  // day's units (position 9)
    load(text);
    EXPECT_EQ(failureOfFill(), "'?' is not a valid integer value");
    EXPECT_EQ(form.Edit1->text(), "17/05/2024");
    EXPECT_EQ(form.Edit8->text(), "CADA 5 MINUTOS");
    EXPECT_EQ(form.StringGrid1->RowCount(), 3);
    EXPECT_EQ(table(), QStringList(TForm5::DefinedRows * TForm5::GridColumns, QString()));
}

TEST_F(DownloadedDataWindow, ReopeningShowsTheSameTableAndNothingOfALongerDownload)
{
    load(download(header(24, 5, 17, 8, 15, 30, 0), 40));
    form.FormActivate();
    load(download(header(24, 5, 17, 8, 15, 30, 6), 5));
    form.FormActivate();
    const QStringList first = table();
    form.FormActivate();
    EXPECT_EQ(table(), first);
    EXPECT_EQ(cell(0, 6), QString());
    EXPECT_EQ(cell(3, 40), QString());
}

TEST_F(DownloadedDataWindow, ActivationRunsTheFillOnceAndShowsItsFailureInTheErrorBox)
{
    load("");
    AnswerNextModal([this](QWidget* w) {
        WaitUntil([this] { return form.ActivationCount() > 0; }, 2000);
        w->close();
    });
    form.ShowModal();
    EXPECT_EQ(form.ActivationCount(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.first(), QString::fromUtf8("La descarga no tiene línea de encabezado."));
}

// Drives the save dialog, then answers the overwrite question if one comes.
class SavingThroughTheDialog : public DownloadedDataWindow {
protected:
    void SetUp() override
    {
        DownloadedDataWindow::SetUp();
        load(download(header(24, 5, 17, 8, 15, 30, 2), 2));
        form.FormActivate();
    }
    void save(const QString& typed, const QString& answer = QString())
    {
        const QFileInfo target(typed);
        saveTyping(target.absolutePath(), target.fileName(), answer);
    }
    // Opens `folder` in the dialog and types `name` there.
    void saveTyping(const QString& folder, const QString& name, const QString& answer = QString())
    {
        AnswerNextSaveDialog(
            folder, name,
            [this, answer] {
                if (!answer.isEmpty())
                    PressInNextMessageBox(answer, &question);
            },
            &dialogSeen);
        form.SpeedButton1->click();
    }

    QTemporaryDir dir;
    SaveDialogSeen dialogSeen;
    QString question;
};

TEST_F(SavingThroughTheDialog, NameWithoutExtensionGetsTxtAndTheDialogStartsAtHome)
{
    save(dir.filePath("datos"));
    EXPECT_EQ(dialogSeen.suffix, "txt");
    EXPECT_EQ(dialogSeen.folder, QDir(QDir::homePath()).absolutePath());
    EXPECT_FALSE(dialogSeen.native);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(' ').toStdString();
    EXPECT_TRUE(readAll(dir.filePath("datos.txt")).startsWith("FECHA"));
}

struct OverwriteCase {
    const char* button;
    bool replaced;
};

class OverwriteQuestion : public SavingThroughTheDialog, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteQuestion, OnlyYesReplacesTheExistingFile)
{
    const QString path = dir.filePath("old.txt");
    const QByteArray old = QByteArray("previous table, much longer than the new one\r\n").repeated(100);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    save(path, QString::fromLatin1(GetParam().button));
    EXPECT_EQ(question, "El archivo existe, sobreescribo?");
    const QByteArray now = readAll(path);
    if (GetParam().replaced) {
        EXPECT_EQ(now.left(71), SavedFileTitleLine() + "\r\n\r\n");
        EXPECT_EQ(now.mid(71), "17/05/2024  08:20:30  2,0  3,0  4,0  5,0  6,0  7,0  8,0  9,0  \r\n"
                               "17/05/2024  08:25:30  3,0  4,0  5,0  6,0  7,0  8,0  9,0  10,0  \r\n");
    } else {
        EXPECT_EQ(now, old);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwriteQuestion,
    ::testing::Values(OverwriteCase{"&Yes", true}, OverwriteCase{"&No", false}, OverwriteCase{"Cancel", false}));

TEST_F(SavingThroughTheDialog, RefusedOrFullTargetsShowTheErrorBox)
{
    // sysfs refuses new files even to root, whom permission bits do not stop.
    save(QStringLiteral("/sys/veltra8-save.txt"));
    // Qt's dialog does not offer devices, so the full disk is saved to directly.
    Application::Guard([this] { form.SaveGridToFile(QStringLiteral("/dev/full")); });
    EXPECT_EQ(errors, QStringList({"File access denied.", "Disk full."}));
    EXPECT_FALSE(QFileInfo::exists("/sys/veltra8-save.txt"));
}

TEST_F(SavingThroughTheDialog, FolderMissingOrNotAFolder_NamedInTheErrorBox)
{
    {
        QFile plain(dir.filePath("plano.txt"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    saveTyping(dir.path(), QStringLiteral("no-existe/datos.txt"));
    saveTyping(dir.path(), QStringLiteral("plano.txt/datos.txt"));
    EXPECT_EQ(errors, QStringList({"File not found.", "Path not found."}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"plano.txt"});
}

TEST_F(DownloadedDataWindow, RendersWithAFullMemory)
{
    load(download(header(24, 5, 17, 8, 15, 30, 3), 2000));
    form.FormActivate();
    form.show();
    const QString path = SaveWindowPng(&form, QStringLiteral("downloaded_data_window"));
    form.hide();
    EXPECT_GT(QFileInfo(path).size(), 0);
    EXPECT_EQ(form.StringGrid1->RowCount(), 2001);
}

}  // namespace
