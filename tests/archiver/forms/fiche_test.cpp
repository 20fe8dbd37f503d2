#include "archiver/forms/fiche.h"

#include "archiver/forms/impr2.h"
#include "archiver/store/record.h"
#include "common/files/program_folder.h"
#include "common/text/texts.h"
#include "form_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <optional>

namespace {

const QByteArray kGas = "FACTURE GAZ@01-02-2003[CD1]FACTURES#PAYEE\xA7";

struct CardForm : FormFixture
{
    CardForm() { session->settings.showAssociatedFile = false; }

    // Opens the card on line, as the grid does after reading it from letter.
    void open(const QByteArray &line = kGas, const QString &letter = QStringLiteral("F.MFI"))
    {
        const QString text = QString::fromLatin1(line);
        session->current = CurrentRecord{};
        session->current.record = *record::parse(text);
        session->current.letterFile = file(letter);
        session->current.workLine = text;
        form = std::make_unique<Fiche>(*session, desktop);
        closed = 0;
        QObject::connect(form.get(), &QDialog::finished, [this] { ++closed; });
    }
    QLineEdit *box(const char *name) const { return child<QLineEdit>(form.get(), name); }
    QLabel *label(const char *name) const { return child<QLabel>(form.get(), name); }
    QComboBox *categories() const { return child<QComboBox>(form.get(), "liste1"); }
    bool asked(int n) const
    {
        for (const auto &m : desktop.messages)
            if (m.text == msg(n)) return true;
        return false;
    }

