#include "common/desktop/scripted_desktop.h"
#include "common/widgets/text_area.h"
#include "editor/text/editor_session.h"
#include "editor/text/editor_settings.h"
#include "editor/window/form1.h"
#include "tests/support/test_folder.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "common/files/atomic_file.h"
#include "common/richtext/rtf.h"

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

struct Editor
{
    TestFolder folder;
    ScriptedDesktop desktop;
    std::unique_ptr<EditorSession> session;
    std::unique_ptr<Form1> window;

    void start(const QStringList &arguments = {})
    {
        session = std::make_unique<EditorSession>(folder.path());
        window = std::make_unique<Form1>(*session, desktop);
        window->Form_Load(arguments);
    }
    // Menu entries by their names, as the user finds them.
    QAction *entry(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    void trigger(const char *name) { entry(name)->trigger(); }
    bool enabled(const char *name) const { return entry(name)->isEnabled(); }
    bool menuEnabled(const char *name) const { return window->menu(name)->menuAction()->isEnabled(); }
    QString text() const { return window->plainText(); }
    void type(const QString &text) { window->Text1()->textCursor().insertText(text); }
    // Answers the input box Cinput with text.
    void answerCinput(const QString &text)
    {
        desktop.dialogHandlers.append([text](QDialog *d) {
            auto *box = d->findChild<QLineEdit *>(QStringLiteral("saisie"));
            box->setText(text);
            QTest::keyClick(box, Qt::Key_Return);
            return d->result();
        });
    }
    void answerRemplace(const QString &word, const QString &replacement)
    {
        desktop.dialogHandlers.append([word, replacement](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("cible"))->setText(word);
            d->findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(replacement);
            d->findChild<QPushButton *>(QStringLiteral("ok_auto"))->click();
            return d->result();
        });
    }
};

} // namespace

