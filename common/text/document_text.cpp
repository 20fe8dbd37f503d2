#include "common/text/document_text.h"

#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace doctext {

QString commandLinePath(const QStringList &arguments)
{
    QString path = arguments.join(u' ');
    if (path.contains(u'"')) path = path.size() >= 2 ? path.mid(1, path.size() - 2) : QString();
    return path;
}

bool namesRtf(const QString &path) { return path.contains(QStringLiteral(".rtf"), Qt::CaseInsensitive); }

OpenedAs openedAs(const QString &upperExtension)
{
    if (upperExtension == u".RTF") return OpenedAs::Rtf;
    if (upperExtension == u".HTM" || upperExtension == u".HTML" || upperExtension == u".SHTML") return OpenedAs::Html;
    return OpenedAs::Text;
}

bool holdsHtml(QStringView text) { return text.contains(u"<html>", Qt::CaseInsensitive); }

QString encodingName(Encoding encoding)
{
    return encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

std::optional<QByteArray> readDocumentFile(const QString &path, QString *errorText)
{
    QString error;
    const int fd = linefile::openForReading(path, &error);
    if (fd < 0) {
        *errorText = error.isEmpty() ? QStringLiteral("Le fichier %1 n'existe pas.").arg(path) : error;
        return std::nullopt;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        *errorText = QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(path);
        return std::nullopt;
    }
    if (st.st_size > kMaxDocumentBytes) {
        ::close(fd);
        *errorText = QStringLiteral("%1 est trop grand pour l'éditeur : %2 Mo, pour %3 Mo au plus.")
                         .arg(path)
                         .arg(st.st_size / (1024 * 1024))
                         .arg(kMaxDocumentBytes / (1024 * 1024));
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype done = 0;
    // The file may grow while it is read: what is beyond its size at open is left out.
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            *errorText = QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(path);
            return std::nullopt;
        }
        if (got == 0) break;
        done += got;
    }
    ::close(fd);
    bytes.truncate(done);
    return bytes;
}

std::optional<PlainText> decodePlainText(const QByteArray &bytes, const QString &path, QString *errorText)
{
    if (bytes.contains('\0')) {
        *errorText = QStringLiteral("%1 n'est pas un texte : il contient des caractères nuls.").arg(path);
        return std::nullopt;
    }
    PlainText result;
    bool utf8 = false;
    result.text = linefile::decodeDocument(bytes, &utf8);
    result.encoding = utf8 ? Encoding::Utf8 : Encoding::Windows1252;
    result.crlf = bytes.contains("\r\n");
    if (result.crlf) result.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::optional<QByteArray> encodePlainText(QStringView text, Encoding encoding, bool crlf, QString *errorText)
{
    QString withEnds;
    if (crlf) {
        withEnds = text.toString();
        withEnds.replace(u'\n', QStringLiteral("\r\n"));
        text = withEnds;
    }
    if (encoding == Encoding::Utf8) return text.toUtf8();
    QByteArray out;
    if (!cp1252::encodeTo(text, &out, errorText)) return std::nullopt;
    return out;
}

qsizetype findIgnoringCase(QStringView text, QStringView word, qsizetype from)
{
    if (word.isEmpty() || from < 0 || from > text.size()) return -1;
    return text.indexOf(word, from, Qt::CaseInsensitive);
}

qsizetype replaceAllIgnoringCase(QString *text, QStringView word, QStringView replacement, qsizetype *lastEnd)
{
    if (word.isEmpty()) return 0;
    const QStringView source = *text;
    qsizetype at = source.indexOf(word, 0, Qt::CaseInsensitive);
    if (at < 0) return 0;
    // One pass that copies the pieces between occurrences, instead of rebuilding the whole text
    // at each one.
    QString result;
    result.reserve(source.size() + std::max<qsizetype>(0, replacement.size() - word.size()) * 16);
    qsizetype copied = 0;
    qsizetype count = 0;
    while (at >= 0) {
        result.append(source.mid(copied, at - copied));
        result.append(replacement);
        if (lastEnd) *lastEnd = result.size();
        copied = at + word.size();
        ++count;
        at = source.indexOf(word, copied, Qt::CaseInsensitive);
    }
    result.append(source.mid(copied));
    *text = std::move(result);
    return count;
}

} // namespace doctext
