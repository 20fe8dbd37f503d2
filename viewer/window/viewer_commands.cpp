#include "viewer/window/viewer_commands.h"

#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/widgets/apropos.h"
#include "common/widgets/remplace.h"
#include "common/widgets/text_area.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/lisor_window.h"

#include <QDir>
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
        window.desktop().message(&window, QStringLiteral("Fin de Texte atteinte"));
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
    const QString path = window.desktop().openFileName(&window, QStringLiteral("Charger"), QString(),
                                                       QStringLiteral("RTF (*.RTF *.rtf);;TXT (*.TXT *.txt);;INI (*.INI *.ini)"));
    QString error = QStringLiteral("Chargement annulé.");
    if (path.isEmpty() || !window.loadDocument(path, &error)) {
        warn(window, error);
        window.setSaved(ViewerSession::untitled());
        window.session().recordedLength = 0;
    }
}

bool save(Form1 &window)
{
    ViewerSession &session = window.session();
    QString path = session.currentFile;
    bool asRtf = !session.plainText;
    if (path == ViewerSession::untitled()) {
        path = window.desktop().saveFileName(&window, QStringLiteral("Sauver"),
                                             QDir::homePath() + u'/' + ViewerSession::untitled(), QString());
        if (path.isEmpty()) {
            warn(window, QStringLiteral("Enregistrement annulé."));
            return false;
        }
        asRtf = true;
    }
    QString error;
    const auto content = window.fileContent(asRtf, &error);
    if (!content || !files::saveAtomically(path, *content, &error)) {
        warn(window, QStringLiteral("Le document n'a pas été enregistré :\n") + error);
        return false;
    }
    if (asRtf) session.plainText = false;
    window.setSaved(path);
    return true;
}

void m_sauver(Form1 &window) { save(window); }

void m_chercher(Form1 &window)
{
    ViewerSession &session = window.session();
    const auto term = window.desktop().inputText(&window, QStringLiteral("Terme à rechercher :"), QStringLiteral("Lisor5"),
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
    window.desktop().exec(&dialog);
    if (!session.replaceWord.isEmpty() && !session.replacement.isEmpty()) {
        QString text = window.plainText();
        const qsizetype first = doctext::findIgnoringCase(text, session.replaceWord, 0);
        if (first < 0) {
            window.desktop().message(&window, session.replaceWord + QStringLiteral(" absent..."));
        } else {
            // The first occurrence is shown selected, then every one is replaced at once.
            textarea::select(window.texte2(), first, session.replaceWord.size());
            window.texte2()->repaint();
            qsizetype lastEnd = 0;
            doctext::replaceAllIgnoringCase(&text, session.replaceWord, session.replacement, &lastEnd);
            window.texte2()->setPlainText(text);
            textarea::select(window.texte2(), lastEnd - session.replacement.size(), session.replacement.size());
        }
    }
    session.replaceWord.clear();
    session.replacement.clear();
}

void m_rubr(Form1 &window) { window.showSections(); }

void m_imprimer(Form1 &window)
{
    const QTextCursor cursor = window.texte2()->textCursor();
    if (!cursor.hasSelection()) {
        window.desktop().print(&window, *window.texte2()->document(), window.session().currentFile);
        return;
    }
    QTextDocument selection;
    QTextCursor(&selection).insertFragment(cursor.selection());
    window.desktop().print(&window, selection, window.session().currentFile);
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
    AfficherApropos(window.desktop(), &window, QStringLiteral("L' Afficheur de Docs d' TALVO"));
    const QStringList help = {
        QStringLiteral("lisor5, l'afficheur de documents de la suite Talvo5"),
        QStringLiteral("Il peut afficher un fichier TXT ou RTF ou INI"),
        QStringLiteral("Il crée automatiquement une Liste des Rubriques"),
        QStringLiteral("chaque rubrique devant être balisée dans le Texte par [ et ] "),
        QStringLiteral("lisor5 peut s'exécuter avec paramètre :"),
        QStringLiteral("Exemple : lisor5 vbhelp.txt"),
        QStringLiteral("NOTE IMPORTANTE : N'utilisez pas de caractères accentués dans les Rubriques..."),
    };
    window.desktop().message(&window, help.join(u'\n'));
}

bool mayClose(Form1 &window)
{
    if (!window.session().modified || save(window)) return true;
    return window.desktop().message(&window, QStringLiteral("Fermer sans enregistrer les changements ?"), QString(),
                                    Desktop::Buttons::YesNo, Desktop::Icon::Warning)
           == Desktop::Answer::Yes;
}

} // namespace viewercmd
