#include "archiver/operations/batch.h"
#include "archiver/store/undo.h"
#include "archiver/store/record.h"

#include "common/files/atomic_file.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

namespace {

// Every file of the folder but the lock and the kept copies, with its bytes.
QMap<QString, QByteArray> snapshot(const TestFolder &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder.path()).entryList(QDir::Files))
        if (name != QLatin1String(files::FolderLock::kFileName)) files.insert(name, folder.read(name));
    return files;
}

void writeCatalogue(const TestFolder &folder, const QMap<QString, QByteArray> &files)
{
    for (int i = 0; i < record::kLetterCount; ++i) folder.write(QString(QLatin1Char(record::kLetterList[i])) + ".MFI", "");
    for (auto it = files.begin(); it != files.end(); ++it) folder.write(it.key(), it.value());
}

const QMap<QString, QByteArray> kCatalogue = {
    {"F.MFI", "FACTURE GAZ@1[]FACTURES#ROME ROME\xA7\r\nFACTURE GAZ@1[]FACTURES#ROME ROME\xA7\r\n"
              "FORUM@1[CD2]ROME#\xA7\r\n"},
    {"G.MFI", "GA@1[CD10]X#\xA7\r\nGZ@1[CD1]X#\xA7\r\n"},
    {"R.MFI", "ROME@1[]VILLES#\xA7/photos/rome.jpg\r\n"},
};

} // namespace

