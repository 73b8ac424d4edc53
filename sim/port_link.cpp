#include "sim/port_link.h"

#include "platform/errors.h"

#include <cerrno>
#include <climits>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::runtime_error Failure(const std::string& what, int err)
{
    return std::runtime_error(what + ": " + SystemErrorText(err).toStdString());
}

void MakeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    ::tcsetattr(fd, TCSANOW, &t);
}

// mkdir -p, private to the user: the folder holds only links to our ptys.
void MakeFolder(const std::string& folder)
{
    std::string partial;
    std::size_t from = 0;
    while (from <= folder.size()) {
        const std::size_t slash = folder.find('/', from);
        partial = folder.substr(0, slash == std::string::npos ? folder.size() : slash);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw Failure("cannot create " + partial, errno);
        if (slash == std::string::npos)
            break;
        from = slash + 1;
    }
    struct stat st{};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw std::runtime_error("not a folder: " + folder);
}

std::string ReadLink(const std::string& path)
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    return n < 0 ? std::string() : std::string(buf, static_cast<std::size_t>(n));
}

// A link whose target is gone was left by a run that could not clean up.
bool IsDangling(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0
        && KindOfSystemError(errno) == SystemErrorKind::NotFound;
}

bool TryLink(const std::string& target, const std::string& path)
{
    if (::symlink(target.c_str(), path.c_str()) == 0)
        return true;
    if (errno != EEXIST)
        throw Failure("cannot create link " + path, errno);
    if (IsDangling(path) && ::unlink(path.c_str()) == 0 && ::symlink(target.c_str(), path.c_str()) == 0)
        return true;
    return false;
}

}  // namespace

LoggerPty::LoggerPty()
{
    int slave = -1;
    char name[PATH_MAX] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        throw Failure("cannot make a pseudo-terminal", errno);
    MakeRaw(slave);
    // The slave is closed at once: the master then reports POLLHUP until a
    // client opens it, which is how the logger knows someone is listening.
    ::close(slave);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0 || ::inotify_add_watch(watch_, name, IN_OPEN) < 0) {
        const int err = errno;
        if (watch_ >= 0)
            ::close(watch_);
        ::close(master_);
        throw Failure("cannot watch " + slavePath_ + " for clients", err);
    }
}

LoggerPty::~LoggerPty()
{
    CloseMaster();
    if (watch_ >= 0)
        ::close(watch_);
    watch_ = -1;
}

void LoggerPty::ClearOpenings() const
{
    // Only the wake-up matters: the events say nothing a look at the master
    // would not say better, and equal ones in a row are merged anyway.
    alignas(inotify_event) char buf[4096];
    while (::read(watch_, buf, sizeof buf) > 0) {
    }
}

bool LoggerPty::ClientPresent() const
{
    if (master_ < 0)
        return false;
    pollfd p{master_, 0, 0};
    ::poll(&p, 1, 0);
    return !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool LoggerPty::ResetSlave() const
{
    // Bytes written to a pty whose slave nobody holds are kept for the next
    // opener; a half frame from before a disconnect would greet the next one.
    // Only the slave's input goes: a new client's first commands may already
    // be on their way to us.
    const int fd = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::ioctl(fd, TIOCNXCL);
    MakeRaw(fd);
    ::tcflush(fd, TCIFLUSH);
    ::close(fd);
    return true;
}

void LoggerPty::CloseMaster()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void PortLink::Create(const std::string& folder, const std::string& name, const std::string& target)
{
    Remove();
    MakeFolder(folder);
    if (!name.empty()) {
        if (name.find('/') != std::string::npos)
            throw std::runtime_error("a link name cannot contain '/': " + name);
        const std::string path = folder + "/" + name;
        if (!TryLink(target, path))
            throw std::runtime_error("link name already taken: " + path);
        path_ = path;
    } else {
        for (int n = 1; n <= 999 && path_.empty(); ++n) {
            const std::string path = folder + (n == 1 ? "/veltra8-sim" : "/veltra8-sim-" + std::to_string(n));
            if (TryLink(target, path))
                path_ = path;
        }
        if (path_.empty())
            throw std::runtime_error("no free link name in " + folder);
    }
    target_ = target;
}

void PortLink::Retarget(const std::string& target)
{
    if (path_.empty())
        return;
    // Built aside and renamed over the old one, so the port never vanishes
    // from a listing taken meanwhile.
    const std::string aside = path_ + ".new";
    ::unlink(aside.c_str());
    if (::symlink(target.c_str(), aside.c_str()) != 0)
        throw Failure("cannot create link " + aside, errno);
    if (::rename(aside.c_str(), path_.c_str()) != 0) {
        const int err = errno;
        ::unlink(aside.c_str());
        throw Failure("cannot replace link " + path_, err);
    }
    target_ = target;
}

void PortLink::Remove()
{
    if (path_.empty())
        return;
    if (ReadLink(path_) == target_)
        ::unlink(path_.c_str());
    path_.clear();
    target_.clear();
}
