#include "common/desktop/scripted_desktop.h"
#include "common/widgets/text_area.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/lisor_window.h"
#include "tests/support/test_folder.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

struct Viewer
{
    TestFolder folder;
    ScriptedDesktop desktop;
    std::unique_ptr<ViewerSession> session;
    std::unique_ptr<lisor::Form1> window;

    void start(const QStringList &arguments)
    {
        session = std::make_unique<ViewerSession>(folder.path());
        window = std::make_unique<lisor::Form1>(*session, desktop);
        window->Form_Load(arguments);
    }
    void trigger(const char *name) { window->findChild<QAction *>(QLatin1String(name))->trigger(); }
    QString text() const { return window->plainText(); }
    QString selected() const { return window->texte2()->textCursor().selectedText(); }
    QStringList sections() const
    {
        QStringList names;
        for (int i = 0; i < window->Liste1()->count(); ++i) names << window->Liste1()->item(i)->text();
        return names;
    }
};

} // namespace

TEST(ViewerText, SectionsAndLineSort)
{
    struct Case { QString text; QStringList sections; };
    const Case cases[] = {
        {QStringLiteral("[GENERAL]\nx=1\n[AIDE]\n"), {QStringLiteral("AIDE"), QStringLiteral("GENERAL")}},
        {QStringLiteral("voir [Note sans fin.\n"), {QStringLiteral("Note sans fin")}},
        {QStringLiteral("a [b] c [d]\n[]\n[\n"), {QString(), QString(), QStringLiteral("b")}},
        {QStringLiteral("[Été]\r\n[eau]\r\n"), {QStringLiteral("eau"), QStringLiteral("Été")}},
        {QStringLiteral("rien\n"), {}},
    };
    for (const Case &c : cases) EXPECT_EQ(viewer::sectionsOf(c.text), c.sections) << c.text.toStdString();
    // The letter files' order: case aside, accents beside their letter, digits before letters.
    EXPECT_EQ(viewer::sortedLines(QStringLiteral("poire\nÉcole\n2 pommes\nabricot\nété\n→ flèche")),
              QStringLiteral("→ flèche\n2 pommes\nabricot\nÉcole\nété\npoire\n"));
}

TEST(Lisor5, OpensAQuotedPathListsSectionsAndSelectsTheChosenMarker)
{
    Viewer v;
    QDir().mkpath(v.folder.file(QStringLiteral("mes aides")));
    v.folder.write(QStringLiteral("mes aides/aide.txt"), "[GENERAL]\r\nTexte g\xe9n\xe9ral\r\n[AIDE]\r\nAide\r\n[D\xe9j\xe0 vu]\r\n");
    const QString path = v.folder.file(QStringLiteral("mes aides/aide.txt"));
    v.start({u'"' + path.section(u' ', 0, 0), path.section(u' ', 1) + u'"'});
    EXPECT_EQ(v.window->windowTitle(), path);
    EXPECT_TRUE(v.session->plainText);
    EXPECT_EQ(v.sections(), (QStringList{QStringLiteral("AIDE"), QStringLiteral("Déjà vu"), QStringLiteral("GENERAL")}));
    const QString before = v.text();
    for (int row : {2, 0, 1}) {
        v.trigger("m_rubr");
        EXPECT_TRUE(v.window->Picture1()->isVisibleTo(v.window.get()));
        // Chosen from the keyboard, as a user does.
        v.window->Liste1()->setCurrentRow(row);
        QTest::keyClick(v.window->Liste1(), Qt::Key_Return);
        EXPECT_FALSE(v.window->Picture1()->isVisibleTo(v.window.get()));
        EXPECT_EQ(v.selected(), u'[' + v.sections()[row] + u']'); // the marker at position 1 as well
    }
    EXPECT_EQ(v.text(), before);
    // Selection commands follow the selection.
    EXPECT_TRUE(v.window->findChild<QAction *>(QStringLiteral("m_copier"))->isEnabled());
    v.trigger("m_copier");
    EXPECT_EQ(v.desktop.clipboard, QStringLiteral("[Déjà vu]"));
    v.window->texte2()->moveCursor(QTextCursor::Start);
    EXPECT_FALSE(v.window->findChild<QAction *>(QStringLiteral("m_gras"))->isEnabled());

    // A document of ten thousand sections opens and lists them all.
    Viewer many;
    QByteArray big;
    for (int i = 9999; i >= 0; --i) big += "[S" + QByteArray::number(i).rightJustified(5, '0') + "]\r\nligne\r\n";
    many.folder.write(QStringLiteral("grand.ini"), big);
    many.start({many.folder.file(QStringLiteral("grand.ini"))});
    EXPECT_EQ(many.window->Liste1()->count(), 10000);
    EXPECT_EQ(many.sections().first(), QStringLiteral("S00000"));
    many.window->Liste1_Click(9999);
    EXPECT_EQ(many.selected(), QStringLiteral("[S09999]"));
}

