#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "archiver/store/record.h"

class Desktop;
class LineOrder;
class QComboBox;
class QListWidget;
class QWidget;
struct ArchiverSession;

// What every dialog of the archiver does the same way. A dialog is built with the run's session,
// the desktop and a parent; it takes its texts in its constructor from the language the session
// has already loaded, and is shown through Desktop::exec, which places it.
namespace entry {
struct Refusal;
}

namespace forms {

// Gives a dialog the texts of the session's language: its section is named after the dialog's
// objectName, its keys after its controls' names.
void translate(QWidget *dialog, const ArchiverSession &session);

// Message n of the session's language.
QString message(const ArchiverSession &session, int n);

// Why typed text cannot be stored (a control character, or one the catalogue's code page cannot
// hold), naming the character; empty when it can.
QString refusal(QStringView text);

// The text of a refusal of the record checks: its numbered message, or its own text.
QString refusalText(const ArchiverSession &session, const entry::Refusal &refusal);

// Whether text typed for one field of a record can be stored there; when it cannot, the refusal
// is shown (a warning naming the character) and the answer is false.
bool acceptField(QWidget *dialog, const ArchiverSession &session, Desktop &desktop, record::Field field,
                 QStringView text);

// Starts a companion program of the suite (redig5, pictel5, lisor5) from the programs' folder
// with its arguments, each one argument whatever it holds; when it cannot be started, says so
// over parent and returns false.
bool startCompanion(QWidget *parent, Desktop &desktop, const QString &program, const QStringList &arguments);

// The outside utilities that the finder and the Tools menu hand a file to, by their fixed names
// in the program folder.
inline constexpr char kAlbumViewer[] = "talvo5-album";
inline constexpr char kZipTool[] = "talvo5-zip";
inline constexpr char kThumbnailTool[] = "talvo5-vignettes";

// Starts an outside utility of the program folder (its name matched without case) with its
// arguments; when it cannot be started, says so over parent and returns false.
bool startOutsideTool(QWidget *parent, Desktop &desktop, const ArchiverSession &session, const QString &program,
                      const QStringList &arguments);
// Writes list to temp.alb in the run's scratch folder, which goes when the program closes (the
// tool reads it in its own time), and starts the tool on it; a failure is said over parent.
bool handListToTool(QWidget *parent, Desktop &desktop, ArchiverSession &session, const QString &program,
                    const QByteArray &list);

// Lists and combo boxes that keep their items sorted keep them in the letter files' order (case
// and accents aside, as a sorted list box does). Filling replaces every item; inserting puts one
// item at its place, after its equals, and returns its row.
QStringList sorted(QStringList names, const LineOrder &order);
void fillSorted(QListWidget *list, const QStringList &names, const LineOrder &order);
void fillSorted(QComboBox *box, const QStringList &names, const LineOrder &order);
int insertSorted(QListWidget *list, const QString &name, const LineOrder &order);
int insertSorted(QComboBox *box, const QString &name, const LineOrder &order);

} // namespace forms
