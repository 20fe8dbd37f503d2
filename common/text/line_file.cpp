#include "common/text/line_file.h"

#include "common/text/cp1252.h"

#include <QFile>
#include <QStringDecoder>

namespace linefile {

QList<QByteArray> splitLines(QByteArrayView data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const bool last = end < 0;
        if (last) end = data.size();
        qsizetype stop = end;
        if (stop > start && data[stop - 1] == '\r') --stop;
        lines.append(data.sliced(start, stop - start).toByteArray());
        start = end + 1;
    }
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const auto &l : lines)
        size += l.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const auto &l : lines) {
        out.append(l);
        out.append("\r\n", 2);
    }
    return out;
}

std::optional<QByteArray> readFile(const QString &path, QString *errorText)
{
    QFile f(path);
    if (!f.exists()) return std::nullopt;
    if (!f.open(QIODevice::ReadOnly)) {
        if (errorText) *errorText = f.errorString();
        return std::nullopt;
    }
    QByteArray data = f.readAll();
    if (f.error() != QFile::NoError) {
        if (errorText) *errorText = f.errorString();
        return std::nullopt;
    }
    return data;
}

bool readIfExists(const QString &path, QByteArray *data, QString *errorText, bool *exists)
{
    QString readError;
    auto read = readFile(path, &readError);
    if (!read && !readError.isEmpty()) {
        if (errorText) *errorText = QStringLiteral("Lecture impossible de « %1 » : %2").arg(path, readError);
        return false;
    }
    if (exists) *exists = read.has_value();
    *data = read ? std::move(*read) : QByteArray();
    return true;
}

bool readLines(const QString &path, QList<QByteArray> *lines, QString *errorText)
{
    QByteArray data;
    if (!readIfExists(path, &data, errorText)) return false;
    *lines = splitLines(data);
    return true;
}

QStringList readTextLines(const QString &path)
{
    QStringList out;
    const auto data = readFile(path);
    if (!data) return out;
    for (const auto &l : splitLines(*data))
        out.append(cp1252::decode(l));
    return out;
}

std::optional<QByteArray> encodeLines(const QStringList &lines, char32_t *badChar)
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const auto &l : lines) {
        auto e = cp1252::encode(l, badChar);
        if (!e) return std::nullopt;
        encoded.append(*e);
    }
    return joinLines(encoded);
}

bool isUtf8(QByteArrayView data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString unused = decoder.decode(data);
    return !decoder.hasError();
}

QString decodeDocument(QByteArrayView data, bool *wasUtf8)
{
    const bool utf8 = isUtf8(data);
    if (wasUtf8) *wasUtf8 = utf8;
    return utf8 ? QString::fromUtf8(data) : cp1252::decode(data);
}

} // namespace linefile