// Each change rewrites exactly the lines it names, counts them once, keeps the files in line
// order and moves a line whose key now begins with another letter; the preview counts the same.
TEST(Batch, EachChangeRewritesOnlyItsLines)
{
    const struct
    {
        const char *name;
        batch::LineChange change;
        qint64 records;
        QStringList files;
        QMap<QString, QByteArray> after; // the files that change
    } cases[] = {
        {"first occurrence of each line", batch::replaceFirst("ROME", "PARIS"), 4, {"F.MFI", "P.MFI", "R.MFI"},
         {{"F.MFI", "FACTURE GAZ@1[]FACTURES#PARIS ROME\xA7\r\nFACTURE GAZ@1[]FACTURES#PARIS ROME\xA7\r\n"
                    "FORUM@1[CD2]PARIS#\xA7\r\n"},
          {"P.MFI", "PARIS@1[]VILLES#\xA7/photos/rome.jpg\r\n"},
          {"R.MFI", ""}}},
        {"key moved to another letter", batch::replaceFirst("FACTURE GAZ@", "GAZ@"), 2, {"F.MFI", "G.MFI"},
         {{"F.MFI", "FORUM@1[CD2]ROME#\xA7\r\n"},
          {"G.MFI", "GA@1[CD10]X#\xA7\r\nGAZ@1[]FACTURES#ROME ROME\xA7\r\nGAZ@1[]FACTURES#ROME ROME\xA7\r\n"
                    "GZ@1[CD1]X#\xA7\r\n"}}},
        {"support given where empty", batch::giveSupport("ROME", "CD1"), 3, {"F.MFI", "R.MFI"},
         {{"F.MFI", "FACTURE GAZ@1[CD1]FACTURES#ROME ROME\xA7\r\nFACTURE GAZ@1[CD1]FACTURES#ROME ROME\xA7\r\n"
                    "FORUM@1[CD2]ROME#\xA7\r\n"},
          {"R.MFI", "ROME@1[CD1]VILLES#\xA7/photos/rome.jpg\r\n"}}},
        {"support removed, brackets included", batch::removeSupport("CD1"), 1, {"G.MFI"},
         {{"G.MFI", "GA@1[CD10]X#\xA7\r\nGZ@1[]X#\xA7\r\n"}}},
        {"identical lines removed together",
         batch::removeLines({"FACTURE GAZ@1[]FACTURES#ROME ROME\xA7", "GZ@1[CD1]X#\xA7"}), 3, {"F.MFI", "G.MFI"},
         {{"F.MFI", "FORUM@1[CD2]ROME#\xA7\r\n"}, {"G.MFI", "GA@1[CD10]X#\xA7\r\n"}}},
        {"nothing to change", batch::replaceFirst("ABSENT", "X"), 0, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        writeCatalogue(folder, kCatalogue);
        const Catalogue catalogue(folder.path());
        auto expected = snapshot(folder);
        for (auto it = c.after.begin(); it != c.after.end(); ++it) expected[it.key()] = it.value();
        QStringList paths;
        for (const QString &f : c.files) paths.append(folder.file(f));

        const batch::Plan plan{QStringLiteral("test"), c.change, {}, {}, {}};
        const auto before = snapshot(folder);
        const batch::Counts preview = batch::preview(catalogue, plan);
        EXPECT_EQ(preview.records, c.records);
        EXPECT_EQ(preview.files, paths);
        EXPECT_EQ(snapshot(folder), before);
        const batch::Outcome done = batch::apply(catalogue, folder.lock(), plan);
        ASSERT_TRUE(done.ok) << done.error.toStdString();
        EXPECT_EQ(done.counts.records, c.records);
        EXPECT_EQ(done.counts.files, paths);
        EXPECT_EQ(snapshot(folder), expected);
        EXPECT_EQ(undo::last(folder.path()).has_value(), c.records > 0);
    }
}

// Undoing puts back the bytes of every file the operation changed, added lines included, one
// operation after the other; it refuses, naming the file, when one changed since. An operation
// the program did not finish is put back by the next taking of the lock, before anything else.
TEST(Batch, UndoPutsBackTheLastOperationUnlessItsFilesChangedSince)
{
    TestFolder folder;
    writeCatalogue(folder, kCatalogue);
    const Catalogue catalogue(folder.path());
    const auto original = snapshot(folder);
    batch::Plan import{QStringLiteral("import"), {}, {{u'N', {"NOUVEAU@1[]X#\xA7"}}, {u'A', {"AVANT@1[]X#\xA7"}}}, {}, {}};
    ASSERT_TRUE(batch::apply(catalogue, folder.lock(), import).ok);
    const auto imported = snapshot(folder);
    EXPECT_EQ(imported["N.MFI"], QByteArray("NOUVEAU@1[]X#\xA7\r\n"));
    ASSERT_TRUE(batch::apply(catalogue, folder.lock(), {QStringLiteral("replace"), batch::replaceFirst("X#", "Y#"), {}, {}, {}}).ok);

    QString title, error;
    ASSERT_TRUE(undo::undoLast(folder.lock(), folder.path(), &title, &error)) << error.toStdString();
    EXPECT_EQ(title, QStringLiteral("replace"));
    EXPECT_EQ(snapshot(folder), imported);
    ASSERT_TRUE(undo::undoLast(folder.lock(), folder.path(), &title, &error)) << error.toStdString();
    EXPECT_EQ(snapshot(folder), original);
    EXPECT_FALSE(undo::undoLast(folder.lock(), folder.path(), &title, &error));

    // A file of the operation rewritten by another program since (even with the same bytes):
    // refused, named, nothing put back.
    ASSERT_TRUE(batch::apply(catalogue, folder.lock(), import).ok);
    folder.write(QStringLiteral("N.MFI"), imported["N.MFI"]);
    const auto changed = snapshot(folder);
    EXPECT_FALSE(undo::undoLast(folder.lock(), folder.path(), &title, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("N.MFI")) && !error.contains(QStringLiteral("A.MFI")))
        << error.toStdString();
    EXPECT_EQ(snapshot(folder), changed);
    writeCatalogue(folder, kCatalogue);

    // Stopped after a file was rewritten, before the operation was sealed.
    {
        const auto lock = folder.lock();
        auto op = undo::Operation::begin(lock, folder.path(), QStringLiteral("killed"), &error);
        ASSERT_TRUE(op);
        ASSERT_TRUE(op->keep(folder.file("F.MFI"), &error) && op->keep(folder.file("G.MFI"), &error));
        ASSERT_TRUE(files::saveAtomically(folder.file("F.MFI"), "HALF DONE\r\n", &error));
    }
    bool rolledBack = false;
    QString notice;
    Catalogue told(folder.path());
    told.setNotice([&notice](const QString &text) { notice = text; });
    ASSERT_TRUE(told.lock(&error, -1, &rolledBack)) << error.toStdString();
    EXPECT_TRUE(rolledBack);
    EXPECT_TRUE(notice.contains(QStringLiteral("« killed »")) && notice.endsWith(QStringLiteral(": F.MFI")))
        << notice.toStdString();
    EXPECT_EQ(snapshot(folder), original);
    EXPECT_EQ(undo::last(folder.path())->title, QStringLiteral("import")); // the one before it

    // Only the last ten operations are kept.
    for (int i = 0; i < undo::kKept + 2; ++i)
        ASSERT_TRUE(batch::apply(catalogue, folder.lock(),
                                 {QStringLiteral("n"), batch::replaceFirst(i % 2 ? "@2[" : "@1[", i % 2 ? "@1[" : "@2["), {}, {}, {}})
                        .ok);
    EXPECT_EQ(QDir(undo::operationsFolder(folder.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
              undo::kKept);
}

// An operation that cannot rewrite one of its files, or that is cancelled, leaves every file as
// it was and nothing to undo.
TEST(Batch, AFailureOrACancelHalfWayChangesNothing)
{
    enum class Cause { LineTooLong, NotAFile, Cancel };
    for (const Cause cause : {Cause::LineTooLong, Cause::NotAFile, Cause::Cancel}) {
        SCOPED_TRACE(int(cause));
        TestFolder folder;
        auto files = kCatalogue;
        // R.MFI comes after F.MFI and holds a line too long to be rewritten without loss.
        if (cause == Cause::LineTooLong) files["R.MFI"] += "ROME" + QByteArray(70 * 1024, 'x') + "\r\n";
        writeCatalogue(folder, files);
        // The letter file that receives the last added line is a folder.
        if (cause == Cause::NotAFile) {
            QFile::remove(folder.file("Z.MFI"));
            QDir().mkpath(folder.file("Z.MFI"));
        }
        const auto before = snapshot(folder);
        const Catalogue catalogue(folder.path());
        const batch::Plan plan{QStringLiteral("t"), batch::replaceFirst("ROME", "PARIS"), {{u'Z', {"ZOO@1[]X#\xA7"}}}, {}, {}};
        const batch::Outcome done =
            batch::apply(catalogue, folder.lock(), plan, [&](qsizetype, qsizetype) { return cause != Cause::Cancel; });
        EXPECT_FALSE(done.ok);
        EXPECT_EQ(done.cancelled, cause == Cause::Cancel);
        if (cause != Cause::Cancel) {
            EXPECT_TRUE(done.error.contains(cause == Cause::NotAFile ? "Z.MFI" : "R.MFI")) << done.error.toStdString();
        }
        EXPECT_EQ(snapshot(folder), before);
        EXPECT_FALSE(undo::last(folder.path()).has_value());
    }
}

// A replacement confined to a field carries the separators around both texts.
TEST(Batch, FieldReplacementsCarryTheirSeparators)
{
    using F = record::Field;
    const struct
    {
        F field;
        QString find, by, search, replacement;
    } cases[] = {
        {F::Support, QStringLiteral("cd 12"), QString(), QStringLiteral("[CD 12]"), QStringLiteral("[]")},
        {F::Key, QString(), QStringLiteral("bis"), QStringLiteral("@"), QStringLiteral("BIS@")},
        {F::Category, QStringLiteral("é"), QStringLiteral("x"), QStringLiteral("]É#"), QStringLiteral("]X#")},
        {F::Note, QStringLiteral("payee"), QStringLiteral("réglée"), QStringLiteral("#PAYEE§"), QStringLiteral("#RÉGLÉE§")},
        {F::Target, QStringLiteral("c:\\photos\\"), QStringLiteral("/img/"), QStringLiteral("§c:\\photos\\"), QStringLiteral("§/img/")},
        {F::All, QStringLiteral("rose"), QStringLiteral("Lys"), QStringLiteral("rose"), QStringLiteral("Lys")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.field));
        const batch::FieldReplacement r = batch::confined(c.field, c.find, c.by);
        EXPECT_EQ(r.search, c.search);
        EXPECT_EQ(r.replacement, c.replacement);
    }
}

// A letter file edited by hand out of order comes out sorted whole, its changed lines in place.
TEST(Batch, AFileOutOfOrderIsSortedWhole)
{
    TestFolder folder;
    writeCatalogue(folder, {{"G.MFI", "GZ@1[]X#\xA7\r\nGB@1[]X#\xA7\r\nGA@1[]X#\xA7\r\n"}});
    const Catalogue catalogue(folder.path());
    const batch::Outcome done =
        batch::apply(catalogue, folder.lock(), {QStringLiteral("t"), batch::replaceFirst("GB@", "GC@"), {{u'G', {"GD@1[]X#\xA7"}}}, {}, {}});
    ASSERT_TRUE(done.ok) << done.error.toStdString();
    EXPECT_EQ(done.counts.records, 2);
    EXPECT_EQ(folder.read(QStringLiteral("G.MFI")),
              QByteArray("GA@1[]X#\xA7\r\nGC@1[]X#\xA7\r\nGD@1[]X#\xA7\r\nGZ@1[]X#\xA7\r\n"));
}
