#pragma once

#include "archiver/store/session.h"

#include "common/files/folder_lock.h"

#include <QList>
#include <QString>

#include <functional>

// One line of the catalogue found broken by the analysis.
struct AnalysisAnomaly
{
    QString line;
    QString file;   // the letter file's name, "A.MFI"
    bool malformed; // a separator missing, or an empty date or category; false: a target holding "["
};

struct AnalysisResult
{
    QString error; // empty when the analysis ran to its end
    qint64 records = 0, emptyLines = 0, overLong = 0, anomalies = 0, misfiled = 0, withTarget = 0;
    qint64 dates = 0, supports = 0, categories = 0;
    QList<AnalysisAnomaly> anomalyLines;
    // Entries of the lists that no record uses (removed from the lists when pruned).
    QStringList unusedCategories, unusedSupports;
    QString warning;    // the analysis went through, but cannot be undone, and why
    QString summary;    // lines joined by "\n"
    QString reportPath; // bilan.txt
    double seconds = 0;

    bool ok() const { return error.isEmpty(); }
};

namespace undo {
class Operation;
}

struct AnalysisOptions
{
    std::function<void(QChar letter)> onLetter;           // before each letter file
    std::function<void(const AnalysisAnomaly &)> onAnomaly; // each broken line, as it is met
    bool prune = false; // the entries no record uses leave the lists
};

// Reads every letter file once, in letter-list order, and checks each line; completes the
// category and support lists with what the records use, in their order, new names after the old
// ones (keeping ".bak" copies of a list it rewrites), and writes the report bilan.txt in the
// program folder, whose four earlier versions stay as bilan.1.txt to bilan.4.txt. The entries no
// record uses are named in the report, and stay in the lists unless pruned. The lists are
// rewritten within operation, so that undoing it puts them back. A failure gives the error text
// and leaves the lists as they were.
AnalysisResult analyseCatalogue(ArchiverSession &session, const FolderLock &lock, undo::Operation &operation,
                                const AnalysisOptions &options = {});

// The same as an operation of its own ("Analyse" or, pruning, the removal of unused entries),
// under one hold of the folder's lock. A failure (lock busy, folder read-only) gives the error
// text.
AnalysisResult analyseCatalogue(ArchiverSession &session, const AnalysisOptions &options = {});
