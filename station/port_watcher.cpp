#include "station/port_watcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

PortWatcher::PortWatcher(QObject* parent) : QObject(parent) {}

PortWatcher::~PortWatcher()
{
    Stop();
}

void PortWatcher::Stop()
{
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = wd_ = -1;
    watched_.clear();
}

bool PortWatcher::Watch(const QString& path, int* err)
{
    Stop();
    path_ = QFileInfo(path).absoluteFilePath();
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        if (err)
            *err = errno;
        return false;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        alignas(inotify_event) char events[4096];
        bool folderChanged = false;
        bool ours = false;
        ssize_t n;
        while ((n = ::read(fd_, events, sizeof events)) > 0) {
            for (char* p = events; p < events + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
                    folderChanged = true;
                else if (e->len > 0 && QFile::decodeName(e->name) == wanted_)
                    (e->mask & IN_ISDIR ? folderChanged : ours) = true;
                p += sizeof(inotify_event) + e->len;
            }
        }
        // A folder on the way to the device was made or removed: watch the
        // nearest one again.
        if (folderChanged)
            rearm();
        if (ours || folderChanged)
            emit MayHaveAppeared();
    });
    rearm();
    if (wd_ < 0 && err)
        *err = errno;
    return wd_ >= 0;
}

void PortWatcher::rearm()
{
    QString folder = QFileInfo(path_).path();
    wanted_ = QFileInfo(path_).fileName();
    while (!QFileInfo(folder).isDir() && folder != QLatin1String("/")) {
        wanted_ = QFileInfo(folder).fileName();
        folder = QFileInfo(folder).path();
    }
    if (folder == watched_ && wd_ >= 0)
        return;
    if (wd_ >= 0)
        ::inotify_rm_watch(fd_, wd_);
    watched_ = folder;
    // Closes of a device name in the folder tell a busy port was let go.
    wd_ = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
        IN_CREATE | IN_MOVED_TO | IN_ATTRIB | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
}