TEST(Lisor5, SearchReplaceAndSaveOnClosing)
{
    Viewer v;
    v.folder.write(QStringLiteral("doc.txt"), "Le chat et LE chien\n");
    v.start({v.folder.file(QStringLiteral("doc.txt"))});
    v.desktop.inputs << std::optional<QString>(QStringLiteral("le"));
    v.trigger("m_chercher");
    EXPECT_EQ(v.window->texte2()->textCursor().selectionStart(), 0);
    EXPECT_EQ(v.selected(), QStringLiteral("Le"));
    v.trigger("m_suivant");
    EXPECT_EQ(v.window->texte2()->textCursor().selectionStart(), 11);
    EXPECT_EQ(v.selected(), QStringLiteral("LE"));
    v.trigger("m_suivant");
    EXPECT_EQ(v.desktop.messages.last().text, QStringLiteral("Fin de Texte atteinte"));
    v.trigger("m_suivant");
    EXPECT_EQ(v.window->texte2()->textCursor().selectionStart(), 0);

    auto answerRemplace = [&](const QString &word, const QString &replacement) {
        v.desktop.dialogHandlers.append([word, replacement](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("cible"))->setText(word);
            d->findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(replacement);
            d->findChild<QPushButton *>(QStringLiteral("ok_auto"))->click();
            return d->result();
        });
    };
    answerRemplace(QStringLiteral("le"), QStringLiteral("un le"));
    v.trigger("m_remplacer");
    EXPECT_EQ(v.text(), QStringLiteral("un le chat et un le chien\n"));
    answerRemplace(QStringLiteral("zèbre"), QStringLiteral("x"));
    v.trigger("m_remplacer");
    EXPECT_EQ(v.desktop.messages.last().text, QStringLiteral("zèbre absent..."));
    EXPECT_TRUE(v.session->replaceWord.isEmpty());

    // Closing a changed document asks first; Yes saves it in its own character set.
    v.window->texte2()->moveCursor(QTextCursor::End);
    v.window->texte2()->textCursor().insertText(QStringLiteral("é"));
    EXPECT_TRUE(v.window->isModified());
    const qsizetype questions = v.desktop.messages.size();
    v.desktop.answers << Desktop::Answer::Yes;
    EXPECT_TRUE(v.window->close());
    ASSERT_EQ(v.desktop.messages.size(), questions + 1);
    EXPECT_EQ(v.desktop.messages.last().buttons, Desktop::Buttons::YesNoCancel);
    EXPECT_EQ(v.folder.read(QStringLiteral("doc.txt")), QByteArray("un le chat et un le chien\n\xc3\xa9"));
}

