#include "command_window.h"

#include "archiver/forms/oublies.h"

#include <QBuffer>
#include <QDirIterator>
#include <QImage>

#include <algorithm>
#include <map>
#include <set>

namespace {

struct Home : CommandWindow
{
    // A file of the user's with bytes of its own; a picture is a real JPEG, its name after it.
    void plant(const QString &name)
    {
        const QString file = home() + u'/' + name;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QByteArray bytes;
        if (name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)) {
            QImage image(6, 4, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPEG");
        }
        bytes += "the user's own " + name.toUtf8();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
        f.write(bytes);
        users.insert(name);
    }
    std::map<QString, QByteArray> snapshot(const QString &folder) const
    {
        std::map<QString, QByteArray> files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile f(it.next());
            files[f.fileName().mid(folder.size())] =
                f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?");
        }
        return files;
    }
    CliRun cli(const QStringList &args) const { return runCli(*this, args); }

    std::set<QString> users;
};

// The commands that write outside the letter files, each run over a home folder that already
// holds the user's files of every name the command might write. Afterwards each of those files is
// as it was, byte for byte, unless the row lets the command change it; one the user let go is in
// the trash. Files of the program's own earlier runs (made in before) may change, and new files
// appear only where the row says.
struct Row
{
    const char *name;
    // Earlier work of the user and the programs; what it plants is the user's, what the commands
    // write is the program's.
    std::function<void(Home &)> before;
    QStringList plant; // the user's files, relative to the home folder
    std::function<void(Home &)> run;
    // Files the command may change, remove or make; a folder ending with "/" may get new files.
    QStringList allowed;
    QStringList trashed; // the user's files that must end in the trash
};

const QStringList kPictures{"Images/photo.jpg", "Images/Vacances.JPG", "Images/cd.jpg"};
// Every name the page ma_page might give a file of its folder.
const QStringList kPageNames{
    "ma_page/ma_page.htm",  "ma_page/image0000.jpg", "ma_page/image0001.jpg", "ma_page/photo.jpg",
    "ma_page/vacances.jpg", "ma_page/back.gif",      "ma_page/dedans.jpg"};

QStringList pageArguments(int mode)
{
    return {"html-page",           "ma_page",    "--search", "PHOTO", "--copy-mode",
            QString::number(mode), "--parchment"};
}

// The finder, opened from its menu on home/Documents, started, and the file clicked.
void findAndSelect(Home &h, const QString &name, const std::function<void(oublies &)> &act)
{
    h.desktop.dialogHandlers.prepend([&h, name, act](QDialog *d) {
        auto *finder = qobject_cast<oublies *>(d);
        finder->setFolder(h.home() + QStringLiteral("/Documents"));
        d->findChild<QAbstractButton *>(QStringLiteral("ok"))->click();
        auto *list = d->findChild<QListWidget *>(QStringLiteral("Liste1"));
        const auto items =
            list->findItems(h.home() + QStringLiteral("/Documents/") + name, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1);
        if (items.isEmpty()) return int(QDialog::Rejected);
        list->setCurrentItem(items.front());
        emit list->itemClicked(items.front());
        act(*finder);
        return int(QDialog::Rejected);
    });
    h.action(QStringLiteral("m_oublies"))->trigger();
}

std::function<int(QDialog *)> typing(const QString &text)
{
    return [text](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("saisie"))->setText(text);
        return int(QDialog::Accepted);
    };
}

// The page dialog filled with the page's name and copy mode, then started.
std::function<int(QDialog *)> pageDialog(int mode)
{
    return [mode](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("nom"))->setText(QStringLiteral("ma_page"));
        d->findChild<QAbstractButton *>(QStringLiteral("Option1(%1)").arg(mode))->click();
        d->findChild<QAbstractButton *>(QStringLiteral("Check1"))->click(); // the parchment
        d->findChild<QAbstractButton *>(QStringLiteral("Commande1"))->click();
        return d->result();
    };
}

