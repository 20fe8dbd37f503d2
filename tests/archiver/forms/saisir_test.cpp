#include "archiver/forms/saisir.h"

#include "archiver/store/undo.h"
#include "archiver/store/settings.h"
#include "common/files/program_folder.h"
#include "common/text/line_file.h"
#include "common/text/texts.h"
#include "form_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>


namespace {

struct SaisirForm : FormFixture
{
    void open(const QString &key = QStringLiteral("FACTURE GAZ"))
    {
        session->searchText = key;
        form = std::make_unique<Saisir>(*session, desktop);
        note = child<QPlainTextEdit>(form.get(), "Texte2");
        target = child<QLineEdit>(form.get(), "file");
    }
    QListWidget *list(const char *name) const { return child<QListWidget>(form.get(), name); }
    // Clicks the item of the list that reads text.
    void clickItem(const char *listName, const QString &text) const
    {
        QListWidget *l = list(listName);
        const auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        l->setCurrentItem(found.first());
        emit l->itemClicked(found.first());
    }
    QStringList items(const char *listName) const
    {
        QStringList out;
        for (int i = 0; i < list(listName)->count(); ++i)
            out.append(list(listName)->item(i)->text());
        return out;
    }
    // Every file of the folder and its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : entries())
            if (QFileInfo(file(name)).isFile() && name != QLatin1String(files::FolderLock::kFileName))
                files.insert(name, read(name));
        return files;
    }
    bool stored() const { return form->result() == QDialog::Accepted; }

    std::unique_ptr<Saisir> form;
    QPlainTextEdit *note = nullptr;
    QLineEdit *target = nullptr;
};

// The support dialog as a user fills it: a name typed, then OK.
std::function<int(QDialog *)> nameSupport(const QString &name)
{
    return [name](QDialog *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("Combo1"))->setEditText(name);
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        return dialog->result();
    };
}

std::function<int(QDialog *)> typeInInputBox(const QString &text)
{
    return [text](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("saisie"))->setText(text);
        return int(QDialog::Accepted);
    };
}

} // namespace

TEST_F(SaisirForm, StoresTheRecordLineInItsLetterFileKeptSorted)
{
    write(QStringLiteral("F.MFI"), "FROMAGE@01-01-2000[]TEXTES#X\xA7\r\nFACTURE EAU@02-02-2002[]TEXTES#Y\xA7\r\n");
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("FACTURE GAZ"));
    EXPECT_EQ(child<QLineEdit>(form.get(), "jour")->text(), QStringLiteral("05"));
    EXPECT_EQ(child<QLineEdit>(form.get(), "mois")->text(), QStringLiteral("03"));
    EXPECT_EQ(child<QLineEdit>(form.get(), "annee")->text(), QStringLiteral("2004"));

    // A new category, typed in small letters, goes to the list file in capitals and to its
    // sorted place in the list; the second time, and an empty answer, change nothing.
    desktop.dialogHandlers = {typeInInputBox(QStringLiteral("factures")), typeInInputBox(QStringLiteral("factures")),
                              typeInInputBox(QString())};
    click(form.get(), "ajout_cat");
    const QByteArray categories = read(QStringLiteral("TALVO.CAT"));
    EXPECT_TRUE(categories.endsWith("\r\nFACTURES\r\n")) << categories.toStdString();
    click(form.get(), "ajout_cat");
    click(form.get(), "ajout_cat");
    EXPECT_EQ(read(QStringLiteral("TALVO.CAT")), categories);
    EXPECT_EQ(desktop.messageTexts(), (QStringList{msg(141), msg(73)}));
    EXPECT_EQ(items("Liste2"), (QStringList{QStringLiteral("CARNET D'ADRESSES"), QStringLiteral("E-MAIL"),
                                            QStringLiteral("FACTURES"), QStringLiteral("IMAGES"),
                                            QStringLiteral("SONS"), QStringLiteral("TEXTES"), QStringLiteral("WEB")}));

    clickItem("Liste2", QStringLiteral("FACTURES"));
    EXPECT_FALSE(list("Liste1")->isVisibleTo(form.get())); // no memo notes: no memo list
    note->setPlainText(QStringLiteral("payee"));
    target->setText(QStringLiteral("C:\\Docs\\f.pdf"));
    click(form.get(), "ok");

    ASSERT_TRUE(stored()) << desktop.messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(read(QStringLiteral("F.MFI")), QByteArray("FACTURE EAU@02-02-2002[]TEXTES#Y\xA7\r\n"
                                                        "FACTURE GAZ@05-03-2004[]FACTURES#PAYEE\xA7"
                                                        "C:\\Docs\\f.pdf\r\n"
                                                        "FROMAGE@01-01-2000[]TEXTES#X\xA7\r\n"));
    EXPECT_EQ(session->current.letterFile, file(QStringLiteral("F.MFI")));
    EXPECT_EQ(session->settings.lastNote, QStringLiteral("PAYEE"));
    EXPECT_EQ(form->storedCaption(), QStringLiteral("FACTURE GAZ") + msg(145));
    EXPECT_FALSE(exists(QStringLiteral("memo_notes.txt"))); // no memo file, none written

    // The next entry recalls the note.
    open(QStringLiteral("FACTURE EDF"));
    clickItem("Liste2", QStringLiteral("TEXTES"));
    click(form.get(), "last_comment");
    EXPECT_EQ(note->toPlainText(), QStringLiteral("PAYEE"));
}

