#include "common/desktop/scripted_desktop.h"
#include "common/widgets/text_area.h"
#include "editor/text/editor_session.h"
#include "editor/text/editor_settings.h"
#include "editor/window/form1.h"
#include "tests/support/test_folder.h"

#include <QAction>
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
    void trigger(const char *name) { window->action(name)->trigger(); }
    bool enabled(const char *name) const { return window->action(name)->isEnabled(); }
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
    EXPECT_EQ(e.window->action("m_type")->text(), QStringLiteral("en RTF"));
    EXPECT_EQ(e.window->action("m_remplacer")->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(e.window->action("m_suivant")->shortcut(), QKeySequence(Qt::Key_F3));

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
    EXPECT_FALSE(e.window->modeTxt());
    EXPECT_EQ(e.text(), QStringLiteral("Gras et réel"));
    EXPECT_FALSE(e.window->modifie());
    EXPECT_TRUE(e.menuEnabled("m55"));
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
    ASSERT_TRUE(e.window->action("nom_fichier(2)"));
    e.window->action("nom_fichier(2)")->trigger();
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

TEST(Form1, SavesAddTheLineEndKeepTheEncodingAndNeverLoseTheFile)
{
    Editor e;
    e.folder.write(QStringLiteral("liste.txt"), "ligne \xe9\r\n");
    e.start({e.folder.file(QStringLiteral("liste.txt"))});
    for (int round = 1; round <= 2; ++round) {
        e.type(QStringLiteral("x"));
        e.trigger("m_sauver");
        EXPECT_FALSE(e.window->modifie());
    }
    // Each load-and-save adds one line end, in the file's own encoding and line ends.
    EXPECT_EQ(e.folder.read(QStringLiteral("liste.txt")), QByteArray("xxligne \xe9\r\n\r\n"));

    // A character the old code page cannot hold is refused, and the file stays as it was.
    e.type(QStringLiteral("→"));
    e.trigger("m_sauver");
    ASSERT_FALSE(e.desktop.messages.isEmpty());
    EXPECT_TRUE(e.desktop.messages.last().text.contains(QStringLiteral("→")));
    EXPECT_TRUE(e.window->modifie());
    EXPECT_EQ(e.folder.read(QStringLiteral("liste.txt")), QByteArray("xxligne \xe9\r\n\r\n"));

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

    // New on a filled document asks first; No keeps it.
    e.desktop.answers << Desktop::Answer::No;
    e.trigger("m_nouveau");
    EXPECT_EQ(e.desktop.messages.last().text, QStringLiteral("Effacer ") + target.chopped(4) + QStringLiteral(".txt ?"));
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
        EXPECT_EQ(e.folder.read(QStringLiteral("a.txt")), QByteArray("deux un\n"));
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
    for (const bool rtf : {false, true}) {
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
    e.desktop.answers << Desktop::Answer::Yes;
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
