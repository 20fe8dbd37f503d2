#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// Finds a text in Windows-1252 bytes without regard to letter case (é finds É, œ finds Œ).
class FoldedFinder
{
public:
    explicit FoldedFinder(QByteArrayView needle);

    qsizetype size() const { return needle_.size(); }
    // Position of the first occurrence in hay at or after from, or -1. An empty text is found
    // at from in any non-empty hay.
    qsizetype find(QByteArrayView hay, qsizetype from = 0) const;
    // Whether the non-empty text, which does not hold the stop byte, stands in hay from from on,
    // before the first stop byte there, and a stop byte follows it. first is where the text
    // first stands in hay: nowhere before.
    bool standsBefore(QByteArrayView hay, qsizetype from, char stop, qsizetype first) const;
    // Whether the text stands at p, case ignored; size() bytes from p must be readable.
    bool verifyAt(const unsigned char *p) const
    {
        const auto *q = reinterpret_cast<const unsigned char *>(needle_.constData());
        for (qsizetype j = 0; j < needle_.size(); ++j)
            if ((*upper_)[p[j]] != q[j]) return false;
        return true;
    }

    const QByteArray &needle() const { return needle_; } // upper-cased
    // What the scan tests a byte with before a full comparison at its place: a byte that may be
    // one of the case forms of the text's first (0), last (1) or second (2) byte equals target
    // once bits are set in it.
    struct Probe
    {
        unsigned char bits = 0;
        unsigned char target = 0;
    };
    const Probe &probe(int i) const { return i == 0 ? first_ : i == 1 ? last_ : second_; }

private:
    // The places among the sixteen from at where the text's first and last bytes pass their
    // probes; size() - 1 bytes past them must be readable.
    unsigned probed16(const unsigned char *at) const;

    QByteArray needle_;
    const std::array<unsigned char, 256> *upper_; // the code page's upper-case table
    Probe first_, last_, second_;
};

struct SearchCounts
{
    qint64 found = 0; // lines handed to the caller
    qint64 total = 0; // non-empty lines read
    // Why each letter file that could not be read (a folder, a FIFO, a file without read
    // permission where a letter file should be) was passed over.
    QStringList unreadable;
};

// The search of one text in one letter file at a time, for work that needs to know which file a
// line came from; the counts add up over the files run.
class LetterSearch
{
public:
    LetterSearch(const QString &text, record::Field field);
    void run(const QString &path, SearchCounts &counts, const std::function<void(QByteArrayView line)> &onMatch) const;

private:
    FoldedFinder finder_{QByteArrayView()};
    record::Field field_;
    bool searchable_ = false;
    bool wide_ = false;
    // Whether the scan tests the text's second byte in every block, which pays once the text's
    // first and last bytes prove to leave candidates in many blocks.
    mutable bool threeProbes_ = false;
    // Whether a field search looks at the field of every line, which pays once most lines prove
    // to hold the text.
    mutable bool everyLine_ = false;
};

// The global search: reads every letter file in letter-list order and hands each non-empty line
// whose compared text (the whole line, or one field) contains text, case ignored, to onMatch, in
// file order; a line longer than linefile::kMaxLineLength is compared and handed cut to that
// length. A letter file that cannot be read is passed over and named in the counts. A text the
// code page cannot hold matches nothing.
SearchCounts RechercheGlobale(const Catalogue &catalogue, const QString &text, record::Field field,
                              const std::function<void(QByteArrayView line)> &onMatch);
