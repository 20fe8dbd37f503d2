#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/language.h"
#include "archiver/store/record.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/settings.h"
#include "archiver/store/utilities.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// The record in hand: filled by the grid before the record card opens, edited by the card,
// whose flags the grid reads and clears when it closes.
struct CurrentRecord
{
    Record record;
    QString letterFile; // full path of the letter file the record belongs to
    bool deleted = false;
    bool modified = false;
    QString workLine; // the line most recently read from a letter file
};

// What the print-field dialog chose: the layout of a list, the grid columns of the fields in the
// order chosen (a column may come twice) and the character that fills the columns.
struct PrintChoice
{
    int layout = 0; // 0 a list in columns, 1 record cards
    QList<int> selection;
    QString fill = QStringLiteral(" ");
};

// Everything one run of the archiver shares between its windows and commands. The main window
// owns it and hands it by reference to each dialog; tests build one on a temporary folder.
struct ArchiverSession
{
    explicit ArchiverSession(const QString &programFolder, const QString &today)
        : folder(programFolder), date(today), catalogue(programFolder)
    {
    }

    QString folder; // ends with "/"
    // The user's home, where pages made from the records go; tests put a folder of their own.
    QString homeFolder = QDir::homePath();
    QString date;   // date of the day, "dd-mm-yyyy"
    Catalogue catalogue;
    CurrentRecord current;
    QString searchText;
    record::Field searchField = record::Field::All;
    QString replacementText;
    QString currentSupport;
    QString lastExtension; // typed in the entry form, kept for the rest of the run
    QStringList removableRoots;
    // The volumes mounted at the moment of asking; tests put a list of their own here.
    std::function<QList<media::Volume>()> mountedVolumes = media::mountedVolumes;
    TalvoSettings settings;
    TalvoSettings storedSettings; // as TALVO.INI held them when last read or written
    ListingBuffer listing;
    PrintChoice print;
    Language language;
    // The run's own scratch folder, made on first use and removed when the program closes.
    std::unique_ptr<QTemporaryDir> scratch;

    QString scratchFile(const QString &name)
    {
        if (!scratch) scratch = std::make_unique<QTemporaryDir>();
        return scratch->filePath(name);
    }
};
