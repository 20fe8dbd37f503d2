#include "imageviewer/picture/geometry.h"
#include "imageviewer/picture/picture.h"
#include "tests/imageviewer/phone_photo.h"
#include "tests/imageviewer/test_pictures.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QImageIOHandler>
#include <QImageReader>

#include <gtest/gtest.h>

#include <utility>

#include <sys/stat.h>
#include <unistd.h>

using namespace pictel;
using namespace testpictures;

TEST(PictelGeometry, CommandLineWindowSelectionAndProportions)
{
    struct Line { QStringList arguments; QString path; };
    const Line lines[] = {
        {{QStringLiteral("\"/img/mes"), QStringLiteral("photos/a.jpg\"")}, QStringLiteral("/img/mes photos/a.jpg")},
        {{QStringLiteral("/img/a"), QStringLiteral("b.jpg")}, QStringLiteral("/img/a b.jpg")},
        {{QStringLiteral("/img/l\"apostrophe.jpg")}, QStringLiteral("/img/l\"apostrophe.jpg")},
        {{QStringLiteral("\"")}, QStringLiteral("\"")},
        {{}, QString()},
    };
    for (const Line &l : lines) EXPECT_EQ(commandLinePath(l.arguments), l.path) << l.arguments.join(u'|').toStdString();

    EXPECT_EQ(windowTwips(QSize(400, 300)), QSize(6150, 5280));
    EXPECT_EQ(windowTwips(QSize(20, 20)), QSize(3480, 1800));
    EXPECT_EQ(windowTwips(QSize(10, 1000)), QSize(3480, 15780));

    // Either way the mouse goes, the same rectangle; the picture's edges stop it.
    const QSize picture(100, 80);
    struct Drag { QPoint press, release; QRect rect; };
    const Drag drags[] = {
        {{10, 20}, {60, 50}, {10, 20, 50, 30}},
        {{60, 50}, {10, 20}, {10, 20, 50, 30}},
        {{10, 50}, {60, 20}, {10, 20, 50, 30}},
        {{50, 40}, {-30, 500}, {0, 40, 50, 40}},
        {{50, 40}, {900, -7}, {50, 0, 50, 40}},
        {{30, 30}, {30, 70}, {30, 30, 0, 40}},
    };
    for (const Drag &d : drags) EXPECT_EQ(selectionRect(d.press, d.release, picture), d.rect) << d.release.x();
    EXPECT_TRUE(selectionRect({30, 30}, {30, 70}, picture).isEmpty());

    // A rectangle of the picture shown at a quarter of its size, at full size; at full size, itself.
    EXPECT_EQ(toFullSize(QRect(10, 5, 20, 10), QSize(100, 50), QSize(400, 200)), QRect(40, 20, 80, 40));
    EXPECT_EQ(toFullSize(QRect(0, 0, 100, 50), QSize(100, 50), QSize(401, 203)), QRect(0, 0, 401, 203));
    EXPECT_EQ(toFullSize(QRect(3, 4, 5, 6), QSize(100, 50), QSize(100, 50)), QRect(3, 4, 5, 6));

    struct Ratio { qint64 w0, h0, given, other; };
    const Ratio widths[] = {{400, 300, 200, 150}, {800, 600, 68, 51}, {640, 640, 29, 29}, {3, 7, 1, 2}};
    for (const Ratio &r : widths) EXPECT_EQ(proportionalHeight(r.w0, r.h0, r.given), r.other) << r.given;
    EXPECT_EQ(proportionalWidth(400, 300, 150), 200);
    EXPECT_EQ(proportionalWidth(640, 640, 29), 29);
}

TEST(PictelPicture, BadFilesAreRefusedWithAReason)
{
    TestFolder folder;
    const QByteArray jpeg = encode(blocks(QSize(320, 240)), "jpeg", 90);
    folder.write(QStringLiteral("coupe.jpg"), jpeg.left(jpeg.size() / 2));
    folder.write(QStringLiteral("entete.jpg"), jpeg.left(300));
    folder.write(QStringLiteral("debut.jpg"), jpeg.left(jpeg.indexOf("\xff\xda") + 30));
    folder.write(QStringLiteral("texte.jpg"), "Ceci n'est pas une image.\n");
    folder.write(QStringLiteral("vide.png"), "");
    folder.write(QStringLiteral("geante.png"), pngHeader(100000, 100000));
    folder.write(QStringLiteral("geante.bmp"), bmpHeader(100000, 100000));
    folder.write(QStringLiteral("grande.bmp"), bmpHeader(16000, 16000));
    folder.write(QStringLiteral("large.png"), pngHeader(70000, 10));
    QDir().mkpath(folder.file(QStringLiteral("dossier.png")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(QStringLiteral("tube.jpg"))).constData(), 0600), 0);

    struct Bad { const char *name; const char *reason; };
    const Bad bads[] = {
        {"absente.jpg", "introuvable"},
        {"texte.jpg", "n'est pas une image"},
        {"vide.png", "n'est pas une image"},
        {"geante.png", "100000 × 100000"},
        {"geante.bmp", "geante.bmp"}, // Qt's own reader refuses it past 16384 × 16384
        {"grande.bmp", "16000 × 16000"},
        {"entete.jpg", "n'a pas pu être décodée"},
        {"large.png", "70000 × 10"},
        {"dossier.png", "dossier"},
        {"tube.jpg", "tube"},
    };
    for (const Bad &b : bads) {
        alarm(20); // a read that blocks fails the run instead of hanging it
        QString error;
        const auto picture = Picture::load(folder.file(QString::fromLatin1(b.name)), &error);
        alarm(0);
        EXPECT_FALSE(picture) << b.name;
        EXPECT_TRUE(error.contains(QString::fromUtf8(b.reason))) << b.name << ": " << error.toStdString();
    }

    // A JPEG cut short after its header shows what it holds, at its full size.
    for (const char *name : {"coupe.jpg", "debut.jpg"}) {
        QString error;
        const auto cut = Picture::load(folder.file(QString::fromLatin1(name)), &error);
        ASSERT_TRUE(cut) << name << error.toStdString();
        EXPECT_EQ(cut->size(), QSize(320, 240));
        EXPECT_EQ(cut->fitted(QSize(160, 160), &error).size(), QSize(160, 120)) << name;
        EXPECT_EQ(cut->image(&error).size(), QSize(320, 240)) << name;
    }
}