    std::unique_ptr<Fiche> form;
    int closed = 0;
};

// Closing writes the edited record back only when it changed and the user agrees: in place of
// every identical line when the key keeps its first letter, into the other letter file (kept in
// line order) when it does not.
TEST_F(CardForm, ClosingWritesTheEditedRecordBackOnlyWhenItChanged)
{
    const struct
    {
        const char *name;
        QByteArray f, g; // F.MFI and G.MFI before
        std::function<void(CardForm &)> edit;
        std::optional<Desktop::Answer> answer; // to message 99; none: not asked
        QByteArray fAfter, gAfter;
        QString storedKey;
    } cases[] = {
        {"no edit", kGas + "\r\n", "", [](CardForm &) {}, std::nullopt, kGas + "\r\n", "", "FACTURE GAZ"},
        {"key typed in lower case", kGas + "\r\n", "",
         [](CardForm &c) { c.box("Texte2")->setText(QStringLiteral("facture gaz")); }, std::nullopt,
         kGas + "\r\n", "", "FACTURE GAZ"},
        {"note in lower case, two identical lines", "FA@1[]X#Y\xA7\r\n" + kGas + "\r\n" + kGas + "\r\nFZ@1[]X#Y\xA7\r\n",
         "", [](CardForm &c) { c.box("Texte3")->setText(QStringLiteral("payee")); }, Desktop::Answer::Yes,
         "FA@1[]X#Y\xA7\r\nFACTURE GAZ@01-02-2003[CD1]FACTURES#payee\xA7\r\n"
         "FACTURE GAZ@01-02-2003[CD1]FACTURES#payee\xA7\r\nFZ@1[]X#Y\xA7\r\n",
         "", "FACTURE GAZ"},
        {"change refused", kGas + "\r\n", "", [](CardForm &c) { c.box("Texte3")->setText(QStringLiteral("payee")); },
         Desktop::Answer::No, kGas + "\r\n", "", "FACTURE GAZ"},
        {"key moved to another letter", kGas + "\r\n" + kGas + "\r\n", "GA@1[]X#Y\xA7\r\nGZ@1[]X#Y\xA7\r\n",
         [](CardForm &c) {
             c.box("Texte2")->setText(QStringLiteral("GAZ FACTURE"));
             c.box("Texte4")->setText(QStringLiteral("cd2"));
         },
         Desktop::Answer::Yes, "",
         "GA@1[]X#Y\xA7\r\nGAZ FACTURE@01-02-2003[CD2]FACTURES#PAYEE\xA7\r\nGZ@1[]X#Y\xA7\r\n", "GAZ FACTURE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        write(QStringLiteral("F.MFI"), c.f);
        write(QStringLiteral("G.MFI"), c.g);
        desktop.messages.clear();
        if (c.answer) desktop.answers = {*c.answer};
        open();
        c.edit(*this);
        form->reject();
        EXPECT_EQ(closed, 1);
        EXPECT_EQ(asked(99), c.answer.has_value());
        EXPECT_EQ(desktop.messages.size(), c.answer ? 1 : 0);
        EXPECT_EQ(read(QStringLiteral("F.MFI")), c.fAfter);
        EXPECT_EQ(read(QStringLiteral("G.MFI")), c.gAfter);
        const bool written = c.answer == Desktop::Answer::Yes;
        EXPECT_EQ(session->current.modified, written);
        EXPECT_EQ(session->current.record.key, c.storedKey);
        if (written) {
            EXPECT_EQ(session->current.letterFile, file(c.storedKey.left(1) + QStringLiteral(".MFI")));
        }
    }
}

// What must not be written keeps the card open with the edits (a line too long, a write that
// fails, a record that another program changed meanwhile, which is not written over); the user is
// told.
TEST_F(CardForm, ARecordThatCannotBeWrittenIsNeverReportedAsStored)
{
    enum class Cause { TooLong, Busy, ReadOnly, ChangedMeanwhile };
    const struct
    {
        Cause cause;
        QString said;
        bool staysOpen;
    } cases[] = {
        {Cause::TooLong, msg(29), true},
        {Cause::Busy, path(), true},
        {Cause::ReadOnly, QStringLiteral("F.MFI"), true},
        {Cause::ChangedMeanwhile, texts::get(texts::kRecordChangedOnDisk), true},
    };
    qputenv("TALVO_LOCK_WAIT_MS", "50");
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.cause));
        write(QStringLiteral("F.MFI"), kGas + "\r\n");
        desktop.messages.clear();
        open();
        const QString note = c.cause == Cause::TooLong ? QString(256 - kGas.size() + 5 + 1, u'n') : QStringLiteral("x");
        box("Texte3")->setText(note);
        if (c.cause == Cause::TooLong) {
            EXPECT_EQ(label("Etiquette7")->text(), QStringLiteral("257"));
            EXPECT_EQ(label("Etiquette7")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        }
        std::optional<files::FolderLock> held;
        if (c.cause == Cause::Busy) held.emplace(lock());
        if (c.cause == Cause::ReadOnly) QFile::setPermissions(file(QStringLiteral("F.MFI")), QFile::ReadOwner);
        if (c.cause == Cause::ChangedMeanwhile) write(QStringLiteral("F.MFI"), "FACTURE GAZ@01-02-2003[CD1]AUTRE#\xA7\r\n");
        const QByteArray before = read(QStringLiteral("F.MFI"));
        form->reject();
        EXPECT_EQ(closed, c.staysOpen ? 0 : 1);
        ASSERT_FALSE(desktop.messages.isEmpty());
        EXPECT_TRUE(desktop.messages.last().text.contains(c.said)) << desktop.messages.last().text.toStdString();
        EXPECT_EQ(read(QStringLiteral("F.MFI")), before);
        EXPECT_FALSE(session->current.modified);
        EXPECT_EQ(box("Texte3")->text(), note);
        if (c.cause == Cause::ReadOnly) QFile::setPermissions(file(QStringLiteral("F.MFI")), QFile::ReadOwner | QFile::WriteOwner);
        if (c.cause == Cause::TooLong) {
            // An edit the catalogue refuses can still be dropped.
            desktop.answers = {Desktop::Answer::No};
            form->reject();
            EXPECT_EQ(closed, 1);
            EXPECT_EQ(read(QStringLiteral("F.MFI")), before);
        } else if (c.cause == Cause::ChangedMeanwhile) {
            // What was typed may become a record of its own, beside the one changed meanwhile.
            desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Yes};
            form->reject();
            EXPECT_EQ(closed, 1);
            EXPECT_TRUE(session->current.modified);
            EXPECT_EQ(read(QStringLiteral("F.MFI")),
                      "FACTURE GAZ@01-02-2003[CD1]AUTRE#\xA7\r\nFACTURE GAZ@01-02-2003[CD1]FACTURES#x\xA7\r\n");
        } else {
            held.reset();
            form->reject(); // the cause gone, the same edits are stored
            EXPECT_EQ(closed, 1);
            EXPECT_TRUE(session->current.modified);
            EXPECT_TRUE(read(QStringLiteral("F.MFI")).contains("#x\xA7"));
        }
    }
    qunsetenv("TALVO_LOCK_WAIT_MS");

    // Cancel keeps the card and its edits; nothing is written.
    write(QStringLiteral("F.MFI"), kGas + "\r\n");
    open();
    box("Texte3")->setText(QStringLiteral("y"));
    desktop.answers = {Desktop::Answer::Cancel};
    form->reject();
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(box("Texte3")->text(), QStringLiteral("y"));
    EXPECT_EQ(read(QStringLiteral("F.MFI")), kGas + "\r\n");
}