TEST(Form1, StartsWithTheMenusOfAnEmptyDocument)
{
    Editor e;
    e.start();
    EXPECT_EQ(e.window->caption(), e.folder.path() + QStringLiteral("SansTitre.txt"));
    EXPECT_TRUE(e.window->modeTxt());
    for (const char *menu : {"m1", "m4", "m55", "m5", "mnufonts"}) EXPECT_FALSE(e.menuEnabled(menu)) << menu;
    for (const char *name : {"m_merger", "m_sauver", "m_sauver_sous", "m_assistant", "m_imprimer", "m_htm",
                             "m_txt_to_htm", "m_annuler", "copier", "couper", "coller", "m_ortho", "m_traduire",
                             "m_trad2", "m_doc", "m_aide_HTM"})
        EXPECT_FALSE(e.enabled(name)) << name;
    for (const char *name : {"m_nouveau", "m_charger", "m_type", "m_info", "m_police"}) EXPECT_TRUE(e.enabled(name)) << name;
    EXPECT_EQ(e.entry("m_type")->text(), QStringLiteral("en RTF"));
    EXPECT_EQ(e.entry("m_remplacer")->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(e.entry("m_suivant")->shortcut(), QKeySequence(Qt::Key_F3));

    // A command under a disabled menu does nothing, even from its shortcut.
    e.trigger("m_remplacer");
    EXPECT_TRUE(e.desktop.dialogs.isEmpty());

    // Typing enables the edit menu and the plain-text tools; a selection enables SELECTION.
    e.type(QStringLiteral("Bonjour"));
    EXPECT_TRUE(e.menuEnabled("m1"));
    EXPECT_TRUE(e.menuEnabled("m4"));
    EXPECT_TRUE(e.enabled("m_sauver"));
    EXPECT_FALSE(e.menuEnabled("m5"));
    e.trigger("tout");
    EXPECT_TRUE(e.menuEnabled("m5"));
    EXPECT_TRUE(e.enabled("copier"));
    EXPECT_FALSE(e.enabled("m_gras")); // RTF formatting only in RTF mode
    e.type(QStringLiteral("<HTML><body>"));
    EXPECT_TRUE(e.enabled("m_htm"));
    EXPECT_FALSE(e.enabled("m_type"));
}

TEST(Form1, TheCommandLineOpensAQuotedPathAndChoosesTheKind)
{
    Editor e;
    QDir().mkpath(e.folder.file(QStringLiteral("mes docs.RTF")));
    const QString rtfPath = e.folder.file(QStringLiteral("mes docs.RTF/la note.txt"));
    e.folder.write(QStringLiteral("mes docs.RTF/la note.txt"), QByteArray("{\\rtf1\\ansi {\\b Gras} et r\\'e9el}"));
    e.start({QStringLiteral("\"") + rtfPath.section(u' ', 0, 0), rtfPath.section(u' ', 1) + QStringLiteral("\"")});
    EXPECT_EQ(e.window->caption(), rtfPath);
    // A ".RTF" in a folder's name does not make a ".txt" file RTF: it is shown as it is.
    EXPECT_TRUE(e.window->modeTxt());
    EXPECT_EQ(e.text(), QStringLiteral("{\\rtf1\\ansi {\\b Gras} et r\\'e9el}"));
    EXPECT_FALSE(e.window->modifie());
    EXPECT_FALSE(e.menuEnabled("m55"));
    EXPECT_EQ(e.session->settings.recent, QStringList{rtfPath});

    // A note still to be written opens empty under its own name; a binary file is refused.
    Editor fresh;
    fresh.start({fresh.folder.file(QStringLiteral("NOTES/nouvelle.TXT"))});
    EXPECT_EQ(fresh.window->caption(), fresh.folder.file(QStringLiteral("NOTES/nouvelle.TXT")));
    EXPECT_TRUE(fresh.text().isEmpty());
    Editor binary;
    binary.folder.write(QStringLiteral("prog"), QByteArray("\x7f" "ELF\0\0\0", 7));
    binary.start({binary.folder.file(QStringLiteral("prog"))});
    EXPECT_EQ(binary.window->caption(), binary.folder.path() + QStringLiteral("SansTitre.txt"));
    ASSERT_EQ(binary.desktop.messages.size(), 1);
    EXPECT_TRUE(binary.desktop.messages[0].text.contains(QStringLiteral("n'est pas un texte")));
}

TEST(Form1, SettingsAreReadAtStartAndWrittenAtClose)
{
    Editor e;
    QStringList lines(15, QStringLiteral("Libre"));
    lines[1] = QStringLiteral("DejaVu Sans");
    lines[2] = QStringLiteral(" 14");
    lines[4] = QStringLiteral("Jean");
    lines.append(QStringLiteral(" 2"));
    lines << e.folder.file(QStringLiteral("a.txt")) << e.folder.file(QStringLiteral("b.rtf"));
    e.folder.write(QStringLiteral("redig.ini"), lines.join(QStringLiteral("\r\n")).toLatin1());
    e.folder.write(QStringLiteral("TALVO.CAT"), "DIVERS\r\nANGLAIS\r\n");
    e.folder.write(QStringLiteral("b.rtf"), "{\\rtf1 Deux}");
    e.start();
    EXPECT_EQ(e.window->Text1()->currentFont().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(e.window->Text1()->currentFont().pointSizeF(), 14);
    EXPECT_TRUE(e.enabled("m_traduire"));
    ASSERT_TRUE(e.entry("nom_fichier(2)"));
    e.entry("nom_fichier(2)")->trigger();
    EXPECT_EQ(e.text(), QStringLiteral("Deux"));
    EXPECT_FALSE(e.window->modeTxt());

    e.window->close();
    const editor::EditorSettings saved = editor::readSettings(e.folder.file(QStringLiteral("redig.ini")));
    EXPECT_EQ(saved.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(saved.signature, QStringLiteral("Jean"));
    EXPECT_EQ(saved.recent.size(), 2);
    EXPECT_EQ(saved.lastFolder, e.folder.path());
    EXPECT_TRUE(e.desktop.messages.isEmpty()); // nothing changed: no question
}

TEST(Form1, OpenFollowsTheExtensionAndKeepsThePathsCase)
{
    Editor e;
    e.start();
    struct Case { const char *name; QByteArray bytes; bool modeTxt; bool typeEnabled; QString text; };
    const Case cases[] = {
        {"notes.Txt", "caf\xe9\r\n", true, true, QStringLiteral("café\n")},
        {"Page.SHTML", "<p>x</p>", true, false, QStringLiteral("<p>x</p>")},
        {"lettre.rtf", "{\\rtf1 {\\i pench\\'e9}}", false, true, QStringLiteral("penché")},
        {"donnees.csv", "a;b", true, true, QStringLiteral("a;b")},
    };
    for (const Case &c : cases) {
        e.folder.write(QString::fromLatin1(c.name), c.bytes);
        e.desktop.fileNames.append(e.folder.file(QString::fromLatin1(c.name)));
        e.trigger("m_charger");
        EXPECT_EQ(e.window->caption(), e.folder.file(QString::fromLatin1(c.name)));
        EXPECT_EQ(e.window->modeTxt(), c.modeTxt) << c.name;
        EXPECT_EQ(e.enabled("m_type"), c.typeEnabled) << c.name;
        EXPECT_EQ(e.text(), c.text) << c.name;
    }
    EXPECT_EQ(e.desktop.fileFilters.first(), QStringLiteral("RTF (*.RTF *.rtf);;TXT (*.TXT *.txt);;Tout (*)"));

    // A file that cannot be opened leaves the document as it was.
    e.folder.write(QStringLiteral("zero.bin"), QByteArray(10, '\0'));
    e.desktop.fileNames.append(e.folder.file(QStringLiteral("zero.bin")));
    e.trigger("m_charger");
    EXPECT_EQ(e.window->caption(), e.folder.file(QStringLiteral("donnees.csv")));
    EXPECT_EQ(e.text(), QStringLiteral("a;b"));
}

TEST(Form1, SavesKeepTheLineEndsTheEncodingAndNeverLoseTheFile)
{
    Editor e;
    e.folder.write(QStringLiteral("liste.txt"), "ligne \xe9\r\n");
    e.start({e.folder.file(QStringLiteral("liste.txt"))});
    for (int round = 1; round <= 2; ++round) {
        e.type(QStringLiteral("x"));
        e.trigger("m_sauver");
        EXPECT_FALSE(e.window->modifie());
    }
    // Each save writes what was typed and nothing more, in the file's own encoding and line ends.
    EXPECT_EQ(e.folder.read(QStringLiteral("liste.txt")), QByteArray("xxligne \xe9\r\n"));

    // A character the old code page cannot hold is named, and without a Yes to UTF-8 the file
    // stays as it was.
    e.type(QStringLiteral("→"));
    e.desktop.answers << Desktop::Answer::No;
    e.trigger("m_sauver");
    ASSERT_FALSE(e.desktop.messages.isEmpty());
    EXPECT_TRUE(e.desktop.messages.last().text.contains(QStringLiteral("→")));
    EXPECT_EQ(e.desktop.messages.last().buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(e.window->modifie());
    EXPECT_EQ(e.folder.read(QStringLiteral("liste.txt")), QByteArray("xxligne \xe9\r\n"));

    // A folder that cannot be written: the error is told, the text stays, the file is intact.
    Editor ro;
    QDir().mkpath(ro.folder.file(QStringLiteral("doc")));
    ro.folder.write(QStringLiteral("doc/lettre.txt"), "avant\n");
    ro.start({ro.folder.file(QStringLiteral("doc/lettre.txt"))});
    ro.type(QStringLiteral("après "));
    {
        Immutable locked(ro.folder.file(QStringLiteral("doc")));
        if (!locked.set) GTEST_SKIP() << "chattr +i is refused here";
        ro.trigger("m_sauver");
    }
    ASSERT_EQ(ro.desktop.messages.size(), 1);
    EXPECT_TRUE(ro.desktop.messages[0].text.startsWith(QStringLiteral("Le document n'a pas été enregistré")));
    EXPECT_EQ(ro.folder.read(QStringLiteral("doc/lettre.txt")), QByteArray("avant\n"));
    EXPECT_EQ(ro.text(), QStringLiteral("après avant\n"));
    EXPECT_TRUE(ro.window->modifie());
}

TEST(Form1, SaveAsNewAndConvertFollowTheirQuestions)
{
    Editor e;
    e.start();
    e.answerCinput(QStringLiteral("0"));
    e.trigger("m_nouveau");
    EXPECT_EQ(e.window->caption(), e.folder.path() + QStringLiteral("SansTitre.rtf"));
    EXPECT_FALSE(e.window->modeTxt());
    e.type(QStringLiteral("Texte riche"));
    e.trigger("tout");
    e.trigger("m_gras");

    // Saving the untitled RTF document goes through Save As; an existing file is asked about.
    const QString target = e.folder.file(QStringLiteral("riche.rtf"));
    e.folder.write(QStringLiteral("riche.rtf"), "ancien");
    e.desktop.fileNames << target << target;
    e.desktop.answers << Desktop::Answer::No << Desktop::Answer::Yes;
    e.trigger("m_sauver");
    EXPECT_EQ(e.folder.read(QStringLiteral("riche.rtf")), QByteArray("ancien"));
    EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("Ré-écrire ?"));
    EXPECT_EQ(e.desktop.messages.last().title, QStringLiteral("Ce fichier existe déjà..."));
    EXPECT_TRUE(e.desktop.saveFolders.last().endsWith(QStringLiteral("SansTitre.rtf")));
    e.trigger("m_sauver_sous");
    EXPECT_EQ(e.window->caption(), target);
    const QByteArray saved = e.folder.read(QStringLiteral("riche.rtf"));
    EXPECT_TRUE(saved.startsWith("{\\rtf1")) << saved.constData();
    EXPECT_TRUE(saved.contains("\\b")) << saved.constData();

    // Converting renames the caption only.
    e.trigger("m_type");
    EXPECT_EQ(e.window->caption(), e.folder.file(QStringLiteral("riche.txt")));
    EXPECT_TRUE(e.window->modeTxt());
    EXPECT_FALSE(e.enabled("m_sauver"));
    EXPECT_FALSE(e.folder.exists(QStringLiteral("riche.txt")));

    // New on a converted document asks first; Cancel keeps it.
    e.desktop.answers << Desktop::Answer::Cancel;
    e.trigger("m_nouveau");
    EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("Sauvegarder ") + target.chopped(4) + QStringLiteral(".txt ?"));
    EXPECT_EQ(e.text(), QStringLiteral("Texte riche"));
}

TEST(Form1, ClosingAsksWhatTheDocumentNeeds)
{
    {
        Editor e;
        e.start();
        e.answerCinput(QStringLiteral("0"));
        e.trigger("m_nouveau");
        EXPECT_TRUE(e.window->close()); // an empty untitled RTF document asks nothing
        EXPECT_TRUE(e.desktop.messages.isEmpty());
    }
    {
        Editor e;
        e.folder.write(QStringLiteral("a.txt"), "un");
        e.start({e.folder.file(QStringLiteral("a.txt"))});
        e.type(QStringLiteral("deux "));
        e.desktop.answers << Desktop::Answer::Yes;
        EXPECT_TRUE(e.window->close());
        EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("Sauvegarder ") + e.folder.file(QStringLiteral("a.txt")) + QStringLiteral(" ?"));
        EXPECT_EQ(e.folder.read(QStringLiteral("a.txt")), QByteArray("deux un"));
    }
    {
        // A save that fails keeps the window open with its text.
        Editor e;
        e.answerCinput(QStringLiteral("0"));
        e.start();
        e.trigger("m_nouveau");
        e.type(QStringLiteral("à garder"));
        e.desktop.answers << Desktop::Answer::Yes;
        e.desktop.fileNames << e.folder.file(QStringLiteral("absent/dossier/x.rtf"));
        EXPECT_FALSE(e.window->close());
        EXPECT_EQ(e.desktop.messages.first().title, QStringLiteral("Texte non sauvegardé !"));
        EXPECT_EQ(e.text(), QStringLiteral("à garder"));
    }
}

TEST(Form1, ReplaceAllFindAndUndoShareTheSearchWord)
{
    Editor e;
    e.start();
    e.type(QStringLiteral("banana Banane"));
    e.answerRemplace(QStringLiteral("a"), QStringLiteral("aa"));
    e.trigger("m_remplacer");
    EXPECT_EQ(e.text(), QStringLiteral("baanaanaa Baanaane"));
    EXPECT_TRUE(e.enabled("m_annuler"));
    EXPECT_TRUE(e.desktop.messages.isEmpty());

    // After a replace, "Suivant" looks for the same word from after the last replacement, then
    // starts again at the top.
    e.trigger("m_suivant");
    EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("Fin de Texte atteinte"));
    e.trigger("m_suivant");
    EXPECT_EQ(e.window->Text1()->textCursor().selectionStart(), 1);
    EXPECT_EQ(e.window->Text1()->textCursor().selectedText(), QStringLiteral("a"));

    e.trigger("m_annuler");
    EXPECT_EQ(e.text(), QStringLiteral("banana Banane"));
    EXPECT_FALSE(e.enabled("m_annuler"));

    e.answerRemplace(QStringLiteral("zèbre"), QStringLiteral("cheval"));
    e.trigger("m_remplacer");
    EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("zèbre absent..."));
    // Closed without OK: the words stay, and nothing is replaced without a replacement.
    e.desktop.dialogHandlers.append([](QDialog *d) { d->close(); return d->result(); });
    e.trigger("m_remplacer");
    EXPECT_EQ(e.session->motCherche, QStringLiteral("zèbre"));
    EXPECT_EQ(e.session->texteRemplacement, QStringLiteral("cheval"));
    EXPECT_EQ(e.text(), QStringLiteral("banana Banane"));
}

