#pragma once

#include <QStringView>

#include <functional>

class QTextDocument;

namespace richtext {

struct Replaced
{
    qsizetype count = 0;
    qsizetype lastEnd = -1; // where the last inserted text ends, as a position of the document
    bool cancelled = false;  // the progress said to stop: nothing was replaced
};

// Every occurrence of word in document, letter case aside, replaced by replacement, the search
// resuming after each one as doctext::replaceAllIgnoringCase does. The replacements are made in
// the document itself: each takes the format of the first character it replaces, and every
// other character, format and picture stays as it was. All of it is one step of the document's
// undo. progress, when given, is told now and then how many of how many are done; when it
// returns false the replacing stops and the document is put back as it was.
Replaced replaceAll(QTextDocument *document, QStringView word, QStringView replacement,
                    const std::function<bool(qint64 done, qint64 total)> &progress = {});

} // namespace richtext