TEST(PictelPicture, CropsAndResizesMatchTheWholePicture)
{
    TestFolder folder;
    const QImage jpegSource = blocks(QSize(1200, 800));
    folder.write(QStringLiteral("photo.jpg"), encode(jpegSource, "jpeg", 95));
    const QImage pngSource = pattern(QSize(300, 200));
    folder.write(QStringLiteral("dessin.png"), encode(pngSource, "png"));
    QString error;

    // The JPEG is shown and cropped without the whole picture being decoded, and the region
    // decoded alone is the region of the whole picture.
    const auto photo = Picture::load(folder.file(QStringLiteral("photo.jpg")), &error);
    ASSERT_TRUE(photo) << error.toStdString();
    EXPECT_FALSE(photo->isDecoded());
    EXPECT_EQ(photo->fitted(QSize(600, 600), &error).size(), QSize(600, 400));
    const QRect rect(333, 101, 250, 170);
    const auto part = photo->cropped(rect, &error);
    ASSERT_TRUE(part) << error.toStdString();
    EXPECT_FALSE(photo->isDecoded());
    const QImage whole = photo->image(&error);
    EXPECT_LE(maxDifference(part->image(), whole.copy(rect)), 24);

    // A lossless picture is cropped to the pixel; a rectangle over its edge keeps what is inside.
    const auto drawing = Picture::load(folder.file(QStringLiteral("dessin.png")), &error);
    ASSERT_TRUE(drawing) << error.toStdString();
    // The content decides, whatever the name says.
    folder.write(QStringLiteral("dessin.jpg"), folder.read(QStringLiteral("dessin.png")));
    const auto misnamed = Picture::load(folder.file(QStringLiteral("dessin.jpg")), &error);
    ASSERT_TRUE(misnamed) << error.toStdString();
    EXPECT_EQ(misnamed->fileFormat(), QByteArray("png"));
    EXPECT_EQ(misnamed->image(), drawing->image());
    struct Crop { QRect asked, kept; };
    for (const Crop &c : {Crop{{1, 2, 3, 4}, {1, 2, 3, 4}}, Crop{{250, 150, 400, 400}, {250, 150, 50, 50}}}) {
        const auto cropped = drawing->cropped(c.asked, &error);
        ASSERT_TRUE(cropped);
        EXPECT_EQ(cropped->image(), pngSource.copy(c.kept).convertToFormat(cropped->image().format()));
    }
    EXPECT_FALSE(drawing->cropped(QRect(10, 10, 0, 5), &error));

    // Sizes: both ways, from both kinds of picture; nothing empty, nothing past the limits.
    for (const Picture *picture : {&*photo, &*drawing})
        for (const QSize size : {QSize(150, 20), QSize(1500, 1000)}) {
            const auto resized = picture->resized(size, &error);
            ASSERT_TRUE(resized) << error.toStdString();
            EXPECT_EQ(resized->image().size(), size);
        }
    const auto small = photo->resized(QSize(300, 200), &error);
    EXPECT_LE(maxDifference(small->image(), jpegSource.scaled(300, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 40);
    for (const QSize size : {QSize(0, 10), QSize(10, -1), QSize(70000, 10), QSize(20000, 20000)}) {
        error.clear();
        EXPECT_FALSE(drawing->resized(size, &error)) << size.width();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(PictelPicture, SavesInTheFormatOfTheExtension)
{
    TestFolder folder;
    const QByteArray jpeg = encode(blocks(QSize(64, 48)), "jpeg", 80);
    folder.write(QStringLiteral("photo.jpg"), jpeg);
    QString error;

    struct Name { QString chosen; QString path; QByteArray format; };
    const QString dir = folder.path();
    const Name names[] = {
        {dir + "a.png", dir + "a.png", "png"},
        {dir + "a.JPG", dir + "a.JPG", "jpeg"},
        {dir + "a.jpe", dir + "a.jpe", "jpeg"},
        {dir + "a.Tif", dir + "a.Tif", "tiff"},
        {dir + "a.bmp", dir + "a.bmp", "bmp"},
        {dir + "sans", dir + "sans.png", "png"},
        {dir + "point.", dir + "point.png", "png"},
        {dir + "v1.2/sans", dir + "v1.2/sans.png", "png"},
    };
    for (const Name &n : names) {
        const auto target = saveTarget(n.chosen, &error);
        ASSERT_TRUE(target) << n.chosen.toStdString();
        EXPECT_EQ(target->path, n.path);
        EXPECT_EQ(target->format, n.format) << n.chosen.toStdString();
    }
    for (const char *name : {"a.gif", "a.xyz", "a.2024"}) {
        error.clear();
        EXPECT_FALSE(saveTarget(dir + QLatin1String(name), &error)) << name;
        EXPECT_TRUE(error.contains(QStringLiteral(".png"))) << error.toStdString();
    }

    // Unchanged, in its own format: the file's own bytes. Otherwise encoded as named, readable
    // back with its pixels.
    const auto photo = Picture::load(folder.file(QStringLiteral("photo.jpg")), &error);
    ASSERT_TRUE(photo);
    ASSERT_TRUE(save(*photo, {folder.file(QStringLiteral("copie.jpg")), "jpeg"}, &error)) << error.toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("copie.jpg")), jpeg);
    const auto part = photo->cropped(QRect(5, 6, 30, 20), &error);
    for (const char *format : {"png", "bmp", "jpeg"}) {
        const QString path = folder.file(QStringLiteral("part.") + QLatin1String(format));
        ASSERT_TRUE(save(*part, {path, format}, &error)) << format << error.toStdString();
        QImageReader back(path);
        EXPECT_EQ(back.format(), QByteArray(format));
        const QImage read = back.read();
        EXPECT_EQ(read.size(), QSize(30, 20));
        EXPECT_LE(maxDifference(read, part->image()), QByteArray(format) == "jpeg" ? 24 : 0) << format;
    }

    // A folder that is not there: the failure is told and nothing is left behind.
    error.clear();
    EXPECT_FALSE(save(*part, {folder.file(QStringLiteral("absent/x.png")), "png"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(folder.exists(QStringLiteral("absent")));
}

// A phone photo is seen upright whatever its orientation: its size, what is shown (scaled by the
// decoder or not), cropped and resized, and what is saved, which holds upright pixels and no
// orientation that would turn it again.
TEST(PictelPicture, APhonePhotoIsSeenAndSavedUpright)
{
    TestFolder folder;
    const QImage upright = blocks(QSize(96, 64));
    // An upright rectangle away from the centre and from the corners, wider than high, so that a
    // rectangle taken back to the stored pixels the wrong way is seen.
    const QRect rect(48, 16, 32, 16);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QString name = QStringLiteral("photo%1.jpg").arg(orientation);
        folder.write(name, phonephoto::jpeg(upright, orientation));
        QString error;
        const auto photo = Picture::load(folder.file(name), &error);
        ASSERT_TRUE(photo) << error.toStdString();
        EXPECT_EQ(photo->size(), QSize(96, 64));

        // Decoded scaled and cut by the decoder first, then whole.
        const QImage shown = photo->fitted(QSize(24, 24), &error);
        EXPECT_LE(maxDifference(shown, upright.scaled(24, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 48);
        const auto part = photo->cropped(rect, &error);
        ASSERT_TRUE(part) << error.toStdString();
        EXPECT_LE(maxDifference(part->image(), upright.copy(rect)), 24);
        const auto half = photo->resized(QSize(48, 32), &error);
        ASSERT_TRUE(half) << error.toStdString();
        EXPECT_LE(maxDifference(half->image(), upright.scaled(48, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 48);
        ASSERT_FALSE(photo->isDecoded());
        EXPECT_LE(maxDifference(photo->image(), upright), 24);

        // Saved, a crop and the whole photo in another format are upright as stored.
        for (const auto &[saved, picture] : {std::pair{QStringLiteral("crop.jpg"), *part},
                                             std::pair{QStringLiteral("whole.png"), *photo}}) {
            const QString path = folder.file(QString::number(orientation) + saved);
            ASSERT_TRUE(save(picture, *saveTarget(path, &error), &error)) << error.toStdString();
            QImageReader back(path);
            back.setAutoTransform(false);
            EXPECT_EQ(back.transformation(), QImageIOHandler::TransformationNone) << saved.toStdString();
            const QImage read = back.read();
            EXPECT_LE(maxDifference(read, saved.endsWith(QStringLiteral(".png")) ? upright : upright.copy(rect)), 32)
                << saved.toStdString();
        }
    }
}