TEST(Form1, PlainTextTurnsEverySeparatorIntoALineFeedInPlace)
{
    // Paragraph ends and line breaks (Shift+Enter), anywhere in a text longer than one vector step.
    Editor e;
    e.start();
    QRandomGenerator random(5);
    QString expected;
    QTextCursor cursor(e.window->Text1()->document());
    for (int i = 0; i < 400; ++i) {
        const int kind = random.bounded(12);
        if (kind == 0) {
            cursor.insertBlock();
            expected += u'\n';
        } else if (kind == 1) {
            cursor.insertText(QString(QChar::LineSeparator));
            expected += u'\n';
        } else {
            const QChar c = QStringLiteral("a é\u2027\u202a")[random.bounded(5)];
            cursor.insertText(QString(c));
            expected += c;
        }
    }
    EXPECT_EQ(e.text(), expected);
}

namespace {

// Everything a document holds that shows: each block's formats, each piece of text and its format.
QStringList contentOf(const QTextDocument &document)
{
    QStringList out;
    out << document.defaultFont().toString();
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        QString line;
        QDebug(&line) << b.blockFormat().properties() << b.charFormat().properties();
        for (auto it = b.begin(); !it.atEnd(); ++it) QDebug(&line) << it.fragment().text() << it.fragment().charFormat().properties();
        out << line;
    }
    return out;
}

} // namespace

