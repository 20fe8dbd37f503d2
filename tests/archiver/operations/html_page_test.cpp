#include "archiver/operations/html_page.h"

#include "common/images/image_size.h"

#include <QDir>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct Page : ::testing::Test
{
    QTemporaryDir home, pictures, program;
    QString picture(const QString &name, QSize size) const
    {
        const QString path = pictures.filePath(name);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        EXPECT_TRUE(image.save(path, "JPEG")) << path.toStdString();
        return path;
    }
    QString file(const QString &name, QByteArrayView bytes) const
    {
        const QString path = pictures.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), bytes.size());
        return path;
    }
    static Record record(const QString &key, const QString &category, const QString &target,
                         const QString &support = QString())
    {
        return Record{key, QStringLiteral("01-01-2001"), support, category, QStringLiteral("note"), target};
    }
    htmlpage::Outcome build(const QList<Record> &rows, const htmlpage::Options &options,
                            QStringList *asked = nullptr) const
    {
        return htmlpage::build(rows, options, program.path() + u'/', home.path(),
                               [](const QString &p, QString *why) { return images::headerSize(p, why); },
                               [asked](const Record &r) {
                                   if (asked) asked->append(r.support);
                               });
    }
    static QString readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

// Three pictures two to a row: one full row, then a row of one cell closed by </TR>; the fields
// 4 then 0 under each (category, key), escaped like the title; copy mode 2 numbers the copies
// from image0000; a picture that cannot be read keeps its place without a size and is named
// among the problems; rows that are not page pictures are passed over; a name without
// extension gets ".htm" and a folder of its own.
TEST_F(Page, LaysOutThePicturesAsTheListSays)
{
    const QList<Record> rows = {
        record(QStringLiteral("<script>alert(1)</script>"), QStringLiteral("A&B"),
               picture(QStringLiteral("un.JPG"), {30, 20})),
        record(QStringLiteral("TEXTE"), QStringLiteral("T"), file(QStringLiteral("lisez.txt"), "x")),
        record(QStringLiteral("IMAGE BMP"), QStringLiteral("T"), pictures.filePath(QStringLiteral("x.bmp"))),
        record(QStringLiteral("DEUX \"2\""), QStringLiteral("C"), picture(QStringLiteral("deux.jpeg"), {40, 10}),
               QStringLiteral("CD 1")),
        record(QStringLiteral("CASSE"), QStringLiteral("D"), file(QStringLiteral("casse.gif"), "pas une image")),
    };
    htmlpage::Options o;
    o.name = QStringLiteral("album");
    o.title = QStringLiteral("Mes <b>\"photos\"</b> & co");
    o.fields = QStringLiteral("40");
    o.columns = 2;
    QStringList asked;
    const htmlpage::Outcome out = build(rows, o, &asked);

    EXPECT_EQ(out.pictures, 3);
    EXPECT_EQ(out.folder, home.path() + QStringLiteral("/album"));
    EXPECT_EQ(out.page, home.path() + QStringLiteral("/album/album.htm"));
    EXPECT_EQ(asked, QStringList{QStringLiteral("CD 1")});
    ASSERT_EQ(out.problems.size(), 1);
    EXPECT_TRUE(out.problems.front().startsWith(rows[4].target));
    EXPECT_EQ(QDir(out.folder).entryList(QDir::Files),
              (QStringList{"album.htm", "image0000.jpg", "image0001.jpeg", "image0002.gif"}));
    const QString title = QStringLiteral("Mes &lt;b&gt;&quot;photos&quot;&lt;/b&gt; &amp; co");
    const QString expected =
        QStringLiteral("<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>") + title +
        QStringLiteral("</title>\r\n</head>\r\n\r\n<BODY>\r\n<h1>") + title +
        QStringLiteral("</h1>\r\n\r\n<TABLE>\r\n"
                       "<TR ALIGN=\"CENTER\">\r\n"
                       "  <TD>\r\n  <IMG SRC=\"image0000.jpg\" Width=\"30\" Height=\"20\"><br>\r\n"
                       "  A&amp;B<br>\r\n  &lt;script&gt;alert(1)&lt;/script&gt;<br>\r\n  </TD>\r\n"
                       "  <TD>\r\n  <IMG SRC=\"image0001.jpeg\" Width=\"40\" Height=\"10\"><br>\r\n"
                       "  C<br>\r\n  DEUX &quot;2&quot;<br>\r\n  </TD>\r\n"
                       "</TR>\r\n\r\n"
                       "<TR ALIGN=\"CENTER\">\r\n"
                       "  <TD>\r\n  <IMG SRC=\"image0002.gif\"><br>\r\n  D<br>\r\n  CASSE<br>\r\n  </TD>\r\n"
                       "</TR>\r\n\r\n</TABLE>\r\n</body>\r\n</html>\r\n");
    EXPECT_EQ(readAll(out.page), expected);
}

