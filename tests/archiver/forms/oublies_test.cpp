#include "archiver/forms/oublies.h"

#include "common/files/trash.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

struct Oublies : FormFixture
{
    Oublies()
    {
        write(QStringLiteral("TALVO.CAT"), "PHOTOS\r\nTEXTES\r\n");
        for (const char *name : {"PHOTO.JPG", "NOTE.TXT"}) touch(QLatin1String(name));
        write(QStringLiteral("V.MFI"),
              *cp1252::encode(QStringLiteral("VACANCES@01-01-2001[]PHOTOS#\u00A7") + place() +
                              QStringLiteral("PHOTO.JPG\r\n")));
        form = std::make_unique<oublies>(*session, desktop);
        form->setFolder(files.path());
        list = child<QListWidget>(form.get(), "Liste1");
    }
    QString place() const { return files.path() + u'/'; }
    void touch(const QString &name) const
    {
        QFile f(place() + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    QStringList counts() const
    {
        return {child<QLineEdit>(form.get(), "analyse")->text(), child<QLineEdit>(form.get(), "repertorie")->text(),
                child<QLineEdit>(form.get(), "oublie")->text()};
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out.append(list->item(i)->text());
        return out;
    }
    bool fileButtonsEnabled() const
    {
        return child<QPushButton>(form.get(), "mfi")->isEnabled() &&
               child<QPushButton>(form.get(), "renommer")->isEnabled() &&
               child<QPushButton>(form.get(), "supprimer")->isEnabled();
    }
    void select(const QString &path)
    {
        const auto found = list->findItems(path, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << path.toStdString();
        list->setCurrentItem(found.front());
        emit list->itemClicked(found.front());
    }
    static std::function<int(QDialog *)> type(const QString &text)
    {
        return [text](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("saisie"))->setText(text);
            return int(QDialog::Accepted);
        };
    }
    static std::function<int(QDialog *)> pickCategory(const QString &name)
    {
        return [name](QDialog *d) {
            auto *l = d->findChild<QListWidget *>(QStringLiteral("Liste1"));
            const auto items = l->findItems(name, Qt::MatchExactly);
            if (items.isEmpty()) return int(QDialog::Rejected);
            l->setCurrentItem(items.front());
            emit l->itemClicked(items.front());
            return d->result();
        };
    }

    QTemporaryDir files;
    std::unique_ptr<oublies> form;
    QListWidget *list = nullptr;
};

} // namespace

// The analysis counts and lists; a second start lists the folder afresh, each file once, as it is
// then; choosing another folder clears the results.
TEST_F(Oublies, AnalysesAndListsTheFolderAfreshOnEachStart)
{
    EXPECT_EQ(form->windowTitle(), msg(135));
    EXPECT_FALSE(fileButtonsEnabled());
    click(form.get(), "ok");
    EXPECT_EQ(counts(), (QStringList{"2", "1", "1"}));
    EXPECT_EQ(listed(), QStringList{place() + QStringLiteral("NOTE.TXT")});
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_EQ(desktop.messages.last().text, msg(134));

    touch(QStringLiteral("NOUVEAU.TXT"));
    click(form.get(), "ok");
    EXPECT_EQ(counts(), (QStringList{"3", "1", "2"}));
    EXPECT_EQ(listed(), (QStringList{place() + QStringLiteral("NOTE.TXT"),
                                     place() + QStringLiteral("NOUVEAU.TXT")}));

    desktop.fileNames = {path()};
    click(form.get(), "Repertoire1");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(counts(), (QStringList{"0", "0", "0"}));

    // A folder that has gone since it was chosen is refused.
    form->setFolder(place() + QStringLiteral("gone"));
    click(form.get(), "ok");
    EXPECT_EQ(desktop.messages.last().text, texts::get(texts::kNotAFolderToSearch).arg(place() + "gone/"));
}

// A click opens the file with the program of its extension, case aside; an outside tool that
// is not installed is said so.
TEST_F(Oublies, OpensEachFileWithTheProgramOfItsExtension)
{
    for (const char *name : {"a.jpeg", "b.LOG", "c.zip", "d.ALB", "e.pdf"}) touch(QLatin1String(name));
    click(form.get(), "ok");
    desktop.startSucceeds = false;
    desktop.started.clear();
    select(place() + QStringLiteral("c.zip"));
    ASSERT_EQ(desktop.started.size(), 1);
    EXPECT_TRUE(desktop.started.last().program.endsWith(QStringLiteral("talvo5-zip")));
    EXPECT_TRUE(desktop.messages.last().text.contains(QStringLiteral("talvo5-zip")));
    desktop.startSucceeds = true;

    const struct
    {
        const char *name;
        const char *program; // empty: opened with the associated program
    } cases[] = {{"a.jpeg", "pictel5"}, {"NOTE.TXT", "redig5"}, {"b.LOG", "redig5"}, {"d.ALB", "talvo5-album"},
                 {"e.pdf", ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        desktop.started.clear();
        desktop.opened.clear();
        const QString file = place() + QLatin1String(c.name);
        select(file);
        EXPECT_TRUE(fileButtonsEnabled());
        if (*c.program) {
            ASSERT_EQ(desktop.started.size(), 1);
            EXPECT_TRUE(desktop.started.last().program.endsWith(QLatin1String(c.program)));
            EXPECT_EQ(desktop.started.last().arguments, QStringList{file});
        } else {
            EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(file)});
        }
    }
}