TEST(Form1, AReplacedTextIsTheDocumentSetPlainTextGives)
{
    // A plain text only: an RTF document is replaced in place (see ReplaceInAnRtfDocument...).
    for (const bool rtf : {false}) {
        Editor e;
        if (rtf) {
            e.folder.write(QStringLiteral("doc.rtf"), "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                                                      "\\pard{\\b\\f1\\fs30 Rose} des {\\i roses}\\par\\pard\\qc ROSE\\par}");
            e.start({e.folder.file(QStringLiteral("doc.rtf"))});
            ASSERT_FALSE(e.window->modeTxt());
        } else {
            e.start();
            e.type(QStringLiteral("une rose\ndeux roses\n\ntrois ROSES"));
        }
        e.window->Text1()->moveCursor(QTextCursor::End);
        e.answerRemplace(QStringLiteral("rose"), QStringLiteral("tulipe"));
        e.trigger("m_remplacer");
        QTextEdit *text = e.window->Text1();
        EXPECT_EQ(text->textCursor().position(), 0);
        EXPECT_FALSE(text->document()->isUndoAvailable());
        const QStringList replaced = contentOf(*text->document());
        text->setPlainText(e.text());
        EXPECT_TRUE(e.text().contains(QStringLiteral("tulipes")));
        EXPECT_EQ(replaced.join(u'|').toStdString(), contentOf(*text->document()).join(u'|').toStdString());
        EXPECT_EQ(replaced.size(), rtf ? 4 : 5);
    }
}

