#include "common/desktop/scripted_desktop.h"
#include "viewer/text/viewer_session.h"
#include "viewer/text/viewer_text.h"
#include "viewer/window/lisor_window.h"
#include "tests/support/test_folder.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
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
    void trigger(const char *name) { window->action(name)->trigger(); }
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
    EXPECT_TRUE(v.window->action("m_copier")->isEnabled());
    v.trigger("m_copier");
    EXPECT_EQ(v.desktop.clipboard, QStringLiteral("[Déjà vu]"));
    v.window->texte2()->moveCursor(QTextCursor::Start);
    EXPECT_FALSE(v.window->action("m_gras")->isEnabled());

    // A document of ten thousand sections opens and lists them all.
    Viewer many;
    QByteArray big;
    for (int i = 9999; i >= 0; --i) big += "[S" + QByteArray::number(i).rightJustified(5, '0') + "]\r\nligne\r\n";
    many.folder.write(QStringLiteral("grand.ini"), big);
    QElapsedTimer timer;
    timer.start();
    many.start({many.folder.file(QStringLiteral("grand.ini"))});
    EXPECT_EQ(many.window->Liste1()->count(), 10000);
    EXPECT_EQ(many.sections().first(), QStringLiteral("S00000"));
    many.window->Liste1_Click(9999);
    EXPECT_EQ(many.selected(), QStringLiteral("[S09999]"));
    EXPECT_LT(timer.elapsed(), 20000);
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

    // Closing a changed document saves it without a question, in its own character set.
    v.window->texte2()->moveCursor(QTextCursor::End);
    v.window->texte2()->textCursor().insertText(QStringLiteral("é"));
    EXPECT_TRUE(v.session->modified);
    const qsizetype questions = v.desktop.messages.size();
    EXPECT_TRUE(v.window->close());
    EXPECT_EQ(v.desktop.messages.size(), questions);
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
        ro.desktop.answers << Desktop::Answer::Ok << Desktop::Answer::No;
        closed = ro.window->close();
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(ro.folder.read(QStringLiteral("ro/note.rtf")), QByteArray("{\\rtf1 avant}"));
    EXPECT_EQ(ro.text(), QStringLiteral("xavant"));
    ASSERT_EQ(ro.desktop.messages.size(), 2);
    EXPECT_TRUE(ro.desktop.messages[0].text.startsWith(QStringLiteral("Le document n'a pas été enregistré")));
}