// Cataloguing writes the record line in the key's letter file and takes the file off the list;
// an empty key, no category, the categories dialog closed without a choice (whatever category an
// earlier record left) or a key the checks refuse write nothing and leave it listed. A
// file on a removable support asks for the support, proposing the last one, and registers it.
TEST_F(Oublies, CataloguesTheSelectedFile)
{
    click(form.get(), "ok");
    const QString note = place() + QStringLiteral("NOTE.TXT");
    const struct
    {
        QList<std::function<int(QDialog *)>> answers;
        int refusal; // message expected, 0 when the record is stored
        const char *earlierCategory;
    } refused[] = {
        {{type(QString())}, 73, ""},
        {{type(QStringLiteral("lisez")), pickCategory(QStringLiteral("NONE"))}, 73, ""},
        {{type(QStringLiteral("lisez")), pickCategory(QStringLiteral("NONE")), type(QString())},
         73,
         "PHOTOS"},
        {{type(QStringLiteral("@lisez")), pickCategory(QStringLiteral("TEXTES")), type(QString())},
         1,
         ""},
    };
    for (const auto &c : refused) {
        session->current.record.category = QLatin1String(c.earlierCategory);
        select(note);
        desktop.dialogHandlers = c.answers;
        click(form.get(), "mfi");
        EXPECT_EQ(desktop.messages.last().text, msg(c.refusal));
        EXPECT_EQ(listed(), QStringList{note});
        EXPECT_TRUE(read(QStringLiteral("L.MFI")).isEmpty());
        desktop.dialogHandlers.clear();
    }

    select(note);
    desktop.dialogHandlers = {type(QStringLiteral("lisez")), pickCategory(QStringLiteral("TEXTES")),
                              type(QStringLiteral("a lire"))};
    click(form.get(), "mfi");
    const QString line = QStringLiteral("LISEZ@05-03-2004[]TEXTES#A LIRE\u00A7") + note;
    EXPECT_EQ(read(QStringLiteral("L.MFI")), *cp1252::encode(line) + "\r\n");
    EXPECT_EQ(desktop.messages.last().text, line);
    EXPECT_EQ(desktop.messages.last().title, msg(133));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(counts(), (QStringList{"2", "2", "0"}));
    EXPECT_FALSE(fileButtonsEnabled());

    // On a removable support: the last support used is proposed and joins the support list.
    session->removableRoots = {place()};
    session->currentSupport = QStringLiteral("CD 1");
    touch(QStringLiteral("DISQUE.TXT"));
    click(form.get(), "ok");
    select(place() + QStringLiteral("DISQUE.TXT"));
    QString proposed;
    desktop.dialogHandlers = {type(QStringLiteral("disque")), pickCategory(QStringLiteral("TEXTES")), type(QString()),
                              [&proposed](QDialog *d) {
                                  auto *box = d->findChild<QLineEdit *>(QStringLiteral("saisie"));
                                  proposed = box->text();
                                  box->setText(QStringLiteral("cd 7"));
                                  return int(QDialog::Accepted);
                              }};
    click(form.get(), "mfi");
    EXPECT_EQ(proposed, QStringLiteral("CD 1"));
    EXPECT_TRUE(read(QStringLiteral("D.MFI")).startsWith("DISQUE@05-03-2004[CD 7]TEXTES#\xA7"));
    EXPECT_TRUE(read(QStringLiteral("TALVO.SUP")).contains("CD 7\r\n"));
}