TEST(Lisor5, BadFilesAndFailedSavesLoseNothing)
{
    // A binary file and a missing one leave an untitled document with the reason shown.
    for (const char *name : {"prog.bin", "absent.txt"}) {
        Viewer v;
        v.folder.write(QStringLiteral("prog.bin"), QByteArray("\x7f" "ELF\0\0", 6));
        v.start({v.folder.file(QString::fromLatin1(name))});
        EXPECT_EQ(v.session->currentFile, QStringLiteral("Sansnom.rtf")) << name;
        ASSERT_EQ(v.desktop.messages.size(), 1) << name;
    }
    // A document without sections lists none; with no command line the open dialog comes first.
    Viewer empty;
    empty.folder.write(QStringLiteral("plat.txt"), "du texte\n");
    empty.desktop.fileNames << empty.folder.file(QStringLiteral("plat.txt"));
    empty.start({});
    EXPECT_EQ(empty.text(), QStringLiteral("du texte\n"));
    EXPECT_TRUE(empty.sections().isEmpty());

    // A folder that cannot be written: the save is refused, the file stays, and closing asks
    // before the change is given up.
    Viewer ro;
    QDir().mkpath(ro.folder.file(QStringLiteral("ro")));
    ro.folder.write(QStringLiteral("ro/note.rtf"), "{\\rtf1 avant}");
    ro.start({ro.folder.file(QStringLiteral("ro/note.rtf"))});
    ro.window->texte2()->textCursor().insertText(QStringLiteral("x"));
    bool closed = true;
    {
        Immutable locked(ro.folder.file(QStringLiteral("ro")));
        if (!locked.set) GTEST_SKIP() << "chattr +i is refused here";
        ro.desktop.answers << Desktop::Answer::Yes << Desktop::Answer::Ok;
        closed = ro.window->close();
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(ro.folder.read(QStringLiteral("ro/note.rtf")), QByteArray("{\\rtf1 avant}"));
    EXPECT_EQ(ro.text(), QStringLiteral("xavant"));
    ASSERT_EQ(ro.desktop.messages.size(), 2);
    EXPECT_TRUE(ro.desktop.messages[1].text.startsWith(QStringLiteral("Le document n'a pas été enregistré")));
}

TEST(Lisor5, EveryWayOfReplacingOrClosingTheDocumentAsksOnlyAboutChanges)
{
    // Each way, on doc.txt; true when the document went (for the closing ones, the window).
    const std::pair<const char *, std::function<bool(Viewer &)>> ways[] = {
        {"Charger", [](Viewer &v) {
             v.desktop.fileNames << v.folder.file(QStringLiteral("autre.txt"));
             v.trigger("m_charger");
             return v.text() == u"autre\n";
         }},
        {"close", [](Viewer &v) { return v.window->close(); }},
        {"session end", [](Viewer &v) {
             const bool ends = v.window->endSession(true);
             const qsizetype asked = v.desktop.messages.size();
             EXPECT_EQ(ends && v.window->close(), ends);
             EXPECT_EQ(v.desktop.messages.size(), asked); // asked once only
             return ends;
         }},
    };
    // Unchanged, then changed and answered Save, Don't save, Cancel.
    const std::optional<Desktop::Answer> answers[] = {std::nullopt, Desktop::Answer::Yes, Desktop::Answer::No,
                                                      Desktop::Answer::Cancel};
    for (const auto &[way, run] : ways)
        for (const std::optional<Desktop::Answer> answer : answers) {
            SCOPED_TRACE(std::string(way) + " " + std::to_string(answer ? int(*answer) : -1));
            Viewer v;
            v.folder.write(QStringLiteral("doc.txt"), "un\n");
            v.folder.write(QStringLiteral("autre.txt"), "autre\n");
            v.start({v.folder.file(QStringLiteral("doc.txt"))});
            if (answer) {
                v.window->texte2()->textCursor().insertText(QStringLiteral("deux "));
                v.desktop.answers << *answer;
            }
            const bool cancel = answer == Desktop::Answer::Cancel;
            EXPECT_EQ(run(v), !cancel);
            EXPECT_EQ(v.folder.read(QStringLiteral("doc.txt")), answer == Desktop::Answer::Yes ? "deux un\n" : "un\n");
            ASSERT_EQ(v.desktop.messages.size(), answer ? 1 : 0);
            if (answer) {
                EXPECT_EQ(v.desktop.messages[0].buttons, Desktop::Buttons::YesNoCancel);
            }
            if (cancel) {
                EXPECT_EQ(v.window->windowTitle(), v.folder.file(QStringLiteral("doc.txt")));
                v.window->texte2()->undo();
                EXPECT_EQ(v.text(), QStringLiteral("un\n"));
            }
        }

    // A cancelled or failed "Charger" leaves the document, its changes and its name.
    Viewer v;
    v.folder.write(QStringLiteral("doc.txt"), "un\n");
    v.start({v.folder.file(QStringLiteral("doc.txt"))});
    v.window->texte2()->textCursor().insertText(QStringLiteral("x"));
    v.desktop.fileNames << QString() << v.folder.file(QStringLiteral("absent.txt"));
    v.trigger("m_charger");
    v.trigger("m_charger");
    EXPECT_EQ(v.session->currentFile, v.folder.file(QStringLiteral("doc.txt")));
    EXPECT_EQ(v.text(), QStringLiteral("xun\n"));
    EXPECT_TRUE(v.window->isModified());
}

TEST(Lisor5, EveryKindOfChangeCountsAndTheLetterKeepsItsFormats)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    const QByteArray rtf = "{\\rtf1\\ansi{\\b Titre}\\par zeta\\par alpha\\par {\\pict\\pngblip\\picw2\\pich2 "
                           + png.data().toHex() + "} fin\\par}";
    const auto replaceFin = [](Viewer &v) {
        v.desktop.dialogHandlers.append([](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("cible"))->setText(QStringLiteral("fin"));
            d->findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(QStringLiteral("FIN"));
            d->findChild<QPushButton *>(QStringLiteral("ok_auto"))->click();
            return d->result();
        });
        v.trigger("m_remplacer");
    };
    // A key typed, then commands on the lines "zeta" and "alpha", then a replace of the same length.
    for (const char *edit : {"key", "m_red", "m_gras", "m_maj", "m_tri_sel", "replace"}) {
        SCOPED_TRACE(edit);
        Viewer v;
        v.folder.write(QStringLiteral("lettre.rtf"), rtf);
        v.start({v.folder.file(QStringLiteral("lettre.rtf"))});
        const QString before = v.window->texte2()->document()->toHtml();
        textarea::select(v.window->texte2(), 6, 11);
        if (QByteArrayView(edit) == "key") QTest::keyClick(v.window->texte2(), Qt::Key_Q);
        else if (QByteArrayView(edit) == "replace") replaceFin(v);
        else v.trigger(edit);
        EXPECT_NE(v.window->texte2()->document()->toHtml(), before);
        EXPECT_TRUE(v.window->isModified());
        // Closing asks; Don't save leaves the file as it was.
        v.desktop.answers << Desktop::Answer::No;
        EXPECT_TRUE(v.window->close());
        EXPECT_EQ(v.desktop.messages.size(), 1);
        EXPECT_EQ(v.folder.read(QStringLiteral("lettre.rtf")), rtf);
    }
    Viewer v;
    v.folder.write(QStringLiteral("lettre.rtf"), rtf);
    v.start({v.folder.file(QStringLiteral("lettre.rtf"))});
    replaceFin(v);
    v.trigger("m_sauver");
    const QByteArray saved = v.folder.read(QStringLiteral("lettre.rtf"));
    for (const char *kept : {"\\b Titre", "\\pict", "FIN"}) EXPECT_TRUE(saved.contains(kept)) << kept;
}