// The limit is on the whole line; the counter follows every box as VALIDER would build the line.
TEST_F(SaisirForm, ALineOver256CharactersIsRefusedWithItsMessage)
{
    // "FACTURE GAZ@05-03-2004[]TEXTES#" + note + "§" + "x": 11 + 1 + 10 + 2 + 6 + 1 + 1 + 1.
    const int fixed = 33;
    const struct
    {
        int length;
        bool accepted;
    } cases[] = {{256, true}, {257, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        const QByteArray before = read(QStringLiteral("F.MFI"));
        desktop.messages.clear();
        open();
        clickItem("Liste2", QStringLiteral("TEXTES"));
        target->setText(QStringLiteral("x"));
        note->setPlainText(QString(c.length - fixed, u'n'));
        auto *lg = child<QLabel>(form.get(), "lg");
        EXPECT_EQ(lg->text(), QString::number(c.length));
        EXPECT_EQ(lg->palette().color(QPalette::Window), c.accepted ? QColor(0, 255, 0) : QColor(255, 0, 0));
        target->setText(QStringLiteral("xyz"));
        EXPECT_EQ(lg->text(), QString::number(c.length + 2));
        child<QLineEdit>(form.get(), "annee")->setText(QStringLiteral("20041"));
        EXPECT_EQ(lg->text(), QString::number(c.length + 3));
        child<QLineEdit>(form.get(), "annee")->setText(QStringLiteral("2004"));
        target->setText(QStringLiteral("x"));
        EXPECT_EQ(lg->text(), QString::number(c.length));
        click(form.get(), "ok");
        EXPECT_EQ(stored(), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(desktop.messages.isEmpty());
            EXPECT_EQ(linefile::splitLines(read(QStringLiteral("F.MFI"))).first().size(), 256);
        } else {
            EXPECT_EQ(desktop.messageTexts(), QStringList{msg(29)});
            EXPECT_EQ(read(QStringLiteral("F.MFI")), before);
            EXPECT_EQ(note->toPlainText().size(), c.length - fixed);
        }
    }
}

// A file browsed on a removable support asks for the support's name, which the list of supports
// receives and every later record of the run carries; a file elsewhere never asks.
TEST_F(SaisirForm, ASupportNamedForAFileOnARemovableSupportStaysForTheRun)
{
    session->removableRoots = {file(QStringLiteral("usb/"))};
    open();
    clickItem("Liste2", QStringLiteral("TEXTES"));
    auto *extension = child<QLineEdit>(form.get(), "extension");
    extension->setText(QStringLiteral("pdf"));
    desktop.fileNames = {QStringLiteral("A:\\releve.pdf")};
    desktop.dialogHandlers = {nameSupport(QStringLiteral("disquette 3"))};
    QTest::keyClick(extension, Qt::Key_Return);
    EXPECT_EQ(desktop.dialogs, QStringList{QStringLiteral("Support_ext")});
    EXPECT_TRUE(desktop.log.contains(QStringLiteral("open file: ") + msg(142) + QStringLiteral("FACTURE GAZ")));
    EXPECT_EQ(desktop.fileFilters, QStringList{QStringLiteral("Type (*.pdf)")});
    EXPECT_EQ(target->text(), QStringLiteral("A:\\releve.pdf"));
    EXPECT_EQ(session->lastExtension, QStringLiteral("pdf"));
    EXPECT_EQ(read(QStringLiteral("TALVO.SUP")), QByteArray("DISQUETTE 3\r\n"));
    EXPECT_FALSE(stored()); // Enter in the box browses, it does not validate
    click(form.get(), "ok");
    ASSERT_TRUE(stored());

    // The next record, for files on the hard disk: the form proposes the extension again, a
    // cancelled browse changes nothing, and nothing asks for a support.
    const struct
    {
        QString chosen;
        bool asks;
    } browses[] = {{file(QStringLiteral("docs/a.pdf")), false},
                   {QString(), false},
                   {file(QStringLiteral("usb/b.pdf")), true}};
    open(QStringLiteral("FACTURE EDF"));
    clickItem("Liste2", QStringLiteral("TEXTES"));
    extension = child<QLineEdit>(form.get(), "extension");
    EXPECT_EQ(extension->text(), QStringLiteral("pdf"));
    QString expected = target->text();
    for (const auto &b : browses) {
        SCOPED_TRACE(b.chosen.toStdString());
        desktop.dialogs.clear();
        desktop.fileNames = {b.chosen};
        if (b.asks) desktop.dialogHandlers = {nameSupport(QStringLiteral("DISQUETTE 3"))};
        QTest::mouseDClick(extension, Qt::LeftButton);
        if (!b.chosen.isEmpty()) expected = b.chosen;
        EXPECT_EQ(target->text(), expected);
        EXPECT_EQ(desktop.dialogs.size(), b.asks ? 1 : 0);
    }
    target->setText(file(QStringLiteral("docs/a.pdf")));
    click(form.get(), "ok");
    ASSERT_TRUE(stored());
    EXPECT_EQ(read(QStringLiteral("TALVO.SUP")), QByteArray("DISQUETTE 3\r\n"));
    const QByteArray letters = read(QStringLiteral("F.MFI"));
    EXPECT_TRUE(letters.contains("FACTURE EDF@05-03-2004[DISQUETTE 3]TEXTES#\xA7" +
                                 QFile::encodeName(file(QStringLiteral("docs/a.pdf")))))
        << letters.toStdString();
    EXPECT_TRUE(letters.contains("FACTURE GAZ@05-03-2004[DISQUETTE 3]TEXTES#\xA7" "A:\\releve.pdf"));
}

// The memo notes: read from the file of any spelling, shown from the category choice on, kept
// sorted, appended to the note on each click, and written back in list order by VALIDER only.
TEST_F(SaisirForm, MemoNotesAreWrittenOnlyByValidate)
{
    write(QStringLiteral("MEMO_NOTES.TXT"), "b note\r\n\r\nA NOTE\n");
    const auto before = snapshot();
    for (const bool validate : {false, true}) {
        SCOPED_TRACE(validate);
        open();
        EXPECT_FALSE(list("Liste1")->isVisibleTo(form.get()));
        clickItem("Liste2", QStringLiteral("TEXTES"));
        EXPECT_TRUE(list("Liste1")->isVisibleTo(form.get()));
        note->setPlainText(QStringLiteral("c"));
        click(form.get(), "memoriser");
        EXPECT_EQ(items("Liste1"), (QStringList{QStringLiteral("A NOTE"), QStringLiteral("b note"), QStringLiteral("c")}));
        clickItem("Liste1", QStringLiteral("A NOTE"));
        clickItem("Liste1", QStringLiteral("A NOTE"));
        EXPECT_EQ(note->toPlainText(), QStringLiteral("cA NOTEA NOTE"));
        if (!validate) {
            desktop.answers = {Desktop::Answer::No}; // drop what was typed
            QTest::keyClick(form.get(), Qt::Key_Escape);
            EXPECT_FALSE(stored());
            EXPECT_EQ(snapshot(), before); // not the memo file, nor any other
            continue;
        }
        click(form.get(), "ok");
        ASSERT_TRUE(stored());
        EXPECT_EQ(read(QStringLiteral("MEMO_NOTES.TXT")), QByteArray("A NOTE\r\nb note\r\nc\r\n"));
        EXPECT_FALSE(exists(QStringLiteral("memo_notes.txt")));
        EXPECT_TRUE(read(QStringLiteral("F.MFI")).contains("#CA NOTEA NOTE\xA7"));
    }
}

TEST_F(SaisirForm, TheNoteFileTakesTheNextCounterOfTheSettingsFile)
{
    const QString ini = settings::settingsFile(path());
    const struct
    {
        std::optional<qint32> inFile; // none: no settings file yet
        qint32 inMemory;
        bool starts;
        qint32 next;
    } cases[] = {{std::nullopt, 41, true, 42}, {50, 41, true, 51}, {7, 60, false, 61}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.next);
        QFile::remove(ini);
        QString error;
        if (c.inFile) {
            TalvoSettings s;
            s.noteCounter = *c.inFile;
            s.lastNote = QStringLiteral("DANS LE FICHIER");
            ASSERT_TRUE(settings::write(lock(), ini, s, &error)) << error.toStdString();
        }
        session->settings.noteCounter = c.inMemory;
        desktop.started.clear();
        desktop.messages.clear();
        desktop.startSucceeds = c.starts;
        open();
        click(form.get(), "txt"); // usable before a category is chosen
        const QString note = path() + QStringLiteral("NOTES/%1.txt").arg(c.next, 6, 10, QLatin1Char('0'));
        EXPECT_EQ(target->text(), note);
        ASSERT_EQ(desktop.started.size(), 1);
        EXPECT_EQ(desktop.started[0].program, files::executableFolder() + QStringLiteral("redig5"));
        EXPECT_EQ(desktop.started[0].arguments, QStringList{note});
        EXPECT_EQ(desktop.messages.size(), c.starts ? 0 : 1);
        EXPECT_EQ(session->settings.noteCounter, c.next);
        const QList<QByteArray> lines = linefile::splitLines(read(QStringLiteral("TALVO.INI")));
        ASSERT_GE(lines.size(), 11);
        EXPECT_EQ(lines[7], QByteArray(' ' + QByteArray::number(c.next) + ' '));
        // What another program stored stays.
        if (c.inFile) {
            EXPECT_EQ(lines[10], QByteArray("DANS LE FICHIER"));
        }
    }
    EXPECT_FALSE(exists(QStringLiteral("NOTES/000042.txt"))); // the editor makes it
}