QList<Row> rows()
{
    QList<Row> all{
        {"print list in columns",
         {},
         {"liste.txt", "LISTE.TXT"},
         [](Home &h) {
             h.search(QStringLiteral("PHOTO"));
             h.desktop.dialogHandlers = {Home::clicking("Picture1"), Home::picking({0, 5})};
             h.action(QStringLiteral("m_imprimer"))->trigger();
             EXPECT_TRUE(h.exists(QStringLiteral("liste.txt")));
         },
         {},
         {}},
        {"print list as cards, from the command line",
         {},
         {"liste.txt"},
         [](Home &h) {
             EXPECT_EQ(h.cli({"print-list", "--cards", "--search", "PHOTO"}).exitCode, 0);
         },
         {},
         {}},
        {"keyword list, in the window and from the command line",
         {},
         {"Mots_Cles.txt"},
         [](Home &h) {
             h.action(QStringLiteral("m_lister_clés"))->trigger();
             EXPECT_EQ(h.cli({"keywords"}).exitCode, 0);
             EXPECT_TRUE(h.exists(QStringLiteral("Mots_Cles.txt")));
         },
         {},
         {}},
        {"album list",
         {},
         {"temp.alb"},
         [](Home &h) {
             // The tool installed, as a start would find it.
             h.write(QStringLiteral("talvo5-vignettes"), "");
             h.action(QStringLiteral("m_album"))->setEnabled(true);
             h.search(QStringLiteral("PHOTO"));
             h.action(QStringLiteral("m_album"))->trigger();
             ASSERT_EQ(h.desktop.started.size(), 1) << h.desktop.log.join(u'\n').toStdString();
             EXPECT_TRUE(QFileInfo(h.desktop.started.front().arguments.value(0)).isFile());
         },
         {},
         {}},
        {"page in the user's own folder, No as the window's default",
         {},
         kPictures + kPageNames,
         [](Home &h) {
             h.search(QStringLiteral("PHOTO"));
             h.desktop.dialogHandlers = {pageDialog(2)};
             h.action(QStringLiteral("m_html"))->trigger();
             EXPECT_EQ(h.desktop.opened.value(0).toLocalFile(),
                       h.home() + QStringLiteral("/ma_page_2/ma_page_2.htm"));
         },
         {"ma_page_2/"},
         {}},
        {"page in the user's own folder, Yes to the folder and to the page",
         {},
         kPictures + kPageNames,
         [](Home &h) {
             h.search(QStringLiteral("PHOTO"));
             h.desktop.dialogHandlers = {pageDialog(1)};
             h.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Yes};
             h.action(QStringLiteral("m_html"))->trigger();
             EXPECT_EQ(h.desktop.opened.value(0).toLocalFile(),
                       h.home() + QStringLiteral("/ma_page/ma_page.htm"));
         },
         {"ma_page/", "ma_page/ma_page.htm"},
         {}},
        {"finder catalogues a file",
         {},
         {"Documents/note.txt"},
         [](Home &h) {
             h.desktop.dialogHandlers = {typing(QStringLiteral("lisez")),
                                         [](QDialog *d) {
                                             auto *list = d->findChild<QListWidget *>(
                                                 QStringLiteral("Liste1"));
                                             list->setCurrentRow(0);
                                             emit list->itemClicked(list->item(0));
                                             return d->result();
                                         },
                                         typing(QString())};
             findAndSelect(h, QStringLiteral("note.txt"), [](oublies &f) { f.mfi_Click(); });
             EXPECT_TRUE(h.read(QStringLiteral("L.MFI")).contains("/Documents/note.txt"));
         },
         {},
         {}},
        {"finder renames a file to the name the user typed, never over another",
         {},
         {"Documents/note.txt", "Documents/autre.txt"},
         [](Home &h) {
             const QString folder = h.home() + QStringLiteral("/Documents/");
             h.desktop.dialogHandlers = {typing(folder + QStringLiteral("autre.txt")),
                                         typing(folder + QStringLiteral("lu.txt"))};
             findAndSelect(h, QStringLiteral("note.txt"), [](oublies &f) {
                 f.renommer_Click();
                 f.renommer_Click();
             });
             EXPECT_TRUE(
                 h.snapshot(folder)["lu.txt"].endsWith("the user's own Documents/note.txt"));
         },
         {"Documents/note.txt", "Documents/lu.txt"},
         {}},
        {"finder delete answered with Enter",
         {},
         {"Documents/note.txt"},
         [](Home &h) {
             findAndSelect(h, QStringLiteral("note.txt"), [](oublies &f) { f.supprimer_Click(); });
         },
         {},
         {}},
        {"finder delete confirmed",
         {},
         {"Documents/note.txt"},
         [](Home &h) {
             findAndSelect(h, QStringLiteral("note.txt"), [&h](oublies &f) {
                 h.desktop.answers = {Desktop::Answer::Yes};
                 f.supprimer_Click();
             });
         },
         {},
         {"Documents/note.txt"}},
        {"record card printed, with the home folder as the user's",
         {},
         {"PHOTO UN.TXT", "PHOTO_UN.TXT"},
         [](Home &h) {
             const QByteArray oldHome = qgetenv("HOME");
             qputenv("HOME", QFile::encodeName(h.home()));
             h.desktop.dialogHandlers = {[&h](QDialog *card) {
                 h.desktop.dialogHandlers.prepend(Home::picking({0, 1}));
                 card->findChild<QAbstractButton *>(QStringLiteral("imprimer"))->click();
                 return int(QDialog::Rejected);
             }};
             h.search(QStringLiteral("PHOTO UN"));
             qputenv("HOME", oldHome);
             ASSERT_FALSE(h.desktop.started.isEmpty());
             EXPECT_TRUE(h.desktop.started.back().arguments.value(0).endsWith(QLatin1String("PHOTO UN.TXT")));
             EXPECT_TRUE(QFileInfo(h.desktop.started.back().arguments.value(0)).isFile());
         },
         {},
         {}},
        {"export to the file the save dialog chose",
         {},
         {"export.MFI", "SANSNOM.MFI"},
         [](Home &h) {
             h.search(QStringLiteral("PHOTO"));
             h.desktop.fileNames = {h.home() + QStringLiteral("/export.MFI")};
             h.action(QStringLiteral("m_sauver"))->trigger();
             EXPECT_TRUE(h.snapshot(h.home() + u'/')["export.MFI"].startsWith("PHOTO CD@"));
         },
         {"export.MFI"},
         {}},
        {"analysis, in the window and from the command line",
         {},
         {"bilan.txt", "TALVO.CAT", "TALVO.SUP", "talvo_cat.bak"},
         [](Home &h) {
             h.desktop.answers = {Desktop::Answer::No};
             h.action(QStringLiteral("m_bilan"))->trigger();
             EXPECT_EQ(h.cli({"analyse"}).exitCode, 0);
             EXPECT_TRUE(h.exists(QStringLiteral("bilan.txt")));
         },
         {},
         {}},
        {"imports read the user's files and write nothing beside them",
         {},
         {"Documents/in.MFI", "Documents/in.txt"},
         [](Home &h) {
             const QString folder = h.home() + QStringLiteral("/Documents/");
             QFile(folder + QStringLiteral("in.MFI")).open(QIODevice::Append);
             h.desktop.fileNames = {folder + QStringLiteral("in.MFI"), folder + QStringLiteral("in.txt")};
             h.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Ok, Desktop::Answer::No};
             h.action(QStringLiteral("m_import"))->trigger();
             h.action(QStringLiteral("m_importer"))->trigger();
             EXPECT_EQ(h.cli({"import", folder + QStringLiteral("in.MFI")}).exitCode, 0);
         },
         {},
         {}},
        {"finder from the command line",
         {},
         {"Documents/note.txt"},
         [](Home &h) {
             EXPECT_EQ(h.cli({"uncatalogued", h.home() + QStringLiteral("/Documents")}).exitCode,
                       0);
         },
         {},
         {}},
    };
    for (int mode = 0; mode <= 2; ++mode) {
        all.append({"page from the command line, into the user's own folder",
                    {},
                    kPictures + kPageNames,
                    [mode](Home &h) {
                        const CliRun r = h.cli(pageArguments(mode));
                        EXPECT_EQ(r.exitCode, 1);
                        EXPECT_TRUE(r.errText().contains(h.home() + QStringLiteral("/ma_page")))
                            << r.errText().toStdString();
                    },
                    {},
                    {}});
        // The folder made by a first run, where the user then put files of the names it uses.
        all.append({"page from the command line, again after the user's files joined its folder",
                    [mode](Home &h) {
                        for (const QString &p : kPictures)
                            h.plant(p);
                        EXPECT_EQ(h.cli(pageArguments(mode)).exitCode, 0);
                    },
                    kPageNames.mid(1),
                    [mode](Home &h) {
                        const CliRun r = h.cli(pageArguments(mode));
                        EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
                    },
                    {"ma_page/"},
                    {}});
    }
    return all;
}

} // namespace

