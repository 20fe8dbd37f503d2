#include "common/files/folder_lock.h"

#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace files {
namespace {

int waitFromEnvironment()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TALVO_LOCK_WAIT_MS", &ok);
    return ok && ms >= 0 ? ms : FolderLock::kDefaultWaitMs;
}

// "talvo5 (pid 1234)" for the process that holds the flock of the file open as fd, as the
// system's lock table tells it; empty when it does not.
QString holderOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    const auto table = linefile::readFile(QStringLiteral("/proc/locks"));
    if (!table) return {};
    for (const QByteArray &line : linefile::splitLines(*table)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiting entries hold "->".
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 6 || f[1] != "FLOCK") continue;
        const QList<QByteArray> id = f[5].split(':');
        if (id.size() != 3) continue;
        bool okMajor = false, okMinor = false, okInode = false;
        const uint maj = id[0].toUInt(&okMajor, 16), min = id[1].toUInt(&okMinor, 16);
        const qulonglong inode = id[2].toULongLong(&okInode);
        if (!okMajor || !okMinor || !okInode || inode != st.st_ino || maj != major(st.st_dev) ||
            min != minor(st.st_dev))
            continue;
        const QByteArray pid = f[4];
        const auto comm = linefile::readFile(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(pid)));
        const QString name = comm ? QString::fromLocal8Bit(comm->trimmed()) : QString();
        return name.isEmpty() ? QStringLiteral("pid %1").arg(QString::fromLatin1(pid))
                              : QStringLiteral("%1, pid %2").arg(name, QString::fromLatin1(pid));
    }
    return {};
}

} // namespace

std::optional<FolderLock> FolderLock::acquire(const QString &folder, QString *errorText, int waitMs)
{
    const QString dir = withTrailingSlash(QFileInfo(folder).absoluteFilePath());
    const QByteArray path = QFile::encodeName(dir + QLatin1String(kFileName));
    auto refuse = [&](const QString &why) {
        if (errorText) *errorText = texts::get(texts::kCannotLock).arg(dir, why);
        return std::nullopt;
    };

    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | flags, 0666);
    // A folder that cannot be written can still be locked, to read it as one whole.
    if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM))
        fd = ::open(path.constData(), O_RDONLY | flags);
    if (fd < 0) return refuse(QString::fromLocal8Bit(strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(linefile::notRegularMessage(QFile::decodeName(path)));
    }

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? waitFromEnvironment() : waitMs);
    auto pause = std::chrono::milliseconds(1);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || Clock::now() >= deadline) {
            const QString holder = err == EWOULDBLOCK ? holderOf(fd) : QString();
            ::close(fd);
            if (err != EWOULDBLOCK) return refuse(QString::fromLocal8Bit(strerror(err)));
            if (errorText)
                *errorText = texts::get(texts::kBusy)
                                 .arg(dir, holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder));
            return std::nullopt;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    // A temporary file found now belongs to no save still running: every save holds the lock.
    removeStaleTemporaries(dir);
    return FolderLock(fd, dir);
}

FolderLock::FolderLock(FolderLock &&other) noexcept : fd_(other.fd_), folder_(std::move(other.folder_))
{
    other.fd_ = -1;
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        folder_ = std::move(other.folder_);
        other.fd_ = -1;
    }
    return *this;
}

FolderLock::~FolderLock()
{
    if (fd_ >= 0) ::close(fd_); // closing the file releases the lock
}

bool FolderLock::allows(const QString &path, QString *errorText) const
{
    if (fd_ >= 0 && QFileInfo(path).absoluteFilePath().startsWith(folder_)) return true;
    if (errorText)
        *errorText = texts::get(texts::kNotLocked)
                         .arg(path, folder_);
    return false;
}

} // namespace files