TEST(Lisor5, SavesKeepTheBytesTheEncodingCanGrowAndSectionsAndPrintNamesAreRight)
{
    for (const bool utf8 : {true, false})
        for (const QString &eol : {QStringLiteral("\r\n"), QStringLiteral("\n")})
            for (const bool finalEnd : {true, false}) {
                const QString text = QStringLiteral("[Général]") + eol + QStringLiteral("clé=été") + (finalEnd ? eol : QString());
                const QByteArray bytes = utf8 ? text.toUtf8() : text.toLatin1();
                Viewer v;
                v.folder.write(QStringLiteral("doc.ini"), bytes);
                v.start({v.folder.file(QStringLiteral("doc.ini"))});
                v.trigger("m_sauver");
                EXPECT_EQ(v.folder.read(QStringLiteral("doc.ini")), bytes);
            }

    // A Windows-1252 document given a character the code page lacks is kept as UTF-8 on a Yes.
    Viewer old;
    old.folder.write(QStringLiteral("vieux.txt"), "caf\xe9\n");
    old.start({old.folder.file(QStringLiteral("vieux.txt"))});
    old.window->texte2()->textCursor().insertText(QStringLiteral("→"));
    old.desktop.answers << Desktop::Answer::Yes;
    old.trigger("m_sauver");
    EXPECT_TRUE(old.desktop.messages.value(0).text.contains(QStringLiteral("→")));
    EXPECT_EQ(old.folder.read(QStringLiteral("vieux.txt")), QByteArray("\xe2\x86\x92" "caf\xc3\xa9\n"));
    EXPECT_TRUE(old.window->findChild<QLabel *>(QStringLiteral("encoding"))->text().contains(QStringLiteral("UTF-8")));

    // A section named twice jumps to each of its places; the PDF takes the document's name only.
    Viewer v;
    QDir().mkpath(v.folder.file(QStringLiteral("aides")));
    v.folder.write(QStringLiteral("aides/aide.txt"), "[A]\nun\n[B]\ndeux\n[A]\ntrois\n");
    v.start({v.folder.file(QStringLiteral("aides/aide.txt"))});
    EXPECT_EQ(v.sections(), (QStringList{QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("B")}));
    for (const auto &[row, at] : {std::pair{0, 0}, std::pair{1, 16}, std::pair{2, 7}}) {
        v.window->Liste1_Click(row);
        EXPECT_EQ(v.window->texte2()->textCursor().selectionStart(), at) << row;
    }
    v.window->texte2()->moveCursor(QTextCursor::Start);
    v.trigger("m_imprimer");
    EXPECT_EQ(v.desktop.log.last(), QStringLiteral("print: aide.txt"));
}
