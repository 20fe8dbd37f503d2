#include "editor/window/edit_commands.h"

#include "common/desktop/desktop.h"
#include "common/richtext/replace.h"
#include "common/widgets/companion_texts.h"
#include "common/widgets/remplace.h"
#include "common/widgets/text_area.h"
#include "common/text/document_text.h"
#include "editor/text/editor_session.h"
#include "editor/window/editor_texts.h"
#include "editor/window/form1.h"

#include <QDate>
#include <QDialog>
#include <QLocale>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace editcmd {

namespace {

void align(Form1 &window, Qt::Alignment alignment) { window.Text1()->setAlignment(alignment); }

// Adds a line at the end of the text, as an edit of the document, and puts the caret there.
void appendLine(Form1 &window, const QString &line)
{
    window.Text1()->moveCursor(QTextCursor::End);
    window.Text1()->textCursor().insertText(line + u'\n');
    window.Text1()->moveCursor(QTextCursor::End);
}

// Replaces in the document itself, so that an RTF document keeps its formats and pictures; one
// step of the document's undo takes it all back.
void replaceInDocument(Form1 &window)
{
    EditorSession &session = window.session();
    window.SauverPourAnnuler();
    const Desktop::Progress progress = window.desktop().progress(&window, companiontexts::replacing());
    const richtext::Replaced done =
        richtext::replaceAll(window.Text1()->document(), session.motCherche, session.texteRemplacement, progress);
    if (done.cancelled) return;
    if (done.count == 0) {
        window.desktop().message(&window, editortexts::absent(session.motCherche));
        return;
    }
    session.positionRecherche = qint32(done.lastEnd + 1);
}

QString askLine(Form1 &window, const QString &prompt, const QString &title, const QString &initial, bool *given)
{
    const auto answer = window.desktop().inputText(&window, prompt, title, initial);
    *given = answer.has_value();
    QString line = answer.value_or(QString());
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    return line;
}

} // namespace

void m_annuler(Form1 &window)
{
    QString error;
    const bool plainText = window.modeTxt();
    const auto bytes = doctext::readDocumentFile(window.session().snapshotPath(plainText), &error);
    if (!bytes) {
        window.desktop().message(&window, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return;
    }
    if (plainText) {
        // The snapshot ends with the line end its writing added.
        QString text = QString::fromUtf8(*bytes);
        if (text.endsWith(u'\n')) text.chop(1);
        window.showPlainText(text);
    } else {
        window.showRtf(*bytes);
    }
    window.setModifie(true);
    window.setUndoable(false);
    window.MajMenus();
}

void ChercherSuivant(Form1 &window)
{
    EditorSession &session = window.session();
    const QString text = window.plainText();
    const qsizetype at = doctext::findIgnoringCase(text, session.motCherche, session.positionRecherche - 1);
    if (at < 0) {
        window.desktop().message(&window, editortexts::endOfText());
        session.positionRecherche = 1;
        return;
    }
    textarea::select(window.Text1(), at, session.motCherche.size());
    session.positionRecherche = qint32(at + 1 + session.motCherche.size());
}

void m_chercher(Form1 &window)
{
    EditorSession &session = window.session();
    bool given = false;
    session.motCherche = askLine(window, editortexts::whichWord(), editortexts::searchTitle(), QString(), &given);
    if (session.motCherche.isEmpty()) return;
    window.Text1()->setFocus();
    session.positionRecherche = 1;
    ChercherSuivant(window);
}

void m_suivant(Form1 &window)
{
    if (window.session().motCherche.isEmpty()) m_chercher(window);
    else ChercherSuivant(window);
}

void m_remplacer(Form1 &window)
{
    EditorSession &session = window.session();
    remplace dialog(session.motCherche, session.texteRemplacement, &window);
    // Closed without OK, the dialog asks for nothing.
    if (window.desktop().exec(&dialog) != QDialog::Accepted) return;
    if (session.motCherche.isEmpty() || session.texteRemplacement.isEmpty()) return;
    session.positionRecherche = 1;
    window.Text1()->setFocus();
    if (!window.modeTxt()) {
        replaceInDocument(window);
        return;
    }
    QString text = window.plainText();
    const QString before = text;
    qsizetype lastEnd = 0;
    if (doctext::replaceAllIgnoringCase(&text, session.motCherche, session.texteRemplacement, &lastEnd) == 0) {
        window.SauverPourAnnuler(&before);
        window.desktop().message(&window, editortexts::absent(session.motCherche));
        return;
    }
    // A plain text is set again whole, which is quicker than the same edits in the document.
    // The caret stays at the top: taking it to the last replacement would lay the whole text out.
    // The undo snapshot of the text before is written while the new text is put in.
    window.showPlainText(text, [&] { window.SauverPourAnnuler(&before); });
    window.setModifie(true);
    window.MajMenus(&text);
    session.positionRecherche = qint32(lastEnd + 1);
}

void tout(Form1 &window) { window.Text1()->selectAll(); }

void copier(Form1 &window) { window.desktop().setClipboardText(textarea::selectedText(*window.Text1())); }

void couper(Form1 &window)
{
    copier(window);
    window.Text1()->textCursor().removeSelectedText();
}

void coller(Form1 &window) { window.Text1()->textCursor().insertText(window.desktop().clipboardText()); }

void m_gras(Form1 &window) { textarea::toggleBold(window.Text1()); }
void m_italique(Form1 &window) { textarea::toggleItalic(window.Text1()); }
void m_souligner(Form1 &window) { textarea::toggleUnderline(window.Text1()); }

void m_titre(Form1 &window)
{
    textarea::toggleBold(window.Text1());
    textarea::toggleUnderline(window.Text1());
    QTextCharFormat colour;
    colour.setForeground(QColor(30, 105, 30));
    window.Text1()->mergeCurrentCharFormat(colour);
    m_sel_maj(window);
}

void m_gauche(Form1 &window) { align(window, Qt::AlignLeft | Qt::AlignAbsolute); }
void m_centrer(Form1 &window) { align(window, Qt::AlignHCenter); }
void m_droite(Form1 &window) { align(window, Qt::AlignRight | Qt::AlignAbsolute); }

void m_sel_maj(Form1 &window)
{
    const QString selected = textarea::selectedText(*window.Text1());
    if (!selected.isEmpty()) textarea::replaceSelection(window.Text1(), selected.toUpper());
}

void m_sel_min(Form1 &window)
{
    const QString selected = textarea::selectedText(*window.Text1());
    if (!selected.isEmpty()) textarea::replaceSelection(window.Text1(), selected.toLower());
}

void m_date(Form1 &window) { appendLine(window, QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat)); }
void m_ecrire_politesse(Form1 &window) { appendLine(window, window.session().settings.closing); }
void m_ecrire_signature(Form1 &window) { appendLine(window, window.session().settings.signature); }

void m_editer_politesse(Form1 &window)
{
    editor::EditorSettings &settings = window.session().settings;
    bool given = false;
    const QString text = askLine(window, QStringLiteral("Entrez le Texte :"), QStringLiteral("VOTRE FORMULE DE POLITESSE"),
                                 settings.closing, &given);
    if (!given) return;
    settings.closing = text;
    window.stateChanged();
}

void m_editer_signature(Form1 &window)
{
    editor::EditorSettings &settings = window.session().settings;
    bool given = false;
    const QString text = askLine(window, QStringLiteral("Entrez votre Texte :"), QStringLiteral("SIGNATURE"),
                                 settings.signature, &given);
    if (!given) return;
    settings.signature = text;
    window.stateChanged();
}

} // namespace editcmd