TEST(Form1, TheTextReadBackIsTheDocumentsOwnAfterEveryKindOfChange)
{
    // Texts put in whole, with and without the characters the document turns into line ends, and
    // changed afterwards by typing, by undo and by a new document.
    Editor e;
    e.start();
    const auto shownText = [&] { return textarea::plainText(*e.window->Text1()->document()); };
    QRandomGenerator random(9);
    for (int round = 0; round < 60; ++round) {
        QString text;
        for (int i = random.bounded(30); i > 0; --i)
            text += QStringLiteral("ab\n\r\u2028\u2029\uFDD0\uFDD1 é")[round % 2 ? random.bounded(3) : random.bounded(11)];
        e.window->showPlainText(text);
        ASSERT_EQ(e.text(), shownText()) << text.toStdString();
        e.type(QStringLiteral("x\ny"));
        ASSERT_EQ(e.text(), shownText());
        e.window->Text1()->undo();
        ASSERT_EQ(e.text(), shownText());
    }
    e.desktop.answers << Desktop::Answer::No;
    e.answerCinput(QStringLiteral("1"));
    e.trigger("m_nouveau");
    EXPECT_EQ(e.text(), QString());
}

TEST(Form1, AnRtfSaveThatFailsHalfWayLeavesTheOldFile)
{
    // Megabytes of RTF, saved a piece at a time; the file system refuses what goes past its
    // first 300 KB (a file size limit, as a full disk would).
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 40000; ++i) rtf += "\\pard{\\b mot} l'\\'e9t\\'e9 " + QByteArray::number(i) + "\\par\n";
    rtf += "}";
    Editor e;
    e.folder.write(QStringLiteral("long.rtf"), rtf);
    e.start({e.folder.file(QStringLiteral("long.rtf"))});
    ASSERT_FALSE(e.window->modeTxt());
    e.type(QStringLiteral("x"));
    {
        struct rlimit before {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = before;
        limited.rlim_cur = 300 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        e.trigger("m_sauver");
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
    }
    ASSERT_EQ(e.desktop.messages.size(), 1);
    EXPECT_TRUE(e.desktop.messages[0].text.startsWith(QStringLiteral("Le document n'a pas été enregistré")));
    EXPECT_EQ(e.folder.read(QStringLiteral("long.rtf")), rtf);
    EXPECT_TRUE(e.folder.entries().filter(QLatin1String(files::kTemporaryMarker)).isEmpty()) << "no temporary file is left";
    EXPECT_TRUE(e.folder.entries().contains(QStringLiteral("long.rtf")));
    EXPECT_TRUE(e.window->modifie());

    // Without the limit, the same save goes through and reads back as the text shown.
    e.trigger("m_sauver");
    EXPECT_FALSE(e.window->modifie());
    QTextDocument back;
    richtext::read(e.folder.read(QStringLiteral("long.rtf")), &back);
    EXPECT_EQ(textarea::plainText(back), e.text());
    EXPECT_TRUE(e.text().startsWith(QStringLiteral("xmot l'été 0\nmot l'été 1\n")));
}

