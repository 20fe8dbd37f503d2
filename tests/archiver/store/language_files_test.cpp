// The shipped language files: each holds every text of the other, every text of the programs'
// own, and the English one says them in English.

#include "common/profile/profile.h"
#include "common/text/texts.h"
#include "tests/support/test_folder.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QStringList placeholders(const QString &text)
{
    QStringList found;
    for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found.append(m.captured());
    found.sort();
    return found;
}

} // namespace

TEST(LanguageFiles, EachHoldsEveryTextOfTheOtherAndOfTheProgramsOwn)
{
    const Profile french = Profile::fromFile(shippedFolder() + QStringLiteral("francais.lng"));
    const Profile english = Profile::fromFile(shippedFolder() + QStringLiteral("english.lng"));
    EXPECT_EQ(french.value(QStringLiteral("Langue"), QStringLiteral("Locale"), QString()), QStringLiteral("fr"));
    EXPECT_EQ(english.value(QStringLiteral("Langue"), QStringLiteral("Locale"), QString()), QStringLiteral("en"));

    const auto frenchKeys = QSet<QString>(french.entries().keyBegin(), french.entries().keyEnd());
    const auto englishKeys = QSet<QString>(english.entries().keyBegin(), english.entries().keyEnd());
    for (const QString &k : frenchKeys - englishKeys) ADD_FAILURE() << "missing from english.lng: " << k.toStdString();
    for (const QString &k : englishKeys - frenchKeys) ADD_FAILURE() << "missing from francais.lng: " << k.toStdString();
    for (const Profile *p : {&french, &english})
        for (auto it = p->entries().cbegin(); it != p->entries().cend(); ++it) {
            EXPECT_FALSE(it->isEmpty()) << it.key().toStdString();
            EXPECT_LE(it->size(), Profile::kMaxValueLength) << it.key().toStdString();
        }

    // Names and words that are the same in both languages.
    const QStringList same{QStringLiteral("rubrique_date"), QStringLiteral("rubrique_support"),
                           QStringLiteral("rubrique_note"), QStringLiteral("syntaxe_analyse"),
                           QStringLiteral("syntaxe_backup"), QStringLiteral("syntaxe_restore")};
    const QString section = QLatin1String(texts::kSection);
    for (const texts::Text *t : texts::kAll) {
        const QString key = QLatin1String(t->key), inCode = QString::fromUtf8(t->french);
        const QString fr = french.value(section, key, QString()), en = english.value(section, key, QString());
        EXPECT_EQ(fr, inCode) << "francais.lng and the code differ on " << t->key;
        EXPECT_FALSE(en.isEmpty()) << t->key;
        EXPECT_EQ(placeholders(en), placeholders(inCode)) << t->key;
        if (!same.contains(key)) {
            EXPECT_NE(en, inCode) << "still French in english.lng: " << t->key;
        }
    }
}
