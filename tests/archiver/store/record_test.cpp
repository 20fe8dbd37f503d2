#include "archiver/store/record.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/utilities.h"

#include <QFileInfo>

#include <gtest/gtest.h>

TEST(RecordLine, SplitsAtTheFirstOccurrenceOfEachSeparator)
{
    const auto r = record::parse(QStringLiteral("ANNE@01-02-2003[]E-MAIL#AMIE [LYON] #1§anne@exemple.fr"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, QStringLiteral("ANNE"));
    EXPECT_EQ(r->date, QStringLiteral("01-02-2003"));
    EXPECT_EQ(r->support, QString());
    EXPECT_EQ(r->category, QStringLiteral("E-MAIL"));
    EXPECT_EQ(r->note, QStringLiteral("AMIE [LYON] #1"));
    EXPECT_EQ(r->target, QStringLiteral("anne@exemple.fr"));

    EXPECT_FALSE(record::parse(QStringLiteral("SANS SEPARATEUR")).has_value());
    EXPECT_FALSE(record::parse(QStringLiteral("A@d[s]c#note sans paragraphe")).has_value());
    EXPECT_EQ(record::compose(*r), QStringLiteral("ANNE@01-02-2003[]E-MAIL#AMIE [LYON] #1§anne@exemple.fr"));
}

TEST(RecordLine, FieldsOfRawBytesMatchTheParsedFields)
{
    const QByteArray line = "CL\xC9@05-03-2004[CD 1]FACTURES#PAY\xC9\x45\xA7/docs/f@x.pdf";
    using F = record::Field;
    EXPECT_EQ(record::fieldOf(line, F::All), line);
    EXPECT_EQ(record::fieldOf(line, F::Key), "CL\xC9");
    EXPECT_EQ(record::fieldOf(line, F::Date), "05-03-2004");
    EXPECT_EQ(record::fieldOf(line, F::Support), "CD 1");
    EXPECT_EQ(record::fieldOf(line, F::Category), "FACTURES");
    EXPECT_EQ(record::fieldOf(line, F::Note), "PAY\xC9\x45");
    EXPECT_EQ(record::fieldOf(line, F::Target), "/docs/f@x.pdf");
    // Missing separators give empty compared texts rather than pieces of other fields.
    EXPECT_TRUE(record::fieldOf("MALFORME@date", F::Note).isEmpty());
    EXPECT_TRUE(record::fieldOf("MALFORME", F::Key).isEmpty());
    EXPECT_TRUE(record::fieldOf("A#B@C[D]E\xA7T", F::Category).isEmpty());
}

TEST(RecordKey, RefusalsComeInTheirOrder)
{
    EXPECT_EQ(record::keyRefusal(QStringLiteral("ABC")), 0);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("abc")), 0);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("3 PETITS CHATS")), 0);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A@B")), 1);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A[B")), 2);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A]B")), 3);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A#B")), 4);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A§B")), 5);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("A§B#C@")), 1);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("ÉTÉ")), 7);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("été")), 7);
    EXPECT_EQ(record::keyRefusal(QStringLiteral(" ESPACE")), 7);
    EXPECT_EQ(record::keyRefusal(QStringLiteral("-TIRET")), 7);
    EXPECT_EQ(record::keyRefusal(QString()), 7);
    EXPECT_EQ(record::letterFileName(u'a'), QStringLiteral("A.MFI"));
    EXPECT_EQ(record::letterFileName(u'7'), QStringLiteral("7.MFI"));
}

