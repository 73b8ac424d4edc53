// The windows and the command-line client on the same logger memory: what
// "GUARDAR" saves and what `veltra8-cli download -f txt` writes are the same
// bytes.
#include "app/form1.h"
#include "windows/form5.h"
#include "tests/support/modal.h"
#include "tests/support/program.h"
#include "tests/support/programs.h"
#include "tests/support/save_dialog.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abrockerswitch.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QToolButton>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class WindowsAndClient : public ProgramAgainstSimulator {};

TEST_F(WindowsAndClient, SavedFileOfTheSameMemoryIsByteIdentical)
{
    SimOptions o = UnpacedSimulator(dir);
    // Through the link, which follows the logger when the windows let go.
    o.makeLink = true;
    o.samples = 400;
    o.rateCode = 3;
    o.seed = 11;
    // Ten-minute steps across a leap day; the next sample is ten minutes off.
    o.start = LoggerStamp{2024, 2, 29, 23, 0, 0};
    ConnectTo(o);

    const QString gui = dir.filePath(QStringLiteral("gui.txt"));
    bool saved = false;
    AnswerNextModal([&](QWidget* w) {
        if (w == Form5) {
            WaitUntil([] { return Form5->ActivationCount() > 0; }, 5000);
            AnswerNextSaveDialog(dir.path(), QStringLiteral("gui.txt"));
            Form5->SpeedButton1->click();
            saved = true;
        }
        w->close();
    }, 30000);
    QTest::mouseClick(Form1->AbColBitBtn4, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return saved && !Form5->isVisible(); }, 30000)) << errors.join('\n').toStdString();
    QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
    ASSERT_FALSE(Form1->ComPort1->Connected());

    const QString cli = dir.filePath(QStringLiteral("cli.txt"));
    const CliResult r = RunCli({QStringLiteral("download"), QStringLiteral("-p"), QString::fromStdString(sim->LinkPath()),
                                   QStringLiteral("-f"), QStringLiteral("txt"), QStringLiteral("-o"), cli},
        dir.path());
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(gui).count('\n'), 2 + 400) << "the title, the empty line and every row";
    EXPECT_EQ(readAll(cli), readAll(gui));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
