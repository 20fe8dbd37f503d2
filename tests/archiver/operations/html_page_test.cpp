#include "archiver/operations/html_page.h"

#include "common/images/image_size.h"
#include "common/text/texts.h"

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

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
    EXPECT_TRUE(asked.isEmpty()); // the picture of CD 1 is where its record says
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

// A picture that cannot be copied (a FIFO named like a picture, a file gone) is not placed on the
// page, which would show a hole: it is named among the problems and not counted. With none
// placed, no page is written.
TEST_F(Page, APictureThatCannotBeCopiedIsNamedAndNotCounted)
{
    const QString fifo = pictures.filePath(QStringLiteral("tube.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString gone = pictures.filePath(QStringLiteral("parti.jpg"));
    htmlpage::Options o;
    o.name = QStringLiteral("trous");
    o.copyMode = 1;
    const htmlpage::Outcome out = build({record(QStringLiteral("TUBE"), QStringLiteral("A"), fifo),
                                         record(QStringLiteral("BON"), QStringLiteral("A"), picture(QStringLiteral("bon.jpg"), {8, 6})),
                                         record(QStringLiteral("PARTI"), QStringLiteral("A"), gone)},
                                        o);
    EXPECT_EQ(out.pictures, 1);
    ASSERT_EQ(out.problems.size(), 2) << out.problems.join(u'\n').toStdString();
    EXPECT_TRUE(out.problems[0].startsWith(fifo));
    EXPECT_TRUE(out.problems[1].startsWith(gone));
    EXPECT_EQ(readAll(out.page).count(QStringLiteral("<IMG")), 1);

    o.name = QStringLiteral("vide");
    const htmlpage::Outcome none = build({record(QStringLiteral("PARTI"), QStringLiteral("A"), gone)}, o);
    EXPECT_EQ(none.pictures, 0);
    EXPECT_TRUE(none.page.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home.path() + QStringLiteral("/vide/vide.htm")));
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

// In a working folder, only what the program wrote there is ever replaced. The user's files there
// stay byte for byte: a picture that already lies there is shown in place, a copy whose name a
// user's file holds (the user's own, or one of the program's copies that the user changed since)
// takes the next free name; the program's own copies of the last run are replaced. A record on
// a support asks for it only when its picture is not where the record says.
TEST_F(Page, ReplacesNothingButWhatItWrote)
{
    const QString photo = picture(QStringLiteral("photo.jpg"), {8, 6});
    const QString other = picture(QStringLiteral("Autre.JPG"), {4, 4});
    QFile back(program.filePath(QStringLiteral("back.gif")));
    ASSERT_TRUE(back.open(QIODevice::WriteOnly));
    back.write("GIF89a\x02\0\x02\0\0\0\0;", 14);
    back.close();
    const QString folder = home.filePath(QStringLiteral("page"));
    const struct {
        int mode;
        QStringList users;  // files the user put in the working folder after the first run
        QStringList images; // the sources of the second page, in order
    } cases[] = {
        {1, {"photo.jpg", "back.gif"}, {"photo_2.jpg", "autre.jpg", "dedans.jpg", "photo_2.jpg"}},
        {2, {"image0000.jpg"}, {"image0001.jpg", "image0002.jpg", "dedans.jpg", "image0001.jpg"}},
        {0, {"image0000.jpg"}, {photo, other, folder + "/dedans.jpg", photo}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        QDir(folder).removeRecursively();
        htmlpage::Options o;
        o.name = QStringLiteral("page");
        o.copyMode = c.mode;
        o.parchment = true;
        const QList<Record> first{record(QStringLiteral("K"), QStringLiteral("C"), photo)};
        ASSERT_TRUE(build(first, o).error.isEmpty());
        std::map<QString, QByteArray> users;
        for (const QString &name : c.users) {
            QFile f(folder + u'/' + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            users[name] = "user's own " + name.toUtf8();
            f.write(users[name]);
        }
        QImage inside(3, 3, QImage::Format_RGB32);
        inside.fill(Qt::red);
        ASSERT_TRUE(inside.save(folder + QStringLiteral("/dedans.jpg"), "JPEG"));
        QFile saved(folder + QStringLiteral("/dedans.jpg"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        users["dedans.jpg"] = saved.readAll();
        QStringList asked;
        const htmlpage::Outcome out =
            build({record(QStringLiteral("A"), QStringLiteral("C"), photo),
                   record(QStringLiteral("B"), QStringLiteral("C"), other, QStringLiteral("CD 1")),
                   record(QStringLiteral("C"), QStringLiteral("C"),
                          folder + QStringLiteral("/dedans.jpg")),
                   record(QStringLiteral("D"), QStringLiteral("C"), photo),
                   record(QStringLiteral("E"), QStringLiteral("C"), pictures.filePath("loin.jpg"),
                          QStringLiteral("CD 2"))},
                  o, &asked);
        EXPECT_TRUE(out.error.isEmpty()) << out.error.toStdString();
        EXPECT_EQ(asked, QStringList{QStringLiteral("CD 2")});
        for (const auto &[name, bytes] : users) {
            QFile f(folder + u'/' + name);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == bytes) << name.toStdString();
        }
        const QString text = readAll(out.page);
        QStringList sources;
        for (qsizetype at = text.indexOf(QStringLiteral("<IMG SRC=\"")); at >= 0;
             at = text.indexOf(QStringLiteral("<IMG SRC=\""), at + 1)) {
            const QString src = text.mid(at + 10, text.indexOf(u'"', at + 10) - at - 10);
            sources.append(c.mode == 0 ? QUrl(src).toLocalFile() : src);
        }
        EXPECT_EQ(sources.mid(0, 4), c.images);
        for (const QString &name : c.images) {
            if (c.mode != 0) {
                EXPECT_TRUE(QFileInfo(folder + u'/' + name).isFile()) << name.toStdString();
            }
        }
        EXPECT_EQ(text.contains(QStringLiteral("BACKGROUND=\"back_2.gif\"")),
                  c.users.contains(QStringLiteral("back.gif")));
    }
}

// A folder or a page of that name that the program did not write, or what is not a folder or a
// file where one goes, stops the page before anything is written, naming it; with the user's
// word the page goes into the folder or replaces the page. A free name is one whose place is
// clear.
TEST_F(Page, RefusesAPlaceItDidNotMake)
{
    const QString photo = picture(QStringLiteral("photo.jpg"), {8, 6});
    const QList<Record> rows{record(QStringLiteral("K"), QStringLiteral("C"), photo)};
    const QString folder = home.filePath(QStringLiteral("Images"));
    const struct {
        const char *name;
        std::function<void()> plant;
        QString named;                // in the refusal
        bool intoFolder, replacePage; // what the user allows in the second try
    } cases[] = {
        {"the user's folder", [&] { QDir().mkpath(folder + "/sous"); }, folder, true, false},
        {"the user's page in the program's folder",
         [&] {
             ASSERT_TRUE(build(rows,
                               [] {
                                   htmlpage::Options o;
                                   o.name = "Images";
                                   return o;
                               }())
                             .error.isEmpty());
             QFile page(folder + "/Images.htm");
             ASSERT_TRUE(page.open(QIODevice::Append));
             page.write("user's edit");
         },
         folder + "/Images.htm", false, true},
        {"a file where the folder goes", [&] { QFile(folder).open(QIODevice::WriteOnly); }, folder,
         false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        c.plant();
        const auto listing = [&] {
            QStringList all;
            for (QDirIterator it(home.path(),
                                 QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                 QDirIterator::Subdirectories);
                 it.hasNext();)
                all.append(it.next() + u' ' + QString::number(it.fileInfo().size()));
            all.sort();
            return all;
        };
        const QStringList before = listing();
        EXPECT_FALSE(htmlpage::placeOf(home.path(), QStringLiteral("Images")).clear());
        htmlpage::Options o;
        o.name = QStringLiteral("Images");
        const htmlpage::Outcome refused = build(rows, o);
        EXPECT_EQ(refused.error, texts::get(texts::kPageInTheWay).arg(c.named));
        EXPECT_TRUE(refused.page.isEmpty());
        EXPECT_EQ(listing(), before);

        const QString free = htmlpage::freeName(home.path(), QStringLiteral("Images"));
        EXPECT_EQ(free, QStringLiteral("Images_2.htm"));
        EXPECT_TRUE(htmlpage::placeOf(home.path(), free).clear());
        if (!c.intoFolder && !c.replacePage) continue;
        o.intoOthersFolder = c.intoFolder;
        o.replaceOthersPage = c.replacePage;
        const htmlpage::Outcome made = build(rows, o);
        EXPECT_EQ(made.page, folder + "/Images.htm") << made.error.toStdString();
        EXPECT_TRUE(htmlpage::placeOf(home.path(), QStringLiteral("Images")).clear());
    }
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
