#include "editor/window/file_commands.h"

#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/files/program_folder.h"
#include "common/widgets/apropos.h"
#include "common/widgets/cinput.h"
#include "editor/text/editor_session.h"
#include "editor/window/editor_texts.h"
#include "editor/window/form1.h"

#include <QDir>
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
bool write(Form1 &window, const QString &path)
{
    QString error;
    if (!window.saveFile(path, &error)) {
        warn(window, editortexts::notSavedBecause(error));
        return false;
    }
    return true;
}

void opened(Form1 &window)
{
    window.setModifie(false);
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
    Desktop &desktop = window.desktop();
    if (!window.isEmpty()
        && desktop.message(&window, editortexts::erase(window.caption()), QString(), Desktop::Buttons::YesNo)
               == Desktop::Answer::No)
        return;
    const QString answer = SaisieTexte(desktop, &window, editortexts::kindPrompt(), editortexts::kindTitle(),
                                       QStringLiteral("0"), false);
    const bool plainText = answer != u"0";
    window.setCaption(window.session().untitled(plainText));
    window.setModeTxt(plainText);
    window.showPlainText(QString());
    window.setFileFormat(doctext::Encoding::Utf8, false);
    window.setModifie(false);
    window.MajMenus();
}

void m_charger(Form1 &window)
{
    EditorSession &session = window.session();
    const QString path = window.desktop().openFileName(&window, QStringLiteral("OUVRIR"), session.settings.lastFolder,
                                                       editortexts::openFilter());
    if (path.isEmpty()) {
        warn(window, QStringLiteral("Ouverture annulée."));
        window.Text1()->setFocus();
        return;
    }
    const doctext::OpenedAs kind = doctext::openedAs(PartieChemin(path, QStringLiteral("extension")).toUpper());
    QString error;
    if (!window.loadFile(path, kind == doctext::OpenedAs::Rtf, &error)) {
        warn(window, error);
        window.Text1()->setFocus();
        return;
    }
    window.setCaption(path);
    window.setModeTxt(kind != doctext::OpenedAs::Rtf);
    // A page may not be turned into RTF; any other document may again.
    window.action("m_type")->setEnabled(kind != doctext::OpenedAs::Html);
    if (kind == doctext::OpenedAs::Html) window.action("m_txt_to_htm")->setEnabled(true);
    opened(window);
    window.Text1()->setFocus();
}

void nom_fichier(Form1 &window, int index)
{
    const QStringList &recent = window.session().settings.recent;
    if (index < 1 || index > recent.size()) return;
    const QString path = recent[index - 1];
    const bool rtf = doctext::namesRtf(path);
    QString error;
    if (!window.loadFile(path, rtf, &error)) {
        warn(window, error);
        return;
    }
    window.setModeTxt(!rtf);
    window.setCaption(path);
    opened(window);
}

void m_sauver(Form1 &window)
{
    if (window.caption() == window.session().untitled(false)) {
        saveAs(window);
        return;
    }
    if (!write(window, window.caption())) return;
    window.setModifie(false);
    window.MajMenus();
}

bool saveAs(Form1 &window)
{
    Desktop &desktop = window.desktop();
    const QString &lastFolder = window.session().settings.lastFolder;
    const QString preset = (lastFolder.isEmpty() ? QDir::homePath() + u'/' : lastFolder)
                           + (window.modeTxt() ? QStringLiteral("SansTitre.txt") : QStringLiteral("SansTitre.rtf"));
    const QString path = desktop.saveFileName(&window, QStringLiteral("ENREGISTRER SOUS..."), preset, QString(), false);
    if (path.isEmpty()) return false;
    if (QFileInfo::exists(path)
        && desktop.message(&window, editortexts::rewrite(), editortexts::fileExists(), Desktop::Buttons::YesNo)
               == Desktop::Answer::No)
        return false;
    if (!write(window, path)) return false;
    window.setCaption(path);
    window.AjouterFichierRecent();
    window.setModifie(false);
    window.MajMenus();
    return true;
}

void m_sauver_sous(Form1 &window) { saveAs(window); }

void m_type(Form1 &window)
{
    const bool plainText = !window.modeTxt();
    window.setModeTxt(plainText);
    window.setCaption(PartieChemin(window.caption(), QStringLiteral("chemin et nom seul"))
                      + (plainText ? QStringLiteral(".txt") : QStringLiteral(".rtf")));
    window.MajMenus();
    // The next save goes through Save As or waits for a change.
    window.action("m_sauver")->setEnabled(false);
}

void m_info(Form1 &window) { AfficherApropos(window.desktop(), &window, editortexts::aboutDescription()); }
void m_doc(Form1 &window) { startViewer(window, "redig.rtf"); }
void m_aide_HTM(Form1 &window) { startViewer(window, "aide_htm.rtf"); }

bool mayClose(Form1 &window)
{
    Desktop &desktop = window.desktop();
    const QString question = editortexts::saveQuestion(window.caption());
    if (!window.isEmpty() && window.caption() == window.session().untitled(false)) {
        if (desktop.message(&window, question, editortexts::notSaved(), Desktop::Buttons::YesNo) == Desktop::Answer::Yes)
            return saveAs(window);
        return true;
    }
    if (window.modifie() && desktop.message(&window, question, QString(), Desktop::Buttons::YesNo) == Desktop::Answer::Yes) {
        return write(window, window.caption());
    }
    return true;
}

} // namespace filecmd