// Deleting removes every identical line at once; the target's file goes to the trash only when
// it is a plain file that is there and the user answers Yes to a question naming it, whose
// default is No; a record removed meanwhile deletes nothing.
TEST_F(CardForm, DeletingRemovesTheRecordAndOnlyAPlainTargetFile)
{
    QDir().mkpath(file(QStringLiteral("docs/folder.txt")));
    const struct
    {
        const char *name;
        QString target;
        bool createFile;
        std::optional<Desktop::Answer> aboutFile; // none: Enter
        bool asked;
        bool fileGone;
    } cases[] = {
        {"file kept", QStringLiteral("docs/a.txt"), true, Desktop::Answer::No, true, false},
        {"Enter keeps the file", QStringLiteral("docs/a.txt"), true, std::nullopt, true, false},
        {"file to the trash", QStringLiteral("docs/a.txt"), true, Desktop::Answer::Yes, true, true},
        {"vanished file", QStringLiteral("docs/none.txt"), false, Desktop::Answer::Yes, false, false},
        {"a folder", QStringLiteral("docs/folder.txt"), false, Desktop::Answer::Yes, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = file(c.target);
        if (c.createFile) write(c.target, "bytes");
        const QByteArray line = "FACTURE GAZ@01-02-2003[]FACTURES#PAYEE\xA7" + target.toLatin1();
        write(QStringLiteral("F.MFI"), "FA@1[]X#Y\xA7\r\n" + line + "\r\n" + line + "\r\n");
        desktop.messages.clear();
        desktop.answers = {Desktop::Answer::Yes};
        if (c.aboutFile) desktop.answers.append(*c.aboutFile);
        open(line);
        click(form.get(), "supprimer");
        EXPECT_EQ(closed, 1);
        EXPECT_EQ(read(QStringLiteral("F.MFI")), QByteArray("FA@1[]X#Y\xA7\r\n"));
        EXPECT_TRUE(session->current.deleted);
        ASSERT_EQ(desktop.messages.size(), c.asked ? (c.fileGone ? 3 : 2) : 1);
        if (c.asked) {
            EXPECT_EQ(desktop.messages[1].text, texts::get(texts::kTrashTargetQuestion).arg(target));
            EXPECT_EQ(desktop.messages[1].title, msg(112));
            EXPECT_EQ(desktop.messages[1].defaultButton, Desktop::Answer::No);
        }
        EXPECT_EQ(QFileInfo::exists(target), !c.fileGone && (c.createFile || c.target.contains("folder")));
        EXPECT_EQ(QFileInfo::exists(trash() + QStringLiteral("a.txt")), c.fileGone);
        if (c.fileGone) {
            EXPECT_EQ(desktop.messages[2].text, texts::get(texts::kTrashed).arg(target));
            QFile::remove(trash() + QStringLiteral("a.txt"));
        }
    }

    // Answering No deletes nothing; a line removed by another program meanwhile is said.
    write(QStringLiteral("F.MFI"), kGas + "\r\n");
    desktop.messages.clear();
    desktop.answers = {Desktop::Answer::No};
    open();
    click(form.get(), "supprimer");
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(read(QStringLiteral("F.MFI")), kGas + "\r\n");
    write(QStringLiteral("F.MFI"), "");
    desktop.answers = {Desktop::Answer::Yes};
    click(form.get(), "supprimer");
    EXPECT_EQ(closed, 0);
    EXPECT_FALSE(session->current.deleted);
    EXPECT_TRUE(desktop.messageTexts().last().contains(QStringLiteral("F.MFI")));
}

// What the target boxes and buttons hand to the desktop, for each kind of target.
TEST_F(CardForm, TargetsOpenByTheirKind)
{
    write(QStringLiteral("doc.txt"), "text");
    const QString doc = file(QStringLiteral("doc.txt"));

    // A mail address is a mailto: address every time; "@" first is the target as it stands.
    open("A@1[]X#Y\xA7jean@example.org", QStringLiteral("A.MFI"));
    click(form.get(), "executer");
    click(form.get(), "executer");
    ASSERT_EQ(desktop.opened.size(), 2);
    EXPECT_EQ(desktop.opened[0], QUrl(QStringLiteral("mailto:jean@example.org")));
    EXPECT_EQ(desktop.opened[1], desktop.opened[0]);
    box("Texte5")->setText(QStringLiteral("@unchanged"));
    click(form.get(), "executer");
    EXPECT_EQ(desktop.opened.last().toLocalFile(), QStringLiteral("@unchanged"));

    // A click in a box holding a web or mail address shows the address; a right click on a file
    // shows what it is, titled with its path.
    box("Texte5")->setText(QStringLiteral("http://example.org/page"));
    QTest::mouseClick(box("Texte5"), Qt::LeftButton);
    EXPECT_EQ(desktop.messageTexts().last(), QStringLiteral("http://example.org/page"));
    click(form.get(), "executer");
    EXPECT_EQ(desktop.opened.last(), QUrl(QStringLiteral("http://example.org/page")));
    const qsizetype shown = desktop.messages.size();
    box("Texte5")->setText(doc);
    QTest::mouseClick(box("Texte5"), Qt::LeftButton);
    EXPECT_EQ(desktop.messages.size(), shown);
    QTest::mouseClick(box("Texte5"), Qt::RightButton);
    ASSERT_EQ(desktop.messages.size(), shown + 1);
    EXPECT_EQ(desktop.messages.last().title, doc);
    EXPECT_TRUE(desktop.messages.last().text.startsWith(msg(113)));
    EXPECT_TRUE(desktop.messages.last().text.contains(msg(114) + QStringLiteral("0 Ko")));

    // An emptied target disables "Exécuter"; the record's target follows the box, also when a
    // file is chosen in the file dialog (every file shown, with or without an extension).
    box("Texte5")->clear();
    EXPECT_FALSE(child<QPushButton>(form.get(), "executer")->isEnabled());
    EXPECT_TRUE(session->current.record.target.isEmpty());
    desktop.fileNames = {doc};
    click(form.get(), "parcourir");
    EXPECT_EQ(desktop.fileFilters, QStringList{QStringLiteral("Tous les fichiers (*)")});
    EXPECT_EQ(session->current.record.target, doc);
    EXPECT_TRUE(child<QPushButton>(form.get(), "executer")->isEnabled());

    // Opening a card with the view option shows documents, never starts a program.
    session->settings.showAssociatedFile = true;
    write(QStringLiteral("tool"), "#!/bin/sh\n");
    QFile::setPermissions(file(QStringLiteral("tool")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const struct
    {
        QString target;
        QString started; // program, or empty
        bool opened;
    } views[] = {
        {doc, QStringLiteral("redig5"), false},
        {QStringLiteral("C:\\x.exe"), QString(), false},
        {file(QStringLiteral("x.exe")), QString(), false},
        {file(QStringLiteral("tool")), QString(), false},
        {file(QStringLiteral("page.html")), QString(), true},
        {QStringLiteral("HTTP://example.org"), QString(), false},
    };
    for (const auto &v : views) {
        SCOPED_TRACE(v.target.toStdString());
        desktop.started.clear();
        desktop.opened.clear();
        open("A@1[]X#Y\xA7" + v.target.toLatin1(), QStringLiteral("A.MFI"));
        ASSERT_EQ(desktop.started.size(), v.started.isEmpty() ? 0 : 1);
        if (!v.started.isEmpty()) {
            EXPECT_EQ(desktop.started[0].program, files::executableFolder() + v.started);
            EXPECT_EQ(desktop.started[0].arguments, QStringList{v.target});
        }
        EXPECT_EQ(desktop.opened.size(), v.opened ? 1 : 0);
    }
}

// The thumbnail fills the square box along the picture's short side and is cut at the other
// (each picture is two colours split across its long side, so a squeezed drawing shows); a
// picture that cannot be read says so once and draws nothing; a click on it opens the viewer.
TEST_F(CardForm, APictureTargetShowsItsThumbnail)
{
    session->settings.showAssociatedFile = true;
    const struct
    {
        QString name;
        QSize size; // empty: not a picture
        QRect firstColour; // of the picture; drawn at 1/6 (lying) or 1/2 (upright)
        QPoint inFirst, inSecond; // of the thumbnail
    } cases[] = {
        {QStringLiteral("lying.jpg"), {1000, 800}, {0, 0, 500, 800}, {75, 60}, {95, 60}},
        {QStringLiteral("upright.png"), {300, 700}, {0, 0, 300, 200}, {60, 90}, {60, 110}},
        {QStringLiteral("broken.jpg"), {}, {}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        if (c.size.isEmpty()) {
            write(c.name, "not a picture");
        } else {
            QImage image(c.size, QImage::Format_RGB32);
            image.fill(Qt::red);
            for (int y = c.firstColour.top(); y <= c.firstColour.bottom(); ++y)
                for (int x = c.firstColour.left(); x <= c.firstColour.right(); ++x)
                    image.setPixelColor(x, y, Qt::blue);
            ASSERT_TRUE(image.save(file(c.name)));
        }
        desktop.messages.clear();
        desktop.started.clear();
        open("A@1[]X#Y\xA7" + file(c.name).toLatin1(), QStringLiteral("A.MFI"));
        const QLabel *picture = label("Picture2");
        if (c.size.isEmpty()) {
            EXPECT_EQ(desktop.messages.size(), 1);
            EXPECT_TRUE(picture->pixmap().isNull());
            continue;
        }
        EXPECT_TRUE(desktop.messages.isEmpty());
        const QImage shown = picture->pixmap().toImage();
        EXPECT_EQ(shown.size(), QSize(137, 137));
        EXPECT_GT(shown.pixelColor(c.inFirst).blue(), 200);
        EXPECT_GT(shown.pixelColor(c.inSecond).red(), 200);
        QTest::mouseClick(const_cast<QLabel *>(picture), Qt::LeftButton);
        ASSERT_EQ(desktop.started.size(), 1);
        EXPECT_EQ(desktop.started[0].program, files::executableFolder() + QStringLiteral("pictel5"));
        EXPECT_EQ(desktop.started[0].arguments, QStringList{file(c.name)});
    }
}

// A file on a removable support is looked for on the mounted volume of the support's name,
// wherever it is mounted; when none is, the user is asked to insert it and nothing opens.
TEST_F(CardForm, AFileOnASupportIsFoundWhereverTheSupportIsMounted)
{
    session->removableRoots = {QStringLiteral("/media/stick/")};
    QDir().mkpath(file(QStringLiteral("vol/docs")));
    write(QStringLiteral("vol/docs/a.pdf"), "pdf");
    QList<media::Volume> volumes;
    session->mountedVolumes = [&volumes] { return volumes; };
    open("A@1[CD1]X#Y\xA7/media/stick/docs/a.pdf", QStringLiteral("A.MFI"));

    click(form.get(), "executer");
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_EQ(desktop.messageTexts(), QStringList{QStringLiteral("Insérez le support «CD1»")});

    volumes = {{path() + QStringLiteral("vol/"), QStringLiteral("cd1")}};
    click(form.get(), "executer");
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), file(QStringLiteral("vol/docs/a.pdf")));
}

// The counter counts the line as it would be stored; picking a category from the list does not
// refresh it, typing in the box does.
TEST_F(CardForm, TheCounterFollowsTyping)
{
    write(QStringLiteral("TALVO.CAT"), "FACTURES\r\nLONGUE CATEGORIE\r\n");
    open();
    QLabel *count = label("Etiquette7");
    EXPECT_EQ(count->text(), QString::number(kGas.size()));
    EXPECT_EQ(count->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    categories()->setCurrentIndex(categories()->findText(QStringLiteral("LONGUE CATEGORIE")));
    EXPECT_EQ(count->text(), QString::number(kGas.size()));
    QTest::keyClicks(categories()->lineEdit(), QStringLiteral("XY"));
    EXPECT_EQ(count->text(), QString::number(kGas.size() - 8 + 16 + 2));
    const int beeps = desktop.beeps;
    QTest::keyClick(box("Texte3"), Qt::Key_Return);
    EXPECT_EQ(desktop.beeps, beeps + 1);
    EXPECT_EQ(closed, 0);
}

// A printed card goes to a text file of the run's scratch folder named after its key, whatever
// the key holds, with the fields chosen, their labels when asked, and a note's parts on lines of
// their own; then the editor opens it. The home folder, which holds a file of that name, is left
// alone.
TEST_F(CardForm, PrintingWritesACardFileInTheScratchFolder)
{
    const QString home = path() + QStringLiteral("home");
    QDir().mkpath(home);
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.toUtf8());
    write(QStringLiteral("home/NOM.TXT"), "the user's own");
    const QString scratch = QFileInfo(session->scratchFile(QStringLiteral("x"))).absolutePath();
    const QString longKey(250, u'K');
    const struct
    {
        QString key;
        QString fileName;
    } keys[] = {
        {QStringLiteral("../../X"), QStringLiteral("_.__._X.TXT")},
        {QStringLiteral("A/B"), QStringLiteral("A_B.TXT")},
        {QStringLiteral("."), QStringLiteral("_.TXT")},
        {longKey, QString(200, u'K') + QStringLiteral(".TXT")},
    };
    // The fields chosen in the print-field dialog: key, then note.
    auto chooseKeyAndNote = [](QDialog *dialog) {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("List1"));
        for (const int row : {0, 1}) {
            list->setCurrentRow(row);
            emit list->itemClicked(list->item(row));
        }
        dialog->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        return dialog->result();
    };
    for (const auto &k : keys) {
        SCOPED_TRACE(k.key.toStdString());
        write(QStringLiteral("A.MFI"), "");
        desktop.started.clear();
        desktop.dialogHandlers = {chooseKeyAndNote};
        desktop.answers = {Desktop::Answer::Yes};
        open("A@1[]X#A_B\xA7");
        box("Texte2")->setText(k.key);
        click(form.get(), "imprimer");
        ASSERT_EQ(QDir(scratch).entryList(QDir::Files | QDir::Hidden), QStringList{k.fileName});
        const QString printed = scratch + u'/' + k.fileName;
        QFile out(printed);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLatin1(out.readAll()),
                  msg(103) + QStringLiteral(": ") + k.key + QStringLiteral("\r\n") + msg(106)
                      + QStringLiteral(": A\r\nB\r\n\r\n"));
        QFile::remove(printed);
        ASSERT_EQ(desktop.started.size(), 1);
        EXPECT_EQ(desktop.started[0].arguments, QStringList{printed});
    }

    // Without labels; the print-field dialog closed without OK prints nothing.
    desktop.dialogHandlers = {chooseKeyAndNote};
    desktop.answers = {Desktop::Answer::No};
    open("NOM@1[]X#A_B\xA7", QStringLiteral("N.MFI"));
    click(form.get(), "imprimer");
    QFile out(scratch + QStringLiteral("/NOM.TXT"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("NOM\r\nA\r\nB\r\n\r\n"));
    out.close();
    QFile::remove(out.fileName());
    desktop.started.clear();
    desktop.dialogHandlers = {[](QDialog *) { return int(QDialog::Rejected); }};
    click(form.get(), "imprimer");
    EXPECT_FALSE(out.exists());
    EXPECT_TRUE(desktop.started.isEmpty());
    EXPECT_EQ(read(QStringLiteral("home/NOM.TXT")), "the user's own");
    qputenv("HOME", oldHome);
}

} // namespace
