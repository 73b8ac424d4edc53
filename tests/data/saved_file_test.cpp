#include "data/saved_file.h"
#include "data/string_grid.h"
#include "platform/errors.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QString failure(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EInOutError& e) {
        return e.Message();
    }
    return "<no failure>";
}

TEST(SavedFileLayout, TitleColumnsStartWhereTheDataFieldsDo)
{
    const QByteArray title = SavedFileTitleLine();
    EXPECT_EQ(title.size(), 67);
    EXPECT_EQ(title.indexOf("HORA"), 13);
    for (int ch = 1; ch <= 8; ++ch)
        EXPECT_EQ(title.indexOf("CH" + QByteArray::number(ch)), 22 + 6 * (ch - 1)) << "CH" << ch;
    TStringGrid grid(11, 2048);
    EXPECT_EQ(SavedFileBytes(grid, 0), title + "\r\n\r\n");
    EXPECT_EQ(SavedFileBytes(grid, 0).size(), 71);
}

TEST(SavedFileLayout, DataLineIsTheTenTextsEachFollowedByTwoBlanksNothingPadded)
{
    TStringGrid grid(11, 2048);
    grid.SetRowCount(3);
    grid.SetCells(0, 1, "1");
    grid.SetCells(1, 1, "17/05/2024");
    grid.SetCells(2, 1, "08:20:30");
    for (int c = 3; c <= 10; ++c)
        grid.SetCells(c, 1, "23,5");
    grid.SetCells(3, 2, "-50,0");  // row 2 has no stamp
    const QList<QByteArray> lines = SavedFileBytes(grid, 2).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[2], "17/05/2024  08:20:30  " + QByteArray("23,5  ").repeated(8) + "\r");
    EXPECT_EQ(lines[2].size() - 1, 70);
    EXPECT_EQ(lines[3], "    -50,0  " + QByteArray("  ").repeated(7) + "\r");
}

class WritingFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void put(const char* name, const QByteArray& bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(WritingFiles, ReplacesTheWholeFileAndWritesThroughLinks)
{
    put("a.txt", QByteArray(5000, 'o'));
    ASSERT_TRUE(QFile::link(path("a.txt"), path("link.txt")));
    WriteWholeFile(path("link.txt"), "new\r\n");
    EXPECT_EQ(readAll(path("a.txt")), "new\r\n");
    EXPECT_TRUE(QFileInfo(path("link.txt")).isSymLink());
    EXPECT_EQ(entries(), (QStringList{"a.txt", "link.txt"}));
}

TEST_F(WritingFiles, WriteFailureLeavesTheOldFileAndNoPartialFile)
{
    put("keep.txt", "old content\r\n");
    // A file size limit makes the write fail part-way, as a filling disk does.
    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &saved);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit{4096, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const QString message = failure([&] { WriteWholeFile(path("keep.txt"), QByteArray(100000, 'n')); });
    setrlimit(RLIMIT_FSIZE, &before);
    sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_EQ(message, QStringLiteral("I/O error %1").arg(EFBIG));
    EXPECT_EQ(readAll(path("keep.txt")), "old content\r\n");
    EXPECT_EQ(entries(), QStringList{"keep.txt"});
}

TEST_F(WritingFiles, DevicesAreWrittenInPlaceAndRefusingFoldersDenyAccess)
{
    EXPECT_EQ(failure([] { WriteWholeFile("/dev/full", "x"); }), "Disk full");
    struct stat st {};
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    // sysfs refuses new files even to root, whom permission bits do not stop.
    EXPECT_EQ(failure([] { WriteWholeFile("/sys/veltra8-test.txt", "x"); }), "File access denied");
}

}  // namespace