TEST_F(SaisirForm, ThePhasesEnableTheirControls)
{
    write(QStringLiteral("memo_notes.txt"), "UNE\r\n");
    // Enabled at opening, after the category choice, after starting over (note box non-empty
    // where it is usable). Liste1 is a visibility.
    const struct
    {
        const char *name;
        bool load, chosen, over;
    } table[] = {
        {"Liste2", true, false, true},        {"ajout_cat", true, false, true},
        {"Texte2", true, true, false},        {"txt", true, true, false},
        {"jour", false, true, false},         {"mois", false, true, false},
        {"annee", false, true, false},        {"extension", false, true, false},
        {"file", false, true, false},         {"last_comment", false, true, false},
        {"reinitialiser", false, true, false}, {"ok", false, true, false},
        {"memoriser", true, true, false},     {"Liste1", false, true, false},
    };
    open();
    auto check = [&](int phase) {
        for (const auto &row : table) {
            SCOPED_TRACE(std::string(row.name) + " phase " + std::to_string(phase));
            const bool expected = phase == 0 ? row.load : phase == 1 ? row.chosen : row.over;
            QWidget *w = child(form.get(), row.name);
            const bool isList = QLatin1String(row.name) == QLatin1String("Liste1");
            EXPECT_EQ(isList ? w->isVisibleTo(form.get()) : w->isEnabled(), expected);
        }
    };
    EXPECT_FALSE(child(form.get(), "memoriser")->isEnabled()); // no note yet
    note->setPlainText(QStringLiteral("n"));
    check(0);
    clickItem("Liste2", QStringLiteral("SONS"));
    check(1);
    target->setText(QStringLiteral("kept"));
    click(form.get(), "reinitialiser");
    check(2);
    EXPECT_TRUE(note->toPlainText().isEmpty());
    EXPECT_EQ(target->text(), QStringLiteral("kept"));
}