TEST(Form1, EveryWayOfReplacingOrClosingTheDocumentAsksOnlyAboutChanges)
{
    // Each way, on doc.txt; true when the document went (for the closing ones, the window).
    const std::pair<const char *, std::function<bool(Editor &)>> ways[] = {
        {"open", [](Editor &e) {
             e.desktop.fileNames << e.folder.file(QStringLiteral("autre.txt"));
             e.trigger("m_charger");
             return e.text() == u"autre\n";
         }},
        {"recent file", [](Editor &e) { e.entry("nom_fichier(1)")->trigger(); return e.text() == u"autre\n"; }},
        {"new", [](Editor &e) { e.answerCinput(QStringLiteral("1")); e.trigger("m_nouveau"); return e.window->untitled(); }},
        {"close", [](Editor &e) { return e.window->close(); }},
        {"session end", [](Editor &e) {
             const bool ends = e.window->endSession(true);
             const qsizetype asked = e.desktop.messages.size();
             // The window closes afterwards without asking again.
             EXPECT_EQ(ends && e.window->close(), ends);
             EXPECT_EQ(e.desktop.messages.size(), asked);
             return ends;
         }},
    };
    // Unchanged, then changed and answered Save, Don't save, Cancel.
    const std::optional<Desktop::Answer> answers[] = {std::nullopt, Desktop::Answer::Yes, Desktop::Answer::No,
                                                      Desktop::Answer::Cancel};
    for (const auto &[way, run] : ways)
        for (const std::optional<Desktop::Answer> answer : answers) {
            SCOPED_TRACE(std::string(way) + " " + std::to_string(answer ? int(*answer) : -1));
            Editor e;
            const QString doc = e.folder.file(QStringLiteral("doc.txt"));
            e.folder.write(QStringLiteral("doc.txt"), "un\n");
            e.folder.write(QStringLiteral("autre.txt"), "autre\n");
            const QStringList settings = QStringList(15, QStringLiteral("Libre"))
                                         << QStringLiteral(" 1") << e.folder.file(QStringLiteral("autre.txt"));
            e.folder.write(QStringLiteral("redig.ini"), settings.join(QStringLiteral("\r\n")).toUtf8());
            e.start({doc});
            if (answer) {
                e.type(QStringLiteral("deux "));
                e.desktop.answers << *answer;
            }
            const bool cancel = answer == Desktop::Answer::Cancel;
            EXPECT_EQ(run(e), !cancel);
            EXPECT_EQ(e.folder.read(QStringLiteral("doc.txt")), answer == Desktop::Answer::Yes ? "deux un\n" : "un\n");
            ASSERT_EQ(e.desktop.messages.size(), answer ? 1 : 0);
            if (answer) {
                EXPECT_EQ(e.desktop.messages[0].text, QStringLiteral("Sauvegarder ") + doc + QStringLiteral(" ?"));
                EXPECT_EQ(e.desktop.messages[0].buttons, Desktop::Buttons::YesNoCancel);
            }
            if (cancel) {
                // The document, its changes and its undo are as they were.
                EXPECT_EQ(e.window->caption(), doc);
                EXPECT_TRUE(e.window->modifie());
                e.window->Text1()->undo();
                EXPECT_EQ(e.text(), QStringLiteral("un\n"));
            }
        }
}

