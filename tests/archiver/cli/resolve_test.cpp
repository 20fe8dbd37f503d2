#include "archiver/store/language.h"
#include "common/text/texts.h"

#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

// A volume cannot be mounted for the tool here: which volume carries a support is tested on
// media::locate itself; these check what the command makes of its answer.
TEST(CliResolve, PrintsThePlaceOfTheTargetOrAsksForItsSupport)
{
    TestFolder folder;
    folder.copyShipped(QStringLiteral("francais.lng"));
    folder.write(QStringLiteral("photo.jpg"), "x");
    Language language;
    language.setFile(folder.file(QStringLiteral("francais.lng")));
    const QString line8 = language.LireMessage(8);
    ASSERT_FALSE(line8.isEmpty());

    struct Case
    {
        const char *name;
        QString line;
        int exitCode;
        QString out;
        QString err;
    };
    const QString existing = folder.file(QStringLiteral("photo.jpg"));
    const Case cases[] = {
        {"an existing target is printed as it is",
         QStringLiteral("PHOTO@2003[CD1]IMAGES#§") + existing, 0, existing + u'\n', QString()},
        {"a web address is printed as it is", QStringLiteral("SITE@[CD1]WEB#§http://example.org/"), 0,
         QStringLiteral("http://example.org/\n"), QString()},
        {"a missing target on a support that is not mounted",
         QStringLiteral("PHOTO@2003[NOPE CD 9]IMAGES#§/media/u/CD1/photos/x.jpg"), 1, QString(),
         QStringLiteral("Insérez le support «NOPE CD 9»\n")},
        {"a line that is no record", QStringLiteral("PAS UNE FICHE"), 1, QString(),
         QStringLiteral("PAS UNE FICHE\n") + line8 + u'\n'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = runCli(folder, {QStringLiteral("resolve"), c.line});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.outText(), c.out);
        EXPECT_EQ(r.errText(), c.err);
    }
}
