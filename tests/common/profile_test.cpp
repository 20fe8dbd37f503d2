#include "common/profile/profile.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

TEST(Profile, LooksUpSectionsAndKeysWithoutCase)
{
    const Profile p = Profile::fromBytes("; comment\r\n"
                                         "[MSG]\r\n"
                                         "1 = Pas de @ dans le texte \r\n"
                                         "7=\"  cit\xE9  \"\r\n"
                                         "[Talvo]\n"
                                         "Form.Caption=TALVO5\n"
                                         "ajouter_cle.Caption=Ajout direct\n"
                                         "ajouter_cle.Caption=second, ignored\n"
                                         "[msg]\n"
                                         "1=later section, ignored\n"
                                         "2=from a repeated section\n");
    EXPECT_EQ(p.value(QStringLiteral("msg"), QStringLiteral("1"), QString()), QStringLiteral("Pas de @ dans le texte"));
    EXPECT_EQ(p.value(QStringLiteral("MSG"), QStringLiteral("7"), QString()), QStringLiteral("  cité  "));
    EXPECT_EQ(p.value(QStringLiteral("TALVO"), QStringLiteral("FORM.CAPTION"), QStringLiteral("Pas de Titre")),
              QStringLiteral("TALVO5"));
    EXPECT_EQ(p.value(QStringLiteral("Talvo"), QStringLiteral("ajouter_cle.Caption"), QString()),
              QStringLiteral("Ajout direct"));
    EXPECT_EQ(p.value(QStringLiteral("MSG"), QStringLiteral("2"), QString()), QStringLiteral("from a repeated section"));
    EXPECT_EQ(p.value(QStringLiteral("Saisir"), QStringLiteral("Form.Caption"), QStringLiteral("Pas de Titre")),
              QStringLiteral("Pas de Titre"));
    EXPECT_FALSE(p.contains(QStringLiteral("MSG"), QStringLiteral("3")));
}

TEST(Profile, ValuesAreCutTo254Characters)
{
    const QByteArray longValue(300, 'x');
    const Profile p = Profile::fromBytes("[MSG]\r\n12=" + longValue + "\r\n");
    EXPECT_EQ(p.value(QStringLiteral("MSG"), QStringLiteral("12"), QString()).size(), 254);
    EXPECT_EQ(p.value(QStringLiteral("MSG"), QStringLiteral("13"), QString(300, u'd')).size(), 254);
}

TEST(Profile, ReadsWindows1252AndMissingFilesGiveDefaults)
{
    TestFolder folder;
    folder.write(QStringLiteral("francais.lng"), "[MSG]\r\n5=Le caract\xE8re \xA7 est r\xE9serv\xE9\r\n");
    EXPECT_EQ(LireIni(folder.file(QStringLiteral("francais.lng")), QStringLiteral("MSG"), QStringLiteral("5"), QString()),
              QStringLiteral("Le caractère § est réservé"));
    EXPECT_EQ(LireIni(folder.file(QStringLiteral("absent.lng")), QStringLiteral("MSG"), QStringLiteral("5"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(LireIni(QString(), QStringLiteral("MSG"), QStringLiteral("5"), QString()), QString());
}