// The three ways of naming the pictures: where they are (as a file URL), copied under their own
// name in lower case, numbered; a path with blanks, quotes and accents survives each; the
// parchment background is copied beside the page; without a picture no page is written.
TEST_F(Page, NamesEachPictureAsTheCopyModeSays)
{
    const QString odd = picture(QStringLiteral("L'Été \"1\" #2.jpg"), {8, 6});
    QFile back(program.filePath(QStringLiteral("back.gif")));
    ASSERT_TRUE(back.open(QIODevice::WriteOnly));
    back.write("GIF89a");
    back.close();
    const struct
    {
        int mode;
        QString source;  // the file the SRC names: a URL of it, or its name relative to the page
        QString copied;  // the copy in the working folder, empty when none
    } cases[] = {
        {0, odd, QString()},
        {1, QStringLiteral("l'été \"1\" #2.jpg"), QStringLiteral("l'été \"1\" #2.jpg")},
        {2, QStringLiteral("image0000.jpg"), QStringLiteral("image0000.jpg")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        htmlpage::Options o;
        o.name = QStringLiteral("mode%1.HTML").arg(c.mode);
        o.copyMode = c.mode;
        o.parchment = true;
        const htmlpage::Outcome out = build({record(QStringLiteral("K"), QStringLiteral("C"), odd)}, o);
        EXPECT_TRUE(out.problems.isEmpty()) << out.problems.join(u'\n').toStdString();
        const QString text = readAll(out.page);
        EXPECT_TRUE(text.contains(QStringLiteral("<BODY BACKGROUND=\"back.gif\">")));
        EXPECT_TRUE(QFile::exists(out.folder + QStringLiteral("/back.gif")));
        const qsizetype at = text.indexOf(QStringLiteral("<IMG SRC=\"")) + 10;
        const QString src = text.mid(at, text.indexOf(u'"', at) - at);
        EXPECT_FALSE(src.contains(u' '));
        EXPECT_EQ(c.mode == 0 ? QUrl(src).toLocalFile() : QUrl::fromPercentEncoding(src.toUtf8()), c.source);
        EXPECT_TRUE(text.contains(QStringLiteral("Width=\"8\" Height=\"6\"")));
        if (!c.copied.isEmpty()) {
            EXPECT_TRUE(QFile::exists(out.folder + u'/' + c.copied));
        }
    }

    htmlpage::Options o;
    o.name = QStringLiteral("../../vide");
    const htmlpage::Outcome none = build({record(QStringLiteral("K"), QStringLiteral("C"), QStringLiteral("/a.png"))}, o);
    EXPECT_EQ(none.pictures, 0);
    EXPECT_TRUE(none.page.isEmpty());
    EXPECT_TRUE(none.folder.startsWith(home.path() + u'/'));
    EXPECT_FALSE(none.folder.mid(home.path().size() + 1).contains(u'/'));
}

// The album takes local pictures of its nine extensions: a BMP with a support is left out, the
// same without one is taken.
// Sizes come from the headers whatever the name says, through the segments a JPEG may hold
// before its frame; anything else, cut short or empty is refused with the file's name.
TEST_F(Page, ReadsPictureSizesFromTheirHeaders)
{
    QImage image(QSize(37, 23), QImage::Format_RGB32);
    image.fill(Qt::red);
    struct Case { const char *name, *format; };
    for (const Case c : {Case{"a.jpg", "JPEG"}, Case{"c.png", "PNG"}, Case{"d.bmp", "BMP"}, Case{"png-named.jpg", "PNG"}}) {
        const QString path = pictures.filePath(QLatin1String(c.name));
        ASSERT_TRUE(image.save(path, c.format)) << c.name;
        EXPECT_EQ(images::headerSize(path), QSize(37, 23)) << c.name;
    }
    // Qt writes no GIF: a header of 37 × 23 and the trailer.
    EXPECT_EQ(images::headerSize(file(QStringLiteral("b.gif"), QByteArray("GIF89a\x25\0\x17\0\0\0\0;", 14))),
              QSize(37, 23));
    // A JPEG with a large comment segment and fill bytes before its frame.
    QFile written(pictures.filePath(QStringLiteral("a.jpg")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray jpeg = written.readAll();
    const QByteArray comment = QByteArray("\xFF\xFE\xFF\xF0", 4) + QByteArray(0xFFF0 - 2, 'c') + "\xFF";
    const QString padded = file(QStringLiteral("padded.jpg"), jpeg.left(2) + comment + jpeg.mid(2));
    EXPECT_EQ(images::headerSize(padded), QSize(37, 23));

    for (const QByteArray &bad : {QByteArray(), QByteArray("pas une image"), jpeg.left(40),
                                  QByteArray("GIF89a\0\0\0\0"), QByteArray("\xFF\xD8\xFF\xE0\x00\x01")}) {
        const QString path = file(QStringLiteral("bad.jpg"), bad);
        QString why;
        EXPECT_FALSE(images::headerSize(path, &why).has_value()) << bad.toHex().left(40).toStdString();
        EXPECT_TRUE(why.contains(path)) << why.toStdString();
    }
}

TEST(Album, TakesTheLocalPicturesOfItsExtensions)
{
    const auto r = [](const char *target, const char *support) {
        return Record{QStringLiteral("K"), QString(), QLatin1String(support), QString(), QString(),
                      QLatin1String(target)};
    };
    EXPECT_EQ(htmlpage::albumPictures({r("/p/a.BMP", "CD 1"), r("/p/b.bmp", ""), r("/p/c.cur", ""), r("/p/d.png", ""),
                                       r("/p/e.Jpeg", ""), r("/p/f.txt", "")}),
              (QStringList{"/p/b.bmp", "/p/c.cur", "/p/e.Jpeg"}));
}

// The page as a browser shows it: three pictures two to a row, each at its own size. Headless
// Chromium renders the page to a picture in which each one is found by its colour.
TEST_F(Page, ABrowserShowsThePicturesInTheirColumns)
{
    QString browser;
    for (const char *name : {"chromium", "chromium-browser"})
        if (browser.isEmpty()) browser = QStandardPaths::findExecutable(QLatin1String(name));
    if (browser.isEmpty()) GTEST_SKIP() << "no Chromium to render the page (Debian package 'chromium')";

    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    QList<Record> rows;
    for (int i = 0; i < colours.size(); ++i) {
        const QString path = pictures.filePath(QStringLiteral("p%1.jpg").arg(i));
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(colours[i]);
        ASSERT_TRUE(image.save(path, "JPEG", 95));
        rows.append(record(QStringLiteral("K%1").arg(i), QStringLiteral("C"), path));
    }
    htmlpage::Options o;
    o.fields = QString();
    o.columns = 2;
    const htmlpage::Outcome out = build(rows, o);
    ASSERT_FALSE(out.page.isEmpty());

    QTemporaryDir profile;
    const QString shot = profile.filePath(QStringLiteral("shot.png"));
    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::MergedChannels);
    chromium.start(browser, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                             QStringLiteral("--hide-scrollbars"), QStringLiteral("--user-data-dir=") + profile.path(),
                             QStringLiteral("--window-size=800,600"), QStringLiteral("--screenshot=") + shot,
                             QUrl::fromLocalFile(out.page).toString()});
    ASSERT_TRUE(chromium.waitForFinished(120000)) << "Chromium did not finish";
    QImage page(shot);
    ASSERT_FALSE(page.isNull()) << chromium.readAll().toStdString();

    // Where each colour lies, and how much of it there is.
    struct Found { qint64 count = 0, x = 0, y = 0; };
    QList<Found> found(colours.size());
    page = page.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            for (int i = 0; i < colours.size(); ++i) {
                const QColor &want = colours[i];
                if (std::abs(c.red() - want.red()) < 40 && std::abs(c.green() - want.green()) < 40 &&
                    std::abs(c.blue() - want.blue()) < 40) {
                    ++found[i].count;
                    found[i].x += x;
                    found[i].y += y;
                }
            }
        }
    for (int i = 0; i < colours.size(); ++i) {
        ASSERT_GT(found[i].count, 0) << i;
        EXPECT_NEAR(double(found[i].count), 120.0 * 90.0, 120.0 * 90.0 * 0.1) << i;
        found[i].x /= found[i].count;
        found[i].y /= found[i].count;
    }
    EXPECT_NEAR(found[0].y, found[1].y, 4);      // red and green share the first row
    EXPECT_GT(found[1].x, found[0].x + 100);     // green beside red
    EXPECT_NEAR(found[2].x, found[0].x, 4);      // blue under red, in the first column
    EXPECT_GT(found[2].y, found[0].y + 80);
}
