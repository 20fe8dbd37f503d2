#include "archiver/store/catalogue.h"

#include "archiver/store/record.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Catalogue::Catalogue(const QString &programFolder) : folder_(files::withTrailingSlash(programFolder))
{
}

QString Catalogue::letterFile(QChar first) const
{
    return files::findExisting(folder_, record::letterFileName(first));
}

QString Catalogue::letterFileOfKey(const QString &key) const
{
    return key.isEmpty() ? QString() : letterFile(key.front());
}

const LineOrder &Catalogue::order() const
{
    if (!order_) order_ = std::make_shared<LineOrder>();
    return *order_;
}

void Catalogue::forEachPiece(const QString &path, const std::function<void(QByteArrayView)> &fn)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // Small enough to stay in the processor's cache between the read and the scan.
    constexpr qsizetype kPiece = 256 * 1024;
    QByteArray buffer(kPiece, Qt::Uninitialized);
    qsizetype kept = 0; // bytes of an unfinished line carried to the front
    for (;;) {
        if (kept == buffer.size()) buffer.resize(buffer.size() * 2); // a line longer than a piece
        const ssize_t n = ::read(fd, buffer.data() + kept, size_t(buffer.size() - kept));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        const qsizetype filled = kept + n;
        const char *lastNl =
            static_cast<const char *>(::memrchr(buffer.constData(), '\n', size_t(filled)));
        if (!lastNl) {
            kept = filled;
            continue;
        }
        const qsizetype whole = lastNl - buffer.constData() + 1;
        fn(QByteArrayView(buffer.constData(), whole));
        kept = filled - whole;
        std::memmove(buffer.data(), buffer.constData() + whole, size_t(kept));
    }
    if (kept > 0) fn(QByteArrayView(buffer.constData(), kept));
    ::close(fd);
}

void Catalogue::forEachLine(const QString &path, const std::function<void(QByteArrayView)> &fn)
{
    forEachPiece(path, [&](QByteArrayView piece) {
        qsizetype start = 0;
        while (start < piece.size()) {
            qsizetype end = piece.indexOf('\n', start);
            if (end < 0) end = piece.size();
            qsizetype stop = end;
            if (stop > start && piece[stop - 1] == '\r') --stop;
            if (stop > start) fn(piece.sliced(start, stop - start));
            start = end + 1;
        }
    });
}

void Catalogue::scan(const std::function<void(QByteArrayView line)> &fn) const
{
    for (int i = 0; i < record::kLetterCount; ++i)
        forEachLine(letterFile(QLatin1Char(record::kLetterList[i])), fn);
}

bool Catalogue::writeSorted(const QString &path, QList<QByteArray> lines, QString *errorText) const
{
    lines.removeIf([](const QByteArray &l) { return l.isEmpty(); });
    const LineOrder &ord = order();
    auto less = [&](const QByteArray &a, const QByteArray &b) { return ord.compare(a, b) < 0; };
    // The file is normally sorted already but for its last line (an append): sort the rest only
    // when it is out of order, then insert the last line after its equals. The result is always
    // that of a stable sort of the whole.
    if (!lines.isEmpty()) {
        QByteArray last = lines.takeLast();
        if (!std::is_sorted(lines.begin(), lines.end(), less))
            std::stable_sort(lines.begin(), lines.end(), less);
        lines.insert(std::upper_bound(lines.begin(), lines.end(), last, less), std::move(last));
    }
    return files::saveAtomically(path, linefile::joinLines(lines), errorText);
}

bool Catalogue::TrierFichierCourant(const QString &path, QString *errorText) const
{
    QList<QByteArray> lines;
    if (!linefile::readLines(path, &lines, errorText)) return false;
    if (lines.isEmpty() && !QFile::exists(path)) return true;
    return writeSorted(path, std::move(lines), errorText);
}

bool Catalogue::append(const QString &line, QString *currentFile, QString *errorText) const
{
    if (line.isEmpty()) return false;
    QByteArray encoded;
    if (!cp1252::encodeTo(line, &encoded, errorText)) return false;
    const QString path = letterFile(line.front());
    QList<QByteArray> lines;
    if (!linefile::readLines(path, &lines, errorText)) return false;
    lines.append(encoded);
    if (!writeSorted(path, std::move(lines), errorText)) return false;
    if (currentFile) *currentFile = path;
    return true;
}

bool Catalogue::deleteLine(const QString &path, const QString &oldLine, QString *errorText,
                           qsizetype *removed) const
{
    if (removed) *removed = 0;
    QByteArray old;
    if (!cp1252::encodeTo(oldLine, &old, errorText)) return false;
    QList<QByteArray> lines;
    if (!linefile::readLines(path, &lines, errorText)) return false;
    const qsizetype count = lines.removeAll(old);
    if (count == 0) return true;
    if (!files::saveAtomically(path, linefile::joinLines(lines), errorText)) return false;
    if (removed) *removed = count;
    return true;
}

qsizetype Catalogue::countLine(const QString &path, const QString &line) const
{
    const auto encoded = cp1252::encode(line);
    if (!encoded) return 0;
    qsizetype count = 0;
    forEachLine(path, [&](QByteArrayView l) {
        if (l == *encoded) ++count;
    });
    return count;
}

bool Catalogue::replaceLine(QString *currentFile, const QString &oldLine, const QString &newLine,
                            QString *errorText) const
{
    QByteArray oldBytes, newBytes;
    if (!cp1252::encodeTo(oldLine, &oldBytes, errorText) || !cp1252::encodeTo(newLine, &newBytes, errorText))
        return false;
    if (newLine.isEmpty()) return false;

    const bool sameLetter = !oldLine.isEmpty() && cp1252::toUpper(oldLine.front()) ==
                                                      cp1252::toUpper(newLine.front());
    if (sameLetter) {
        QList<QByteArray> lines;
        if (!linefile::readLines(*currentFile, &lines, errorText)) return false;
        std::replace(lines.begin(), lines.end(), oldBytes, newBytes);
        return writeSorted(*currentFile, std::move(lines), errorText);
    }

    // Moving to another letter file: the new line is written first, so that the record is never
    // nowhere; when the old line cannot then be removed, the other file is put back as it was.
    const QString target = letterFile(newLine.front());
    files::FileSnapshot before;
    if (!before.take(target, errorText)) return false;
    QList<QByteArray> lines = linefile::splitLines(before.content());
    lines.append(newBytes);
    if (!writeSorted(target, std::move(lines), errorText)) return false;
    if (!deleteLine(*currentFile, oldLine, errorText)) {
        before.restore();
        return false;
    }
    *currentFile = target;
    return true;
}