TEST(Form1, UntitledAndConvertedDocumentsNeverReplaceAFileUnasked)
{
    Editor e;
    const QString documents = e.folder.file(QStringLiteral("Documents/"));
    QDir().mkpath(documents);
    e.folder.write(QStringLiteral(".config/user-dirs.dirs"), ("XDG_DOCUMENTS_DIR=\"" + documents + "\"\n").toUtf8());
    e.start();
    // An untitled note goes through Save As in the documents folder, never to a fixed name.
    e.type(QStringLiteral("note"));
    e.desktop.fileNames << documents + QStringLiteral("note.txt");
    e.trigger("m_sauver");
    EXPECT_EQ(e.desktop.saveFolders.last(), documents + QStringLiteral("SansTitre.txt"));
    EXPECT_EQ(e.folder.read(QStringLiteral("Documents/note.txt")), QByteArray("note"));
    EXPECT_FALSE(e.folder.exists(QStringLiteral("SansTitre.txt")));

    // Converted to RTF, the document takes the name of an existing letter: Ctrl+S asks, No the
    // default. Save As asks onto another file, not onto the document's own.
    e.folder.write(QStringLiteral("Documents/lettre.rtf"), "{\\rtf1 ma lettre}");
    e.folder.write(QStringLiteral("Documents/lettre.txt"), "brouillon");
    e.desktop.fileNames << documents + QStringLiteral("lettre.txt");
    e.trigger("m_charger");
    e.trigger("m_type");
    e.type(QStringLiteral("x"));
    e.trigger("m_sauver");
    ASSERT_EQ(e.desktop.messages.size(), 1);
    EXPECT_EQ(e.desktop.messages[0].text, QStringLiteral("Ré-écrire ?"));
    EXPECT_EQ(e.desktop.messages[0].defaultButton, Desktop::Answer::No);
    e.desktop.fileNames << documents + QStringLiteral("lettre.txt") << documents + QStringLiteral("lettre.rtf");
    e.trigger("m_sauver_sous");
    e.trigger("m_sauver_sous");
    EXPECT_EQ(e.desktop.messages.size(), 2);
    EXPECT_EQ(e.folder.read(QStringLiteral("Documents/lettre.rtf")), QByteArray("{\\rtf1 ma lettre}"));
    EXPECT_TRUE(e.folder.read(QStringLiteral("Documents/lettre.txt")).startsWith("{\\rtf1"));
}