// Renaming refuses an empty, unchanged or taken name with message 73; deleting asks a question
// naming the file, No by default, and moves the file to the trash; a file that vanished
// meanwhile is said so and leaves the list.
TEST_F(Oublies, RenamesAndDeletesTheSelectedFile)
{
    touch(QStringLiteral("AUTRE.TXT"));
    click(form.get(), "ok");
    const QString note = place() + QStringLiteral("NOTE.TXT"), other = place() + QStringLiteral("AUTRE.TXT");
    for (const QString &answer : {QString(), note, other}) {
        select(note);
        desktop.dialogHandlers = {type(answer)};
        click(form.get(), "renommer");
        EXPECT_EQ(desktop.messages.last().text, msg(73));
        EXPECT_TRUE(QFile::exists(note));
    }
    const QString renamed = place() + QStringLiteral("lu.txt");
    select(note);
    desktop.dialogHandlers = {type(renamed)};
    click(form.get(), "renommer");
    EXPECT_FALSE(QFile::exists(note));
    EXPECT_TRUE(QFile::exists(renamed));
    EXPECT_EQ(listed(), (QStringList{other, renamed}));

    select(renamed);
    click(form.get(), "supprimer"); // Enter: the default
    EXPECT_TRUE(QFile::exists(renamed));
    const ScriptedDesktop::Shown question = desktop.messages.last();
    EXPECT_EQ(question.text, texts::get(texts::kFinderTrashQuestion).arg(renamed));
    EXPECT_EQ(question.buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, Desktop::Answer::No);
    desktop.answers = {Desktop::Answer::Yes};
    click(form.get(), "supprimer");
    EXPECT_FALSE(QFile::exists(renamed));
    EXPECT_TRUE(QFile::exists(trash() + QStringLiteral("lu.txt")));
    EXPECT_EQ(desktop.messages.last().text, texts::get(texts::kTrashed).arg(renamed));
    EXPECT_EQ(listed(), QStringList{other});
    EXPECT_EQ(counts().last(), QStringLiteral("1"));

    // A file gone since the analysis is said so when clicked, and nothing is started for it.
    ASSERT_TRUE(QFile::remove(other));
    desktop.started.clear();
    desktop.opened.clear();
    select(other);
    EXPECT_EQ(desktop.messages.last().text, texts::get(texts::kFinderVanished).arg(other));
    EXPECT_TRUE(desktop.started.isEmpty());
    EXPECT_TRUE(desktop.opened.isEmpty());
    click(form.get(), "supprimer");
    EXPECT_EQ(desktop.messages.last().text, texts::get(texts::kFinderVanished).arg(other));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(counts().last(), QStringLiteral("0"));
}

// Where the file's disk has no trash, the question says the file goes for good, and Yes deletes it.
TEST_F(Oublies, DeletesForGoodOnlyWhereTheDiskHasNoTrash)
{
    // The user's trash on another file system, and none at the top of the file's own.
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/talvo-trash-XXXXXX"));
    const QString note = place() + QStringLiteral("NOTE.TXT");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(elsewhere.path()));
    const bool hasTrash = files::trashAvailable(note);
    if (!elsewhere.isValid() || hasTrash) {
        qputenv("XDG_DATA_HOME", oldData);
        GTEST_SKIP() << "every file system here has a trash for " << note.toStdString();
    }
    click(form.get(), "ok");
    select(note);
    desktop.answers = {Desktop::Answer::Yes};
    click(form.get(), "supprimer");
    qputenv("XDG_DATA_HOME", oldData);
    const ScriptedDesktop::Shown question = desktop.messages.value(desktop.messages.size() - 1);
    EXPECT_EQ(question.text, texts::get(texts::kFinderDeleteForGoodQuestion).arg(note));
    EXPECT_EQ(question.defaultButton, Desktop::Answer::No);
    EXPECT_FALSE(QFile::exists(note));
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
    EXPECT_TRUE(listed().isEmpty());
}
