#include "viewer/window/viewer_commands.h"

#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/richtext/replace.h"
#include "common/richtext/rtf.h"
#include "common/widgets/apropos.h"
#include "common/widgets/companion.h"
#include "common/widgets/companion_texts.h"
#include "common/widgets/remplace.h"
#include "common/widgets/text_area.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/lisor_window.h"
#include "viewer/window/viewer_texts.h"

#include <QDialog>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace viewercmd {

namespace {

void warn(Form1 &window, const QString &text)
{
    window.desktop().message(&window, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

void search(Form1 &window)
{
    ViewerSession &session = window.session();
    window.texte2()->setFocus();
    const qsizetype at = doctext::findIgnoringCase(window.plainText(), session.searchTerm, session.searchPosition - 1);
    if (at < 0) {
        window.desktop().message(&window, viewertexts::endOfText());
        session.searchPosition = 1;
        return;
    }
    textarea::select(window.texte2(), at, session.searchTerm.size());
    session.searchPosition = qint32(at + 1 + session.searchTerm.size());
}

void colour(Form1 &window, QColor colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    window.texte2()->mergeCurrentCharFormat(format);
}

} // namespace

void m_charger(Form1 &window)
{
    const QString path = window.desktop().openFileName(&window, viewertexts::openTitle(), QString(),
                                                       viewertexts::openFilter());
    if (path.isEmpty()) {
        warn(window, viewertexts::openCancelled());
        return;
    }
    QString error;
    const auto document = doctext::readDocument(path, &error);
    if (!document) {
        warn(window, error);
        return;
    }
    if (mayLeave(window)) window.showDocument(path, *document);
}

bool save(Form1 &window)
{
    ViewerSession &session = window.session();
    const bool untitled = session.currentFile == ViewerSession::untitled();
    QString path = session.currentFile;
    bool asRtf = !session.plainText;
    if (untitled) {
        path = window.desktop().saveFileName(&window, viewertexts::saveTitle(),
                                             doctext::documentsFolder() + ViewerSession::untitled(), QString(), false);
        if (path.isEmpty()) {
            warn(window, viewertexts::saveCancelled());
            return false;
        }
        if (!mayWriteOver(window.desktop(), &window, path, QString())) return false;
        asRtf = true;
    }
    QString error;
    std::optional<QByteArray> content;
    if (asRtf) {
        content = richtext::write(*window.texte2()->document());
    } else {
        content = plainTextToSave(window.desktop(), &window, window.textToSave(), &session.encoding, session.crlf);
        window.updateStatus();
        if (!content) return false;
    }
    if (!files::saveAtomically(path, *content, &error)) {
        warn(window, viewertexts::notSavedBecause(error));
        return false;
    }
    if (asRtf) session.plainText = false;
    window.setSaved(path);
    return true;
}

void m_sauver(Form1 &window) { save(window); }

void m_encodage(Form1 &window)
{
    if (!turnEncoding(window.desktop(), &window, window.textToSave(), &window.session().encoding)) return;
    // The file is to be written anew: closing asks.
    window.texte2()->document()->setModified(true);
    window.updateStatus();
}

void m_chercher(Form1 &window)
{
    ViewerSession &session = window.session();
    const auto term = window.desktop().inputText(&window, viewertexts::searchPrompt(), viewertexts::programTitle(),
                                                 session.searchTerm);
    if (!term) return;
    session.searchTerm = *term;
    session.searchPosition = 1;
    if (!session.searchTerm.isEmpty()) search(window);
}

void m_suivant(Form1 &window)
{
    if (!window.session().searchTerm.isEmpty()) search(window);
}

void m_remplacer(Form1 &window)
{
    ViewerSession &session = window.session();
    remplace dialog(session.replaceWord, session.replacement, &window);
    // Closed without OK, the dialog asks for nothing.
    if (window.desktop().exec(&dialog) == QDialog::Accepted && !session.replaceWord.isEmpty()
        && !session.replacement.isEmpty()) {
        // In the document itself: formats and pictures stay, and one undo takes it all back.
        const Desktop::Progress progress = window.desktop().progress(&window, companiontexts::replacing());
        const richtext::Replaced done =
            richtext::replaceAll(window.texte2()->document(), session.replaceWord, session.replacement, progress);
        if (done.count > 0)
            textarea::select(window.texte2(), done.lastEnd - session.replacement.size(), session.replacement.size());
        else if (!done.cancelled)
            window.desktop().message(&window, viewertexts::absent(session.replaceWord));
    }
    session.replaceWord.clear();
    session.replacement.clear();
}

void m_rubr(Form1 &window) { window.showSections(); }

void m_imprimer(Form1 &window)
{
    const QTextCursor cursor = window.texte2()->textCursor();
    // The print dialog makes its PDF file's name from this one: the document's name alone.
    const QString name = QFileInfo(window.session().currentFile).fileName();
    if (!cursor.hasSelection()) {
        window.desktop().print(&window, *window.texte2()->document(), name);
        return;
    }
    QTextDocument selection;
    QTextCursor(&selection).insertFragment(cursor.selection());
    window.desktop().print(&window, selection, name);
}

void m_copier(Form1 &window) { window.desktop().setClipboardText(textarea::selectedText(*window.texte2())); }

void m_greenl(Form1 &window) { colour(window, QColor(0, 150, 0)); }
void m_red(Form1 &window) { colour(window, QColor(150, 0, 0)); }
void m_blue(Form1 &window) { colour(window, QColor(0, 0, 150)); }
void m_black(Form1 &window) { colour(window, QColor(0, 0, 0)); }
void m_white(Form1 &window) { colour(window, QColor(255, 255, 255)); }

void m_soul(Form1 &window) { textarea::toggleUnderline(window.texte2()); }
void m_gras(Form1 &window) { textarea::toggleBold(window.texte2()); }
void m_italique(Form1 &window) { textarea::toggleItalic(window.texte2()); }

void m_normal(Form1 &window)
{
    QTextCharFormat format;
    format.setForeground(QColor(0, 0, 0));
    format.setFontWeight(QFont::Normal);
    format.setFontUnderline(false);
    format.setFontItalic(false);
    window.texte2()->mergeCurrentCharFormat(format);
}

void m_min(Form1 &window) { textarea::replaceSelection(window.texte2(), textarea::selectedText(*window.texte2()).toLower()); }
void m_maj(Form1 &window) { textarea::replaceSelection(window.texte2(), textarea::selectedText(*window.texte2()).toUpper()); }

void m_tri_sel(Form1 &window)
{
    textarea::replaceSelection(window.texte2(), viewer::sortedLines(textarea::selectedText(*window.texte2())));
}

void m_info(Form1 &window)
{
    AfficherApropos(window.desktop(), &window, viewertexts::aboutDescription());
    window.desktop().message(&window, viewertexts::helpLines());
}

bool mayLeave(Form1 &window)
{
    const ViewerSession &session = window.session();
    const bool untitled = session.currentFile == ViewerSession::untitled();
    // An untitled document that holds nothing has nothing to lose.
    const bool changed = window.isModified() && !(untitled && window.texte2()->document()->isEmpty());
    return mayLeaveDocument(window.desktop(), &window, changed, viewertexts::saveQuestion(session.currentFile),
                            QString(), [&window] { return save(window); });
}

} // namespace viewercmd
