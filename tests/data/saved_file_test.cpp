#include "windows/form5.h"
#include "data/saved_file.h"
#include "platform/errors.h"
#include "toolkit/string_grid.h"
#include "platform/whole_file.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// Users of the file-permission cases: nobody, and someone else.
constexpr uid_t User = 65534;
constexpr uid_t OtherUser = 12345;
constexpr gid_t OtherGroup = 23456;

ino_t inodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Runs `f` on a thread whose file accesses are those of an ordinary user:
// a file-system identity other than root's drops root's way past
// permission bits, for that thread alone.
void asUser(const std::function<void()>& f)
{
    std::thread t([&] {
        ::setfsgid(User);
        ::setfsuid(User);
        f();
    });
    t.join();
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

TEST_F(WritingFiles, EachFailureGetsTheRuntimesText)
{
    put("plain.txt", "x");
    EXPECT_EQ(failure([&] { WriteWholeFile(path("no-such-folder/datos.txt"), "x"); }), "File not found");
    EXPECT_EQ(failure([&] { WriteWholeFile(path("plain.txt/datos.txt"), "x"); }), "Path not found");
    EXPECT_EQ(failure([&] { WriteWholeFile(dir.path(), "x"); }), QStringLiteral("I/O error %1").arg(EISDIR));
    // Out of descriptors: the limit lowered to the lowest free one.
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit before{};
    getrlimit(RLIMIT_NOFILE, &before);
    rlimit limit{rlim_t(lowestFree), before.rlim_max};
    setrlimit(RLIMIT_NOFILE, &limit);
    const QString message = failure([&] { WriteWholeFile(path("datos.txt"), "x"); });
    setrlimit(RLIMIT_NOFILE, &before);
    EXPECT_EQ(message, "Too many open files");
    EXPECT_EQ(entries(), QStringList{"plain.txt"});
}

TEST_F(WritingFiles, AFileWithSeveralLinksStaysOneFile)
{
    put("a.txt", QByteArray("old content\r\n"));
    ASSERT_EQ(::link(QFile::encodeName(path("a.txt")).constData(), QFile::encodeName(path("b.txt")).constData()), 0);
    const ino_t inode = inodeOf(path("a.txt"));
    WriteWholeFile(path("a.txt"), "new\r\n");
    EXPECT_EQ(readAll(path("b.txt")), "new\r\n");
    EXPECT_EQ(inodeOf(path("a.txt")), inode);
    EXPECT_EQ(inodeOf(path("b.txt")), inode);
    EXPECT_EQ(entries(), (QStringList{"a.txt", "b.txt"}));
}

TEST_F(WritingFiles, ReplacingKeepsOwnerGroupAndPermissions)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    put("datos.txt", QByteArray("old content\r\n"));
    const QByteArray native = QFile::encodeName(path("datos.txt"));
    ASSERT_EQ(::chown(native.constData(), OtherUser, OtherGroup), 0);
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    const ino_t inode = inodeOf(path("datos.txt"));
    WriteWholeFile(path("datos.txt"), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, OtherUser);
    EXPECT_EQ(st.st_gid, OtherGroup);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Replaced through a new file, so a failure could not have spoilt it.
    EXPECT_NE(st.st_ino, inode);
    EXPECT_EQ(readAll(path("datos.txt")), "new\r\n");
    EXPECT_EQ(entries(), QStringList{"datos.txt"});
}

// A user without root's privileges saving into folders owned by others.
TEST_F(WritingFiles, AsAUser_AFileIsReplacedWhereverTheUserMayWriteIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    struct Case {
        const char* what;
        uid_t folderOwner;
        mode_t folderMode;
        uid_t fileOwner;
        mode_t fileMode;
        bool replaced;
    };
    const Case cases[] = {
        {"the user's file in root's folder", 0, 0755, User, 0644, true},
        {"anyone's file in root's folder", 0, 0755, 0, 0666, true},
        {"someone else's file in a sticky shared folder", 0, 01777, OtherUser, 0666, true},
        {"root's read-only file in root's folder", 0, 0755, 0, 0644, false},
        {"the user's read-only file in the user's folder", User, 0755, User, 0444, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QByteArray native = QFile::encodeName(folder.filePath("datos.txt"));
        {
            QFile f(folder.filePath("datos.txt"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("old content\r\n"));
        }
        const gid_t fileGroup = c.fileOwner == User ? User : c.fileOwner ? OtherGroup : 0;
        ASSERT_EQ(::chown(native.constData(), c.fileOwner, fileGroup), 0);
        ASSERT_EQ(::chmod(native.constData(), c.fileMode), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder.path()).constData(), c.folderOwner, 0), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), c.folderMode), 0);
        const ino_t inode = inodeOf(folder.filePath("datos.txt"));
        QString message = "<no failure>";
        asUser([&] { message = failure([&] { WriteWholeFile(folder.filePath("datos.txt"), "new\r\n"); }); });
        struct stat st {};
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_ino, inode) << c.what;
        EXPECT_EQ(st.st_uid, c.fileOwner) << c.what;
        EXPECT_EQ(st.st_mode & 07777, c.fileMode) << c.what;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"datos.txt"}) << c.what;
        if (c.replaced) {
            EXPECT_EQ(message, "<no failure>") << c.what;
            EXPECT_EQ(readAll(folder.filePath("datos.txt")), "new\r\n") << c.what;
        } else {
            EXPECT_EQ(message, "File access denied") << c.what;
            EXPECT_EQ(readAll(folder.filePath("datos.txt")), QByteArray("old content\r\n")) << c.what;
        }
    }
    // Where the user may write nothing, nothing new appears either.
    QTemporaryDir folder;
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    QString message;
    asUser([&] { message = failure([&] { WriteWholeFile(folder.filePath("nuevo.txt"), "x"); }); });
    EXPECT_EQ(message, "File access denied");
    EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::Files | QDir::Hidden));
}

}  // namespace
