#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/language.h"
#include "archiver/store/record.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/settings.h"
#include "archiver/store/utilities.h"

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

// Everything one run of the archiver shares between its windows and commands. The main window
// owns it and hands it by reference to each dialog; tests build one on a temporary folder.
struct ArchiverSession
{
    explicit ArchiverSession(const QString &programFolder, const QString &today)
        : folder(programFolder), date(today), catalogue(programFolder)
    {
    }

    QString folder; // ends with "/"
    QString date;   // date of the day, "dd-mm-yyyy"
    Catalogue catalogue;
    CurrentRecord current;
    QString searchText;
    record::Field searchField = record::Field::All;
    QString replacementText;
    QString currentSupport;
    QStringList removableRoots;
    // The volumes mounted at the moment of asking; tests put a list of their own here.
    std::function<QList<media::Volume>()> mountedVolumes = media::mountedVolumes;
    TalvoSettings settings;
    ListingBuffer listing;
    Language language;
    // The run's own scratch folder, made on first use and removed when the program closes.
    std::unique_ptr<QTemporaryDir> scratch;

    QString scratchFile(const QString &name)
    {
        if (!scratch) scratch = std::make_unique<QTemporaryDir>();
        return scratch->filePath(name);
    }
};
