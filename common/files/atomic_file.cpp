#include "common/files/atomic_file.h"

#include "common/text/line_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

QString describeErrno(const QString &what, const QString &path, int err)
{
    return QStringLiteral("%1 « %2 » : %3").arg(what, path, QString::fromLocal8Bit(strerror(err)));
}

bool writeAll(int fd, const char *data, qsizetype size, int *err)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QByteArray &folder)
{
    // The rename is what makes the new content visible; a folder that cannot be synced (some
    // file systems refuse it) does not undo it, so this step reports nothing.
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    ::fsync(dfd);
    ::close(dfd);
}

} // namespace

bool saveAtomically(const QString &path, QByteArrayView content, QString *errorText)
{
    // A link is written through: the new content replaces the file it points to.
    const QFileInfo given(path);
    const QFileInfo info(given.isSymLink() && given.exists() ? given.canonicalFilePath() : path);
    const QString folder = info.absolutePath();
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());

    // A file marked read-only stays as it is, even for a user whom the system would let replace it.
    struct stat current {};
    if (::stat(target.constData(), &current) == 0 &&
        ((current.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0)) {
        if (errorText)
            *errorText = QStringLiteral("Le fichier « %1 » est en lecture seule : il n'a pas été modifié.")
                             .arg(info.absoluteFilePath());
        return false;
    }

    QByteArray temp =
        QFile::encodeName(folder + QStringLiteral("/.") + info.fileName() + QLatin1String(kTemporaryMarker)) +
        "XXXXXX";

    auto fail = [&](const QString &what, const QString &where, int err) {
        if (errorText) *errorText = describeErrno(what, where, err);
        return false;
    };

    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return fail(QStringLiteral("Impossible d'écrire dans le dossier"), folder, errno);

    mode_t mode;
    if (current.st_mode != 0) {
        mode = current.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    int err = 0;
    QString what;
    if (::fchmod(fd, mode) != 0) {
        err = errno;
        what = QStringLiteral("Impossible de régler les droits de");
    } else if (!writeAll(fd, content.data(), content.size(), &err)) {
        what = QStringLiteral("Écriture impossible de");
    } else if (::fsync(fd) != 0) {
        err = errno;
        what = QStringLiteral("Écriture sur le disque impossible de");
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
        what = QStringLiteral("Écriture impossible de");
    }
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0) {
        err = errno;
        what = QStringLiteral("Remplacement impossible de");
    }
    if (err != 0) {
        ::unlink(temp.constData());
        return fail(what, info.absoluteFilePath(), err);
    }
    syncFolder(QFile::encodeName(folder));
    return true;
}

int removeStaleTemporaries(const QString &folder)
{
    QDir dir(folder);
    const QStringList stale =
        dir.entryList({QStringLiteral(".*") + QLatin1String(kTemporaryMarker) + u'*'},
                      QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : stale)
        if (dir.remove(name)) ++removed;
    return removed;
}

bool copyAtomically(const QString &source, const QString &target, QString *errorText)
{
    QString readError;
    const auto data = linefile::readFile(source, &readError);
    if (!data) {
        if (errorText)
            *errorText = readError.isEmpty()
                             ? QStringLiteral("Fichier introuvable « %1 »").arg(source)
                             : QStringLiteral("Lecture impossible de « %1 » : %2").arg(source, readError);
        return false;
    }
    return saveAtomically(target, *data, errorText);
}

bool FileSnapshot::take(const QString &path, QString *errorText)
{
    path_ = path;
    return linefile::readIfExists(path, &content_, errorText, &existed_);
}

void FileSnapshot::restore() const
{
    if (existed_) saveAtomically(path_, content_);
    else QFile::remove(path_);
}

} // namespace files