TEST(UsersFiles, NoCommandChangesAFileOfTheUsersWithoutTheirWord)
{
    for (const Row &row : rows()) {
        Home h;
        SCOPED_TRACE(row.name);
        if (row.before) row.before(h);
        for (const QString &p : row.plant)
            h.plant(p);
        const QString home = h.home() + u'/';
        const auto before = h.snapshot(home);
        row.run(h);
        const auto after = h.snapshot(home);
        const auto trashed = h.snapshot(h.trash());
        const auto mayMake = [&](const QString &p) {
            return std::any_of(row.allowed.cbegin(), row.allowed.cend(), [&](const QString &a) {
                return a == p || (a.endsWith(u'/') && p.startsWith(a));
            });
        };
        for (const auto &[p, bytes] : before) {
            if (!h.users.count(p) || row.allowed.contains(p)) continue;
            if (row.trashed.contains(p)) {
                EXPECT_FALSE(after.count(p)) << p.toStdString();
                EXPECT_TRUE(std::any_of(trashed.cbegin(), trashed.cend(),
                                        [&](const auto &t) { return t.second == bytes; }))
                    << p.toStdString() << " is not in the trash";
                continue;
            }
            EXPECT_TRUE(after.count(p) && after.at(p) == bytes)
                << p.toStdString() << " changed or went";
        }
        for (const auto &[p, bytes] : after)
            EXPECT_TRUE(before.count(p) || mayMake(p)) << "new file " << p.toStdString();
    }
}
