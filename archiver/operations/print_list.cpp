#include "archiver/operations/print_list.h"

#include "archiver/store/utilities.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"

#include <optional>

namespace printlist {

namespace {
const QString kLineEnd = QStringLiteral("\r\n");
}

QString cell(const Record &r, int column)
{
    switch (column) {
    case 0: return r.key;
    case 1: return r.note;
    case 2: return r.date;
    case 3: return r.support;
    case 4: return r.category;
    case 5: return r.target;
    default: return QString();
    }
}

QString headerLine(const QString &searchText, const QString &today, qsizetype count, const QString &countWord)
{
    return searchText + QStringLiteral(" , ") + today + QStringLiteral(" , ") + formatCount(count) + countWord;
}

int widest(const QList<Record> &rows, int column)
{
    qsizetype most = 0;
    for (const Record &r : rows) most = std::max(most, cell(r, column).size());
    return int(most);
}

int totalWidth(const Columns &layout)
{
    int total = 0;
    for (qsizetype i = 0; i < layout.selection.size(); ++i)
        total += std::max(0, layout.widths.value(i));
    // The blanks between the columns.
    return total + int(std::max<qsizetype>(0, layout.selection.size() - 1));
}

QString columns(const QList<Record> &rows, const Columns &layout, const QString &header)
{
    const QString fill = layout.fill.isEmpty() ? QStringLiteral(" ") : layout.fill.left(1);
    QString out = header + kLineEnd + kLineEnd;
    const QString dashes = QString(totalWidth(layout), u'-');
    for (const Record &r : rows) {
        for (qsizetype i = 0; i < layout.selection.size(); ++i) {
            if (i > 0) out += u' ';
            const QString text = cell(r, layout.selection[i]);
            const int width = std::max(0, layout.widths.value(i));
            // An empty cell fills its column too, so that the next ones stay in theirs.
            out += text.isEmpty() ? QString(width, fill.front())
                                  : CompleterTexte(text, fill, QStringLiteral("D"), width);
        }
        out += kLineEnd;
        if (layout.dashes) out += dashes + kLineEnd;
    }
    return out;
}

QString widthNotice(int total, const QString &fits, const QString &landscape, const QString &tooWide)
{
    if (total <= 96) return fits;
    QString notice = landscape + kLineEnd;
    if (total > 134) notice += tooWide;
    return notice;
}

QString cards(const QList<Record> &rows, const Cards &layout, const QString &header)
{
    ListingBuffer buffer;
    QString out;
    if (layout.header) out += header + kLineEnd;
    int number = 0;
    for (const Record &r : rows) {
        ++number;
        if (layout.numbers) out += QString::number(number) + kLineEnd;
        for (const int column : layout.selection) {
            if (!layout.labels.isEmpty()) out += layout.labels.value(column) + QStringLiteral(": ");
            const QString text = cell(r, column);
            if (column == 1 && text.contains(u'_')) {
                buffer.clear();
                buffer.AjouterTexteListe(text);
                out += buffer.text();
            } else {
                out += text;
            }
            out += kLineEnd;
        }
        out += layout.separators ? QString(40, u'-') + kLineEnd : kLineEnd;
    }
    return out;
}

std::optional<QString> save(const QString &programFolder, const QString &text, QString *errorText)
{
    QByteArray bytes;
    if (!cp1252::encodeTo(text, &bytes, errorText)) return std::nullopt;
    const QString path = files::findExisting(files::withTrailingSlash(programFolder), QStringLiteral("liste.txt"));
    if (!files::saveAtomically(path, bytes, errorText)) return std::nullopt;
    return path;
}

} // namespace printlist
