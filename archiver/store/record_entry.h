#pragma once

#include "archiver/store/catalogue.h"
#include "archiver/store/record.h"

#include <QString>

#include <optional>

// The checks a new or rewritten record passes before it is written.
namespace entry {

// Why a record is refused: a numbered message of the language file, or a text of its own when no
// message says it.
struct Refusal
{
    int message = 0;
    QString text;
};

// The record as the entry form stores it: key and note in capitals of the code page.
Record normalised(Record r);

// Refuses a key the catalogue cannot hold (separators, first character), a character the files
// cannot hold, a line break or another control character, a separator in a field where it would shift the fields after it
// when the line is read back, and a line over the length limit.
std::optional<Refusal> check(const Record &r);

// The same checks for the text of one field typed on its own (a support name, a category, a
// memo note): what a record holding it would be refused for; the key's first character aside.
std::optional<Refusal> checkField(record::Field field, QStringView text);

// Stores a checked record as the entry form does: its support registered in the support list
// (and, with addCategory, its category in the category list), then its line appended to its
// letter file, which is sorted. When the line cannot be saved the lists are put back as they
// were. currentFile (when given) receives the letter file written.
bool store(const FolderLock &lock, const Catalogue &catalogue, const Record &r, bool addCategory,
           QString *currentFile, QString *errorText);

} // namespace entry
