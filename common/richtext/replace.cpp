#include "common/richtext/replace.h"

#include "common/text/document_text.h"

#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>

namespace richtext {

namespace {
// How often the progress is told: each report lets the window do what waits (paint, lay out
// the text a piece further), which would cost more than the replacing if it came too often.
constexpr qint64 kProgressMs = 100;
constexpr qsizetype kClockStep = 256; // replacements between two looks at the clock
// A change spread over more characters than this is laid out again as a document just opened is.
constexpr qsizetype kWideChange = 100'000;
} // namespace

Replaced replaceAll(QTextDocument *document, QStringView word, QStringView replacement,
                    const std::function<bool(qint64, qint64)> &progress)
{
    Replaced done;
    // The raw text has one character for each position of the document, pictures and paragraph
    // ends included, so its places are the document's.
    const QList<qsizetype> found = doctext::findAllIgnoringCase(document->toRawText(), word);
    if (found.isEmpty()) return done;
    // A shown document would lay out the whole span changed at once when the change ends (a
    // second or more for megabytes); laid out again from the top, it is done a piece at a time
    // while the window answers, as after opening.
    if (found.last() - found.first() > kWideChange && !document->pageSize().isNull())
        document->setPageSize(document->pageSize());
    const QString with = replacement.toString();
    const int shiftEach = int(replacement.size() - word.size());
    QTextCursor cursor(document);
    // One edit block: one undo step, and the layout and the views hear of the change once.
    cursor.beginEditBlock();
    bool cancelled = false;
    int shift = 0;
    QElapsedTimer sinceReport;
    sinceReport.start();
    for (qsizetype i = 0; i < found.size(); ++i) {
        if (progress && (i == 0 || (i % kClockStep == 0 && sinceReport.elapsed() >= kProgressMs))) {
            if (!progress(i, found.size())) {
                cancelled = true;
                break;
            }
            sinceReport.restart();
        }
        const int at = int(found[i]) + shift;
        cursor.setPosition(at + 1);
        QTextCharFormat format = cursor.charFormat();
        format.clearProperty(QTextFormat::ObjectType);
        cursor.setPosition(at);
        cursor.setPosition(at + int(word.size()), QTextCursor::KeepAnchor);
        cursor.insertText(with, format);
        shift += shiftEach;
        done.lastEnd = at + with.size();
        ++done.count;
    }
    cursor.endEditBlock();
    if (cancelled) {
        if (done.count > 0) document->undo();
        return {.cancelled = true};
    }
    if (progress) progress(found.size(), found.size());
    return done;
}

} // namespace richtext
