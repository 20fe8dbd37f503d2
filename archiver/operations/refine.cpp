#include "archiver/operations/refine.h"

#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

namespace refine {

QString selectionFile(const QString &folder)
{
    return folder + QStringLiteral("sel.txt");
}

Result run(const QString &folder, const QStringList &lines, record::Field field, const QString &text)
{
    Result result;
    QByteArray body;
    for (const QString &line : lines) {
        QByteArray bytes;
        if (!cp1252::encodeTo(line, &bytes, &result.error)) return result;
        body += bytes + "\r\n";
    }
    QByteArray needle;
    if (!cp1252::encodeTo(text, &needle, &result.error)) return result;
    const QString path = selectionFile(folder);
    if (!files::saveAtomically(path, body, &result.error)) return result;
    const linefile::ReadStatus status = linefile::forEachLine(path, [&](QByteArrayView line) {
        ++result.read;
        if (record::fieldOf(line, field).contains(needle)) result.kept << cp1252::decode(line);
    });
    if (!status.ok()) {
        result.error = status.error;
        result.kept.clear();
    }
    return result;
}

} // namespace refine