// A record the catalogue cannot hold is refused naming what is wrong; nothing is written.
// The note stays one line: Enter beeps, pasted line breaks become blanks.
TEST_F(SaisirForm, RefusesWhatTheCatalogueCannotHold)
{
    const struct
    {
        QString note, target, named;
    } cases[] = {
        {QStringLiteral("prix 10 \u4E2D"), QString(), QStringLiteral("U+4E2D")},
        {QStringLiteral("un\tdeux"), QString(), QStringLiteral("U+0009")},
        {QString(), QStringLiteral("/tmp/a\u0007b"), QStringLiteral("U+0007")},
        {QStringLiteral("a\u00A7b"), QString(), QStringLiteral("\u00A7")},
    };
    const auto before = snapshot();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.named.toStdString());
        desktop.messages.clear();
        open();
        clickItem("Liste2", QStringLiteral("SONS"));
        note->setPlainText(c.note);
        target->setText(c.target);
        click(form.get(), "ok");
        EXPECT_FALSE(stored());
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_TRUE(desktop.messages[0].text.contains(c.named)) << desktop.messages[0].text.toStdString();
    }
    EXPECT_EQ(snapshot(), before);

    open();
    clickItem("Liste2", QStringLiteral("SONS"));
    note->setPlainText(QStringLiteral("ab"));
    note->moveCursor(QTextCursor::End);
    QTest::keyClick(note, Qt::Key_Return);
    QTest::keyClick(note, Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(desktop.beeps, 2);
    QApplication::clipboard()->setText(QStringLiteral("c\r\nd\ne"));
    note->paste();
    EXPECT_EQ(note->toPlainText(), QStringLiteral("abc d e"));
    EXPECT_FALSE(stored());
}

