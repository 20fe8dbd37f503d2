#include "archiver/operations/keywords.h"

#include "archiver/store/record.h"
#include "common/files/atomic_file.h"
#include "common/text/line_file.h"

namespace keywords {

QString listFile(const QString &folder) { return folder + QStringLiteral("Mots_Cles.txt"); }

Outcome writeList(const Catalogue &catalogue, const QString &folder, const std::function<void(QChar letter)> &onLetter)
{
    Outcome out;
    files::AtomicWriter list;
    if (!list.open(listFile(folder), &out.error)) return out;
    for (int i = 0; i < record::kLetterCount; ++i) {
        const QChar letter = QChar::fromLatin1(record::kLetterList[i]);
        if (onLetter) onLetter(letter);
        const auto status = linefile::forEachLine(catalogue.letterFile(letter), [&](QByteArrayView line) {
            const qsizetype at = line.indexOf('@');
            if (at < 0) return;
            list.write(line.first(at));
            list.write("\r\n");
            ++out.keys;
        });
        // A list that silently lacked a letter would look complete.
        if (!status.ok()) {
            out.error = status.error;
            out.keys = 0;
            return out;
        }
    }
    if (!list.commit(&out.error)) {
        out.keys = 0;
        return out;
    }
    out.path = listFile(folder);
    return out;
}

} // namespace keywords