TEST(RecordEntry, NormalisesAndChecksTheLine)
{
    Record r{QStringLiteral("facture gaz"), QStringLiteral("05-03-2004"), QString(),
             QStringLiteral("FACTURES"), QStringLiteral("payée"), QStringLiteral("C:\\Docs\\f.pdf")};
    r = entry::normalised(r);
    EXPECT_EQ(record::compose(r), QStringLiteral("FACTURE GAZ@05-03-2004[]FACTURES#PAYÉE§C:\\Docs\\f.pdf"));
    EXPECT_FALSE(entry::check(r).has_value());

    // 256 characters are stored, 257 refused with message 29.
    Record limit = r;
    limit.target.clear();
    limit.note.clear();
    limit.note = QString(256 - record::compose(limit).size(), u'N');
    EXPECT_EQ(record::compose(limit).size(), 256);
    EXPECT_FALSE(entry::check(limit).has_value());
    limit.note += u'N';
    ASSERT_TRUE(entry::check(limit).has_value());
    EXPECT_EQ(entry::check(limit)->message, 29);

    Record bad = r;
    bad.note = QStringLiteral("UN § DE TROP");
    ASSERT_TRUE(entry::check(bad).has_value());
    EXPECT_TRUE(entry::check(bad)->text.contains(QStringLiteral("NOTE")));
    bad = r;
    bad.target = QStringLiteral("a\nb");
    EXPECT_TRUE(entry::check(bad).has_value());
    bad = r;
    bad.note = QStringLiteral("ŁÓDŹ");
    ASSERT_TRUE(entry::check(bad).has_value());
    EXPECT_TRUE(entry::check(bad)->text.contains(QStringLiteral("Ł")));
    bad = r;
    bad.key = QStringLiteral("ÉTÉ");
    EXPECT_EQ(entry::check(bad)->message, 7);
    // A target may hold any separator: it is read up to the end of the line.
    Record mail = r;
    mail.target = QStringLiteral("a@b#c[d]e§");
    EXPECT_FALSE(entry::check(mail).has_value());
}

TEST(Utilities, FillsTextToAWidth)
{
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QStringLiteral("."), QStringLiteral("G"), 6), QStringLiteral("...ABC"));
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QStringLiteral("."), QStringLiteral("d"), 6), QStringLiteral("ABC..."));
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QStringLiteral("."), QStringLiteral("D"), 2), QStringLiteral("AB"));
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QStringLiteral("*-"), QStringLiteral("G"), 5), QStringLiteral("**ABC"));
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QString(), QStringLiteral("G"), 5), QString());
    EXPECT_EQ(CompleterTexte(QStringLiteral("ABC"), QStringLiteral("."), QStringLiteral("X"), 5), QString());
}

TEST(Utilities, ListingBufferTurnsUnderscoresIntoLines)
{
    ListingBuffer b;
    b.AjouterTexteListe(QStringLiteral("NOM_PRENOM"));
    b.AjouterTexteListe(QStringLiteral("FIN"));
    EXPECT_EQ(b.text(), QStringLiteral("NOM\r\nPRENOM\r\nFIN\r\n"));
    EXPECT_EQ(formatDayDate(QDate(2004, 3, 5)), QStringLiteral("05-03-2004"));
}

TEST(RemovableMedia, PathsUnderAMountPointOrOnDriveA)
{
    const QStringList roots{QStringLiteral("/media/anne/CLE USB"), QStringLiteral("/run/media/anne/DVD/")};
    EXPECT_TRUE(media::onRemovableSupport(QStringLiteral("/media/anne/CLE USB/photos/a.jpg"), roots));
    EXPECT_TRUE(media::onRemovableSupport(QStringLiteral("/run/media/anne/DVD/film.avi"), roots));
    EXPECT_TRUE(media::onRemovableSupport(QStringLiteral("a:\\LETTRE.TXT"), roots));
    EXPECT_FALSE(media::onRemovableSupport(QStringLiteral("/media/anne/CLE USB2/a.jpg"), roots));
    EXPECT_FALSE(media::onRemovableSupport(QStringLiteral("/home/anne/a.jpg"), roots));
    EXPECT_FALSE(media::onRemovableSupport(QStringLiteral("C:\\A.TXT"), {}));
    // Whatever this machine has mounted, the roots it reports are folders.
    for (const QString &root : media::removableRoots())
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();
}
