// The virtual-ports folder, and the /tmp fallback that someone else may have
// made first.
#include "platform/ports_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What OwnPortsFolder returns for `path`, and what it said on standard error.
std::pair<QString, std::string> Checked(const QString& path)
{
    testing::internal::CaptureStderr();
    QString used = OwnPortsFolder(path);
    return {used, testing::internal::GetCapturedStderr()};
}

mode_t Mode(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mode & 07777;
}

}  // namespace

TEST(OwnPortsFolder, MissingIsCreatedPrivateAndUsedWithoutAWord)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/ports");
    const mode_t umask = ::umask(0);  // private whatever the umask says
    auto [used, said] = Checked(path);
    ::umask(umask);
    EXPECT_EQ(used, path);
    EXPECT_EQ(Mode(path), 0700u);
    EXPECT_EQ(said, "");
    EXPECT_EQ(Checked(path).first, path) << "an existing private folder is used again";
}

TEST(OwnPortsFolder, AnythingOthersControlIsLeftOutWithTheReason)
{
    QTemporaryDir tmp;
    const QString open = tmp.path() + QStringLiteral("/open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const QString groupWritable = tmp.path() + QStringLiteral("/group");
    ASSERT_TRUE(QDir().mkdir(groupWritable));
    ASSERT_EQ(::chmod(QFile::encodeName(groupWritable).constData(), 0770), 0);
    const QString link = tmp.path() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(tmp.path(), link));
    const QString file = tmp.path() + QStringLiteral("/file");
    QFile(file).open(QIODevice::WriteOnly);

    for (const auto& [path, why] : {std::pair{open, "others may write to it"}, std::pair{groupWritable, "others may write to it"},
                                    std::pair{link, "it is not a folder"}, std::pair{file, "it is not a folder"}}) {
        auto [used, said] = Checked(path);
        EXPECT_TRUE(used.isEmpty()) << path.toStdString();
        EXPECT_NE(said.find(QFile::encodeName(path).toStdString()), std::string::npos) << said;
        EXPECT_NE(said.find(why), std::string::npos) << said;

        // A caller that words the failure itself gets the reason instead.
        QString reason;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(OwnPortsFolder(path, &reason).isEmpty());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(reason, path + QStringLiteral(": ") + QLatin1String(why));
    }

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    const QString others = tmp.path() + QStringLiteral("/others");
    ASSERT_TRUE(QDir().mkdir(others));
    ASSERT_EQ(::chmod(QFile::encodeName(others).constData(), 0700), 0);
    ASSERT_EQ(::chown(QFile::encodeName(others).constData(), 65534, 65534), 0);
    auto [used, said] = Checked(others);
    EXPECT_TRUE(used.isEmpty());
    EXPECT_NE(said.find("it belongs to another user"), std::string::npos) << said;
}

TEST(VirtualPortsFolder, OverrideThenRuntimeFolderThenThePrivateTmpFolder)
{
    const QByteArray override = qgetenv("VELTRA8_PORTS_DIR");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir tmp;
    qputenv("VELTRA8_PORTS_DIR", (tmp.path() + QStringLiteral("/mine/")).toLocal8Bit());
    EXPECT_EQ(VirtualPortsFolder(), tmp.path() + QStringLiteral("/mine"));
    qunsetenv("VELTRA8_PORTS_DIR");
    qputenv("XDG_RUNTIME_DIR", tmp.path().toLocal8Bit());
    EXPECT_EQ(VirtualPortsFolder(), tmp.path() + QStringLiteral("/veltra8-ports"));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = QStringLiteral("/tmp/veltra8-ports-%1").arg(::getuid());
    EXPECT_EQ(VirtualPortsFolder(), fallback);
    EXPECT_EQ(Mode(fallback) & 0022u, 0u);
    if (!override.isNull())
        qputenv("VELTRA8_PORTS_DIR", override);
    if (!runtime.isNull())
        qputenv("XDG_RUNTIME_DIR", runtime);
}