// A write that fails says what failed, keeps the dialog with everything typed, and leaves every
// file as it was (the memo notes are put back when the record itself could not be stored); once
// the cause is gone, VALIDER stores the record.
TEST_F(SaisirForm, AFailedWriteKeepsTheDialogAndChangesNothing)
{
    enum class Cause { Busy, ReadOnlyLetterFile, ReadOnlyMemoFile, ReadOnlyFolder };
    const struct
    {
        Cause cause;
        QString named; // part of the message
    } cases[] = {
        {Cause::Busy, path()},
        {Cause::ReadOnlyLetterFile, QStringLiteral("F.MFI")},
        {Cause::ReadOnlyMemoFile, QStringLiteral("memo_notes.txt")},
        {Cause::ReadOnlyFolder, QDir::cleanPath(path())},
    };
    qputenv("TALVO_LOCK_WAIT_MS", "50");
    write(QStringLiteral("memo_notes.txt"), "ANCIENNE\r\n");
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.cause));
        write(QStringLiteral("F.MFI"), "FROMAGE@01-01-2000[]TEXTES#X\xA7\r\n");
        const auto before = snapshot();
        desktop.messages.clear();
        session->settings.lastNote = QStringLiteral("AVANT");
        open();
        clickItem("Liste2", QStringLiteral("SONS"));
        note->setPlainText(QStringLiteral("nouvelle"));
        click(form.get(), "memoriser");
        target->setText(QStringLiteral("/tmp/x"));

        std::optional<files::FolderLock> held;
        const QString blocked = c.cause == Cause::ReadOnlyLetterFile ? file(QStringLiteral("F.MFI"))
                                : c.cause == Cause::ReadOnlyMemoFile ? file(QStringLiteral("memo_notes.txt"))
                                                                     : QString();
        const auto mode = QFile::permissions(blocked);
        std::optional<Immutable> frozen; // a folder that refuses root too (the last case)
        if (c.cause == Cause::Busy) {
            held.emplace(lock());
        } else if (c.cause == Cause::ReadOnlyFolder) {
            frozen.emplace(path());
            if (!frozen->set) GTEST_SKIP() << "chattr +i is refused here";
        } else {
            QFile::setPermissions(blocked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        click(form.get(), "ok");
        EXPECT_FALSE(stored());
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_TRUE(desktop.messages[0].text.contains(c.named)) << desktop.messages[0].text.toStdString();
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(note->toPlainText(), QStringLiteral("nouvelle"));
        EXPECT_EQ(target->text(), QStringLiteral("/tmp/x"));
        EXPECT_EQ(items("Liste1").size(), 2);
        EXPECT_EQ(session->settings.lastNote, QStringLiteral("AVANT"));
        EXPECT_TRUE(form->storedCaption().isEmpty());

        held.reset();
        frozen.reset();
        if (!blocked.isEmpty()) QFile::setPermissions(blocked, mode);
        click(form.get(), "ok");
        EXPECT_TRUE(stored());
        EXPECT_EQ(read(QStringLiteral("memo_notes.txt")), QByteArray("ANCIENNE\r\nnouvelle\r\n"));
        write(QStringLiteral("memo_notes.txt"), "ANCIENNE\r\n");
    }
    qunsetenv("TALVO_LOCK_WAIT_MS");
}

