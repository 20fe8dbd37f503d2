#pragma once

#include "archiver/store/session.h"

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
    QString summary;    // lines joined by "\n"
    QString reportPath; // bilan.txt
    double seconds = 0;

    bool ok() const { return error.isEmpty(); }
};

// Reads every letter file once, in letter-list order, checks each line, rebuilds the category
// and support lists from what the records use (keeping ".bak" copies), and writes the report
// bilan.txt in the program folder, all under one hold of the folder's lock. onLetter is called
// before each letter file, onAnomaly for each broken line as it is met. A failure (lock busy,
// folder read-only) gives the error text.
AnalysisResult analyseCatalogue(ArchiverSession &session, const std::function<void(QChar letter)> &onLetter = {},
                                const std::function<void(const AnalysisAnomaly &)> &onAnomaly = {});
