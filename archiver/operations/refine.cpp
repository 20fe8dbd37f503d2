#include "archiver/operations/refine.h"

#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"

namespace refine {
namespace {

bool keeps(QByteArrayView line, record::Field field, QByteArrayView needle)
{
    return !line.isEmpty() && record::fieldOf(line, field).contains(needle);
}

} // namespace

QString selectionFile(const QString &folder)
{
    return folder + QStringLiteral("sel.txt");
}

QList<QByteArray> filter(const QList<QByteArray> &lines, record::Field field, const QString &text)
{
    const auto needle = cp1252::encode(text);
    QList<QByteArray> kept;
    if (!needle) return kept;
    for (const QByteArray &line : lines)
        if (keeps(line, field, *needle)) kept.append(line);
    return kept;
}

Result run(const QString &folder, const QList<QByteArrayView> &lines, record::Field field, const QString &text)
{
    Result result;
    QByteArray needle;
    if (!cp1252::encodeTo(text, &needle, &result.error)) return result;
    files::AtomicWriter sel;
    if (!sel.open(selectionFile(folder), &result.error)) return result;
    // The file holds the list as it was; the lines kept are those the file would give back.
    for (const QByteArrayView line : lines) {
        sel.write(line);
        sel.write("\r\n");
        if (line.isEmpty()) continue;
        ++result.read;
        if (keeps(line, field, needle)) result.kept.append(line.toByteArray());
    }
    if (!sel.commit(&result.error)) {
        result.kept.clear();
        result.read = 0;
    }
    return result;
}

} // namespace refine