TEST_F(SaisirForm, SpeaksTheSessionsLanguageWithUniqueMnemonics)
{
    for (const bool english : {false, true}) {
        if (english) speakEnglish();
        open();
        QSet<QChar> keys;
        for (const QAbstractButton *b : form->findChildren<QAbstractButton *>()) {
            const int at = b->text().indexOf(u'&');
            ASSERT_GE(at, 0) << b->objectName().toStdString();
            EXPECT_FALSE(keys.contains(b->text().at(at + 1).toLower())) << b->text().toStdString();
            keys.insert(b->text().at(at + 1).toLower());
        }
        for (const QLabel *l : form->findChildren<QLabel *>()) {
            if (!l->buddy()) continue;
            const int at = l->text().indexOf(u'&');
            ASSERT_GE(at, 0) << l->objectName().toStdString();
            EXPECT_FALSE(keys.contains(l->text().at(at + 1).toLower())) << l->text().toStdString();
            keys.insert(l->text().at(at + 1).toLower());
        }
        EXPECT_EQ(keys.size(), 12);
        EXPECT_EQ(child<QPushButton>(form.get(), "ok")->text(), english ? QStringLiteral("&VALIDATE") : QStringLiteral("&VALIDER"));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("FACTURE GAZ"));
    }
}

namespace {

// Closing the form by Escape or its title bar: nothing typed closes at once; with something
// typed, Yes stores as VALIDER does (and stays open when the record is refused), No drops it,
// Cancel keeps the form with what was typed.
TEST_F(SaisirForm, ClosingAsksBeforeDroppingWhatWasTyped)
{
    enum class Typed { Nothing, Note, Category, TooLong };
    const struct
    {
        Typed typed;
        std::optional<Desktop::Answer> answer; // none: no question
        bool closes;
        bool stores;
    } cases[] = {
        {Typed::Nothing, std::nullopt, true, false},
        {Typed::Note, Desktop::Answer::No, true, false},
        {Typed::Note, Desktop::Answer::Cancel, false, false},
        {Typed::Note, Desktop::Answer::Yes, false, false}, // no category yet: said, and kept
        {Typed::Category, Desktop::Answer::Yes, true, true},
        {Typed::TooLong, Desktop::Answer::Yes, false, false},
        {Typed::TooLong, Desktop::Answer::No, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.typed) * 10 + (c.answer ? int(*c.answer) : -1));
        const auto before = snapshot();
        desktop.messages.clear();
        open();
        form->show();
        if (c.typed != Typed::Nothing && c.typed != Typed::Note) clickItem("Liste2", QStringLiteral("TEXTES"));
        if (c.typed == Typed::Note) note->setPlainText(QStringLiteral("un mot"));
        if (c.typed == Typed::TooLong) note->setPlainText(QString(300, u'n'));
        if (c.answer) desktop.answers = {*c.answer};
        QTest::keyClick(form.get(), Qt::Key_Escape);
        EXPECT_EQ(!form->isVisible(), c.closes);
        EXPECT_EQ(stored(), c.stores);
        EXPECT_EQ(desktop.messages.isEmpty(), !c.answer);
        if (c.answer) {
            EXPECT_EQ(desktop.messages.first().buttons, Desktop::Buttons::YesNoCancel);
            EXPECT_TRUE(desktop.messages.first().text.contains(QStringLiteral("FACTURE GAZ")));
        }
        if (!c.stores) {
            EXPECT_EQ(snapshot(), before);
        } else {
            // Stored as an operation that puts the letter file back when undone.
            const auto last = undo::last(path());
            ASSERT_TRUE(last);
            EXPECT_EQ(last->title, texts::get(texts::kAddRecordTitle).arg(QStringLiteral("FACTURE GAZ")));
            QString title, error;
            ASSERT_TRUE(undo::undoLast(lock(), path(), &title, &error)) << error.toStdString();
            EXPECT_EQ(snapshot(), before);
        }
        if (!c.closes) {
            EXPECT_EQ(note->toPlainText().size(), c.typed == Typed::TooLong ? 300 : 6);
        }
        form->hide();
    }
}

} // namespace
