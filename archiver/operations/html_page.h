#pragma once

#include "archiver/store/record.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The pictures of a result list as pages: the list file handed to the outside thumbnail tool,
// and the HTML page that shows every JPEG and GIF picture at its own size in a table, chosen
// fields of its record under it.
namespace htmlpage {

// The targets of the rows whose support is empty (a local file) and whose extension is one of
// the album's picture extensions, in row order.
QStringList albumPictures(const QList<Record> &rows);
// Whether a target is a picture of the page (.JPG, .JPE, .JPEG, .GIF, case aside).
bool isPagePicture(const QString &target);

struct Options
{
    QString name = QStringLiteral("ma_page.htm"); // the page's file name
    QString title = QStringLiteral("Voici ma page Web");
    QString fields = QStringLiteral("012345"); // grid columns shown under each picture, in order
    int columns = 1;                           // pictures per table row
    bool parchment = false;                    // the shipped back.gif as the page's background
    int copyMode = 2; // 0 the pictures where they are, 1 copied under their names, 2 numbered
    // What the user allowed beyond the program's own files: writing into a folder of that name
    // that the program did not make (its files stay as they are), and replacing a page of that
    // name that the program did not write.
    bool intoOthersFolder = false;
    bool replaceOthersPage = false;
};

// The page's file name as typed, ".htm" added when it holds none (case aside), made safe; and
// the working folder beside it under home: home/<name without its extension>.
QString pageFileName(const QString &typed);
QString workingFolder(const QString &home, const QString &typed);

// Where a page goes, and what of the user's already stands there. The program keeps, in each
// working folder it writes to, the list of the files it wrote there (with their size and time):
// a file counts as the program's while it is still the one written, and only those are ever
// replaced.
struct Place
{
    QString folder;            // home/<name without its extension>
    QString page;              // folder/<name>
    bool othersFolder = false; // the folder exists and the program never wrote to it
    bool othersPage = false;   // a page of that name lies there that the program did not write
    bool blocked =
        false; // what stands at the folder's or the page's path is not a folder or a file
    bool clear() const { return !othersFolder && !othersPage && !blocked; }
};
Place placeOf(const QString &home, const QString &typed);
// The typed name with "_2", "_3"... before its extension: the first whose place is clear.
QString freeName(const QString &home, const QString &typed);
// The hidden file of a working folder that lists what the program wrote there.
inline constexpr char kWrittenList[] = ".talvo5-page";

struct Outcome
{
    int pictures = 0;  // pictures placed on the page; no page is written without one
    QString folder;    // the working folder
    QString page;      // the page written, empty when none
    QStringList problems; // what went wrong with single pictures (the page is made without them)
    QString error; // the page could not be written, or its place holds what the user did not let
                   // it replace: then nothing at all is written
};

// Measures a picture without decoding it; nothing (with the reason) when it cannot be read.
using Measure = std::function<std::optional<QSize>(const QString &path, QString *errorText)>;
// Called before a picture of a record that has a support and is not where the record says, so
// that the medium can be inserted.
using AskMedium = std::function<void(const Record &r)>;

// Builds the page from the rows, copying the pictures (and back.gif from programFolder) into
// the working folder as the options say. Nothing but the program's own files is ever replaced: a
// picture that already lies in the working folder is shown where it is, and a copy whose name
// the user's file holds takes the next free name. Titles and record texts are escaped, picture
// sources written as URLs. Lines end with CR LF; the page is UTF-8. Nothing is written when no
// row is a page picture.
Outcome build(const QList<Record> &rows, const Options &options, const QString &programFolder, const QString &home,
              const Measure &measure, const AskMedium &askMedium = {});

} // namespace htmlpage
