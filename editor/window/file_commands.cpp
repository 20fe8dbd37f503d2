#include "editor/window/file_commands.h"

#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"
#include "common/widgets/cinput.h"
#include "common/widgets/companion.h"
#include "editor/text/editor_session.h"
#include "editor/window/editor_texts.h"
#include "editor/window/form1.h"

#include <QFileInfo>
#include <QMenu>
#include <QTextEdit>

namespace filecmd {

namespace {

void warn(Form1 &window, const QString &text)
{
    window.desktop().message(&window, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

// Writes the document to path; says why when it could not, and the file on disk is then as it was.
// A plain text the document's code page cannot hold may be kept as UTF-8 instead, on the user's word.
bool write(Form1 &window, const QString &path)
{
    QString error;
    bool written = false;
    if (window.modeTxt()) {
        doctext::Encoding encoding = window.encoding();
        const auto content = plainTextToSave(window.desktop(), &window, window.textToSave(), &encoding, window.crlf());
        window.setFileFormat(encoding, window.crlf());
        if (!content) return false;
        written = files::saveAtomically(path, *content, &error);
    } else {
        written = window.saveFile(path, &error);
    }
    if (!written) warn(window, editortexts::notSavedBecause(error));
    return written;
}

bool mayWriteTo(Form1 &window, const QString &path)
{
    return mayWriteOver(window.desktop(), &window, path, window.ownFile());
}

void saved(Form1 &window, const QString &path)
{
    window.setOwnFile(path);
    window.setModifie(false);
    window.MajMenus();
}

// Reads path and, once the document shown may go, shows it in its place.
void open(Form1 &window, const QString &path)
{
    QString error;
    const auto document = doctext::readDocument(path, &error);
    if (!document) {
        warn(window, error);
        return;
    }
    if (!mayLeave(window)) return;
    window.showDocument(path, *document);
    const QString extension = PartieChemin(path, QStringLiteral("extension")).toUpper();
    const bool html = !document->rtf && doctext::openedAs(extension) == doctext::OpenedAs::Html;
    // A page may not be turned into RTF; any other document may again.
    window.setOpenedAsPage(html);
    window.MajMenus();
    window.AjouterFichierRecent();
}

void startViewer(Form1 &window, const char *document)
{
    window.desktop().startProgram(files::executableFolder() + QStringLiteral("lisor5"),
                                  {window.session().helpDocument(QString::fromLatin1(document))});
}

} // namespace

void m_nouveau(Form1 &window)
{
    if (!mayLeave(window)) return;
    const QString answer = SaisieTexte(window.desktop(), &window, editortexts::kindPrompt(), editortexts::kindTitle(),
                                       QStringLiteral("0"), false);
    const bool plainText = answer != u"0";
    window.setUntitled(plainText);
    window.setModeTxt(plainText);
    window.showPlainText(QString());
    window.setFileFormat(doctext::Encoding::Utf8, false);
    window.setModifie(false);
    window.MajMenus();
}

void m_charger(Form1 &window)
{
    const QString path = window.desktop().openFileName(&window, editortexts::openTitle(),
                                                       window.session().settings.lastFolder, editortexts::openFilter());
    if (path.isEmpty()) warn(window, editortexts::openCancelled());
    else open(window, path);
    window.Text1()->setFocus();
}

void nom_fichier(Form1 &window, int index)
{
    const QStringList &recent = window.session().settings.recent;
    if (index >= 1 && index <= recent.size()) open(window, recent[index - 1]);
}

bool save(Form1 &window)
{
    if (window.untitled()) return saveAs(window);
    // A converted document has a name of its own that may be another file's.
    if (!mayWriteTo(window, window.caption()) || !write(window, window.caption())) return false;
    saved(window, window.caption());
    return true;
}

void m_sauver(Form1 &window) { save(window); }

bool saveAs(Form1 &window)
{
    const QString preset = window.untitled() ? doctext::documentsFolder() + QFileInfo(window.caption()).fileName()
                                             : window.caption();
    const QString path = window.desktop().saveFileName(&window, editortexts::saveAsTitle(), preset, QString(), false);
    if (path.isEmpty() || !mayWriteTo(window, path) || !write(window, path)) return false;
    window.setCaption(path);
    window.AjouterFichierRecent();
    saved(window, path);
    return true;
}

void m_sauver_sous(Form1 &window) { saveAs(window); }

void m_type(Form1 &window)
{
    const bool plainText = !window.modeTxt();
    window.setModeTxt(plainText);
    if (window.untitled()) window.setUntitled(plainText);
    else
        window.setCaption(PartieChemin(window.caption(), QStringLiteral("chemin et nom seul"))
                          + (plainText ? QStringLiteral(".txt") : QStringLiteral(".rtf")));
    // Nothing is written yet, but the document is now another file's content: closing asks.
    window.setModifie(true);
    // The next save goes through Save As or waits for a change.
    window.holdSave();
    window.MajMenus();
}

void m_encodage(Form1 &window)
{
    doctext::Encoding encoding = window.encoding();
    if (!turnEncoding(window.desktop(), &window, window.textToSave(), &encoding)) return;
    window.setFileFormat(encoding, window.crlf());
    // The file is to be written anew: saving is offered, and closing asks.
    window.setModifie(true);
    window.MajMenus();
}

void m_info(Form1 &window) { AfficherApropos(window.desktop(), &window, editortexts::aboutDescription()); }
void m_doc(Form1 &window) { startViewer(window, "redig.rtf"); }
void m_aide_HTM(Form1 &window) { startViewer(window, "aide_htm.rtf"); }

bool mayLeave(Form1 &window)
{
    // An untitled document that holds nothing has nothing to lose.
    const bool changed = window.modifie() && !(window.untitled() && window.isEmpty());
    return mayLeaveDocument(window.desktop(), &window, changed, editortexts::saveQuestion(window.caption()),
                            window.untitled() ? editortexts::notSaved() : QString(),
                            [&window] { return save(window); });
}

} // namespace filecmd
