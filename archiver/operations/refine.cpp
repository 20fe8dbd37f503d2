#include "archiver/operations/refine.h"

#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"

namespace refine {

QString selectionFile(const QString &folder)
{
    return folder + QStringLiteral("sel.txt");
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
        if (record::fieldOf(line, field).contains(needle)) result.kept.append(line.toByteArray());
    }
    if (!sel.commit(&result.error)) {
        result.kept.clear();
        result.read = 0;
    }
    return result;
}

} // namespace refine