TEST(Form1, AFileSavedKeepsItsBytesItsKindAndCanGrowOutOfItsCodePage)
{
    // Each encoding and line-end style, with and without a final line end: saved unchanged, the
    // same bytes; after one typed character, those bytes and that character.
    for (const bool utf8 : {true, false})
        for (const QString &eol : {QStringLiteral("\r\n"), QStringLiteral("\n")})
            for (const bool finalEnd : {true, false}) {
                const QString text = QStringLiteral("première") + eol + QStringLiteral("[fin]") + (finalEnd ? eol : QString());
                const auto bytesOf = [utf8](const QString &t) { return utf8 ? t.toUtf8() : t.toLatin1(); };
                SCOPED_TRACE(bytesOf(text).toStdString());
                Editor e;
                e.folder.write(QStringLiteral("doc.txt"), bytesOf(text));
                e.start({e.folder.file(QStringLiteral("doc.txt"))});
                e.desktop.fileNames << e.folder.file(QStringLiteral("copie.txt"));
                e.trigger("m_sauver_sous");
                EXPECT_EQ(e.folder.read(QStringLiteral("copie.txt")), bytesOf(text));
                e.type(QStringLiteral("é"));
                e.trigger("m_sauver");
                EXPECT_EQ(e.folder.read(QStringLiteral("copie.txt")), bytesOf(u'é' + text));
            }

    // The kind comes from the name's own extension and the content, never from a ".rtf"
    // elsewhere in the path: a plain text is saved as the plain text it was.
    const std::pair<const char *, QByteArray> kinds[] = {
        {"notes.rtf.d/todo.txt", "à faire"}, {"faux.rtf", "du texte"}, {"source.txt", "{\\rtf1 x}"}, {"lettre.RTF", "{\\rtf1 x}"}};
    for (const auto &[name, bytes] : kinds) {
        Editor e;
        QDir().mkpath(e.folder.file(QStringLiteral("notes.rtf.d")));
        e.folder.write(QString::fromLatin1(name), bytes);
        e.start({e.folder.file(QString::fromLatin1(name))});
        e.type(QStringLiteral("."));
        e.trigger("m_sauver");
        const QByteArray saved = e.folder.read(QString::fromLatin1(name));
        if (QByteArrayView(name) == "lettre.RTF") EXPECT_TRUE(saved.startsWith("{\\rtf1") && saved.contains(".x")) << saved.constData();
        else EXPECT_EQ(saved, "." + bytes) << name;
    }

    // A Windows-1252 document given a character the code page lacks is kept as UTF-8 on a Yes;
    // the status bar tells, and the menu turns it back once the character is gone.
    Editor e;
    e.folder.write(QStringLiteral("vieux.txt"), "caf\xe9\r\n");
    e.start({e.folder.file(QStringLiteral("vieux.txt"))});
    const auto status = [&] { return e.window->findChild<QLabel *>(QStringLiteral("encoding"))->text(); };
    EXPECT_TRUE(status().contains(QStringLiteral("Windows-1252")));
    e.type(QStringLiteral("→"));
    e.desktop.answers << Desktop::Answer::Yes;
    e.trigger("m_sauver");
    EXPECT_TRUE(e.desktop.messages.value(0).text.contains(QStringLiteral("« → »")));
    EXPECT_EQ(e.folder.read(QStringLiteral("vieux.txt")), QByteArray("\xe2\x86\x92" "caf\xc3\xa9\r\n"));
    EXPECT_TRUE(status().contains(QStringLiteral("UTF-8")));
    e.window->Text1()->moveCursor(QTextCursor::Start);
    e.window->Text1()->textCursor().deleteChar();
    e.trigger("m_encodage");
    e.trigger("m_sauver");
    EXPECT_EQ(e.folder.read(QStringLiteral("vieux.txt")), QByteArray("caf\xe9\r\n"));
}

TEST(Form1, ReplaceInAnRtfDocumentKeepsFormatsAndPicturesAndUndoesInOneStep)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    Editor e;
    e.folder.write(QStringLiteral("lettre.rtf"), "{\\rtf1\\ansi{\\colortbl;\\red200\\green0\\blue0;}{\\b Rose du jardin}\\par une "
                                                 "{\\cf1 rose} {\\pict\\pngblip\\picw2\\pich2 " + png.data().toHex() + "} ROSE\\par}");
    e.start({e.folder.file(QStringLiteral("lettre.rtf"))});
    // The text in runs of one format each, however the document cuts it into fragments.
    const auto runs = [&] {
        QString out, last;
        for (QTextBlock b = e.window->Text1()->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                const QString tag = QStringLiteral("<%1 %2 %3>").arg(f.fontWeight()).arg(f.foreground().color().name()).arg(f.isImageFormat());
                out += (tag == last ? QString() : tag) + it.fragment().text();
                last = tag;
            }
        return out;
    };
    const QString before = runs();
    e.answerRemplace(QStringLiteral("rose"), QStringLiteral("tulipe"));
    e.trigger("m_remplacer");
    EXPECT_EQ(runs(), QString(before).replace(QStringLiteral("rose"), QStringLiteral("tulipe"), Qt::CaseInsensitive));
    EXPECT_TRUE(before.contains(QStringLiteral("<700 #000000 0>Rose du")) && before.contains(QStringLiteral("<400 #000000 1>")))
        << before.toStdString();
    EXPECT_TRUE(e.desktop.log.contains(QStringLiteral("progress: Remplacement en cours...")));

    // Closing the dialog without OK does nothing, not even the last replacement again.
    const QString after = runs();
    e.desktop.dialogHandlers.append([](QDialog *d) { d->reject(); return d->result(); });
    e.trigger("m_remplacer");
    EXPECT_EQ(runs(), after);
    EXPECT_TRUE(e.desktop.messages.isEmpty());

    // Saved, the letter keeps its bold, colour and picture; one undo puts everything back.
    e.trigger("m_sauver");
    const QByteArray saved = e.folder.read(QStringLiteral("lettre.rtf"));
    for (const char *kept : {"\\b", "\\red200\\green0\\blue0", "\\pict", "tulipe"}) EXPECT_TRUE(saved.contains(kept)) << kept;
    e.window->Text1()->undo();
    EXPECT_EQ(runs(), before);
}
