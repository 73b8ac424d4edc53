// Saving a downloaded table where it cannot go: a read-only folder and a
// full disk. The user gets the runtime's text in the error box, the file
// that was there keeps every byte, nothing half-written is left beside it,
// and a save elsewhere still works.
#include "tests/faults/fault_run.h"

#include "tests/support/printers.h"
#include "tests/support/save_dialog.h"

#include <QFileInfo>
#include <QToolButton>

#include <cerrno>
#include <cstring>

#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace faults {
namespace {

// A small tmpfs of our own on a folder, unmounted again at the end. Only
// root may mount; `Mounted()` says whether it worked.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const QString& folder) : where_(QFile::encodeName(folder))
    {
        mounted_ = ::mount("tmpfs", where_.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") == 0;
        if (!mounted_)
            why_ = QStringLiteral("cannot mount a tmpfs: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~TinyFileSystem()
    {
        if (mounted_)
            ::umount2(where_.constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    QString Why() const { return why_; }
    bool MakeReadOnly()
    {
        return ::mount("tmpfs", where_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, "size=64k") == 0;
    }

private:
    QByteArray where_;
    bool mounted_ = false;
    QString why_;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class SaveFaults : public FaultRun {
protected:
    void SetUp() override
    {
        FaultRun::SetUp();
        StartSimulator(QuickLogger(dir, 30));
        ASSERT_TRUE(Connect()) << Errors();
        ASSERT_TRUE(WaitFrames(1));
        target = dir.filePath(QStringLiteral("target"));
        ASSERT_TRUE(QDir().mkpath(target));
    }
    void TearDown() override
    {
        ::chmod(QFile::encodeName(target).constData(), 0755);
        FaultRun::TearDown();
    }

    // With the Downloaded data window open: "GUARDAR", the path typed into
    // the dialog, and "Yes" to the overwrite question when it comes.
    void SaveThroughTheDialog(const QString& path)
    {
        const QFileInfo chosen(path);
        AnswerNextSaveDialog(chosen.absolutePath(), chosen.fileName(), [path] {
            if (QFileInfo::exists(path))
                PressInNextMessageBox(QStringLiteral("&Yes"));
        });
        Form5->SpeedButton1->click();
    }

    // Downloads, then saves over `existing` (which must fail with `message`)
    // and into a writable folder afterwards.
    void ExpectSaveRefused(const QString& existing, const QString& message)
    {
        const QByteArray before = ReadAll(existing);
        const QStringList entriesBefore = Entries(QFileInfo(existing).absolutePath());
        const QString elsewhere = dir.filePath(QStringLiteral("datos.txt"));
        double idle = 1.0;
        ASSERT_TRUE(RunDownload([&] {
            SaveThroughTheDialog(existing);
            idle = IdleCpuShare(1500);
            SaveThroughTheDialog(elsewhere);
        })) << Errors();

        ASSERT_EQ(errors.size(), 1) << Errors();
        EXPECT_EQ(errors[0], message);
        EXPECT_EQ(ReadAll(existing), before);
        EXPECT_EQ(Entries(QFileInfo(existing).absolutePath()), entriesBefore);
        EXPECT_LT(idle, 0.10);
        EXPECT_TRUE(ReadAll(elsewhere).startsWith("FECHA        HORA     CH1"));
    }

    QString target;
};

TEST_F(SaveFaults, ReadOnlyFolder_AccessDeniedAndTheOldFileUntouched)
{
    const QString existing = target + QStringLiteral("/datos.txt");
    const QByteArray old = QByteArray("tabla anterior, que no debe cambiar\r\n").repeated(40);
    std::unique_ptr<TinyFileSystem> fs;
    if (geteuid() == 0) {
        // Root writes through permission bits; a read-only mount stops it.
        fs = std::make_unique<TinyFileSystem>(target);
        if (!fs->Mounted())
            GTEST_SKIP() << "root ignores folder permissions and " << fs->Why().toStdString();
        ASSERT_TRUE(WriteRaw(existing, old));
        ASSERT_TRUE(fs->MakeReadOnly()) << std::strerror(errno);
    } else {
        // A file the user may write is replaced even here; this one may not be.
        ASSERT_TRUE(WriteRaw(existing, old));
        ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0444), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0555), 0);
    }
    ExpectSaveRefused(existing, QStringLiteral("File access denied."));
    EXPECT_EQ(ReadAll(existing), old);
}

// The user's own file in a folder only root may write to: replaced where
// it is, since no new file may be made beside it.
TEST_F(SaveFaults, WritableFileInAFolderTheUserMayNotWrite_Replaced)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as an ordinary user whose folder is not writable";
    constexpr uid_t User = 65534;
    const QString existing = target + QStringLiteral("/datos.txt");
    const QByteArray native = QFile::encodeName(existing);
    ASSERT_TRUE(WriteRaw(existing, QByteArray("tabla anterior\r\n").repeated(400)));
    ASSERT_EQ(::chown(native.constData(), User, User), 0);
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);

    ASSERT_TRUE(RunDownload([&] {
        // This thread's file accesses become the user's for the save.
        ::setfsgid(User);
        ::setfsuid(User);
        SaveThroughTheDialog(existing);
        ::setfsuid(0);
        ::setfsgid(0);
    })) << Errors();

    EXPECT_TRUE(errors.isEmpty()) << Errors();
    const QByteArray saved = ReadAll(existing);
    EXPECT_TRUE(saved.startsWith("FECHA        HORA     CH1")) << saved.left(80).toStdString();
    EXPECT_FALSE(saved.contains("tabla anterior"));
    struct stat after {};
    ASSERT_EQ(::stat(native.constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, User);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(target), QStringList{"datos.txt"});
}

TEST_F(SaveFaults, FullDisk_DiskFullAndTheOldFileUntouched)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a full disk needs a tiny tmpfs, and only root may mount one";
    TinyFileSystem fs(target);
    if (!fs.Mounted())
        GTEST_SKIP() << fs.Why().toStdString();
    const QString existing = target + QStringLiteral("/datos.txt");
    const QByteArray old = QByteArray("tabla anterior, que no debe cambiar\r\n").repeated(40);
    ASSERT_TRUE(WriteRaw(existing, old));
    // Every free block taken.
    {
        QFile filler(target + QStringLiteral("/relleno"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'r');
        while (filler.write(block) > 0) {
        }
    }
    ExpectSaveRefused(existing, QStringLiteral("Disk full."));
    EXPECT_EQ(ReadAll(existing), old);
}

}  // namespace
}  // namespace faults
