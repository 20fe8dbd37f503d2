#include "archiver/forms/thumbnail.h"

#include "common/images/image_size.h"
#include "common/text/texts.h"
#include "tests/imageviewer/phone_photo.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

struct DrawCase
{
    const char *name;
    QSize picture;
    QSize box;
    std::optional<QSize> expected;
};

// The box of the record card is square; a few cases use other boxes to tell width from height.
const DrawCase kDrawCases[] = {
    {"upright", {300, 500}, {137, 137}, QSize(137, 250)},
    {"square", {274, 274}, {137, 137}, QSize(137, 137)},
    {"lying", {1000, 800}, {137, 137}, QSize(166, 137)},
    {"lying, exact k", {1000, 685}, {137, 137}, QSize(200, 137)},
    {"lying, 2.5 goes down to 2", {400, 345}, {138, 138}, QSize(200, 138)},
    {"lying, 3.5 goes up to 4", {1000, 483}, {138, 138}, QSize(250, 138)},
    {"upright, 4.5 goes down to 4", {621, 700}, {138, 138}, QSize(138, 175)},
    {"upright, 1.5 goes up to 2", {207, 300}, {138, 138}, QSize(138, 150)},
    {"lying, box not square", {1000, 800}, {200, 100}, QSize(125, 100)},
    {"upright, box not square", {1000, 1500}, {100, 300}, QSize(100, 150)},
    {"less than half as wide", {60, 137}, {137, 137}, std::nullopt},
    {"exactly half as high: 0.5 goes to 0", {300, 69}, {138, 138}, std::nullopt},
    {"empty picture", {0, 0}, {137, 137}, std::nullopt},
};

TEST(ThumbnailDrawSize, FollowsTheRuleWithHalvesToEven)
{
    for (const DrawCase &c : kDrawCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(thumbnail::drawSize(c.picture, c.box), c.expected);
    }
}

// A picture of 100-pixel blocks, each of its own colour, so that a thumbnail can be checked
// pixel by pixel against the block its pixel was taken from.
QColor blockColour(int x, int y)
{
    return QColor((x / 100) * 23 % 256, (y / 100) * 37 % 256, ((x / 100) + (y / 100)) * 51 % 256);
}

QImage blocks(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) line[x] = blockColour(x, y).rgb();
    }
    return image;
}

// The peak resident memory of the process since the last reset, in kilobytes; the reset is
// what lets a test measure one call alone.
bool resetPeakMemory()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
    f.flush();
    return bool(f);
}

long peakMemoryKB()
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

long currentMemoryKB()
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

quint32 crc32(const char *data, int size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(QByteArray &bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (24 - 8 * i));
}

// A real small PNG whose header then claims another size (the header chunk's CRC redone, so
// that the decoder believes it).
QByteArray pngClaiming(QSize claimed)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    blocks({10, 10}).save(&buffer, "PNG");
    // Signature (8), IHDR length (4), "IHDR" (4), width (4), height (4), 5 bytes, CRC (4).
    EXPECT_EQ(bytes.mid(12, 4), "IHDR");
    putBigEndian(bytes, 16, quint32(claimed.width()));
    putBigEndian(bytes, 20, quint32(claimed.height()));
    putBigEndian(bytes, 29, crc32(bytes.constData() + 12, 17));
    return bytes;
}

class ThumbnailMake : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(bytes), bytes.size());
        return f.fileName();
    }
    QString save(const QString &name, QSize size, const char *format)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(blocks(size).save(path, format, 90));
        return path;
    }
    QTemporaryDir dir;
};

enum class Expect { Shown, Unreadable, TooLarge, TooSmall };

// Every pixel of the thumbnail whose source lies well inside a block has that block's colour
// (within tolerance, for JPEG): the picture is stretched to the draw size, then cut, not
// scaled into the box.
void expectDrawnFromBlocks(const QImage &image, QSize picture, QSize draw, int tolerance)
{
    int checked = 0;
    for (int j = 0; j < image.height(); ++j)
        for (int i = 0; i < image.width(); ++i) {
            const double sx = (i + 0.5) * picture.width() / draw.width();
            const double sy = (j + 0.5) * picture.height() / draw.height();
            const auto inside = [](double s) {
                const double m = s - 100 * int(s / 100);
                return m > 12 && m < 88;
            };
            if (!inside(sx) || !inside(sy)) continue;
            const QColor want = blockColour(int(sx), int(sy));
            const QColor got = image.pixelColor(i, j);
            ++checked;
            if (std::abs(got.red() - want.red()) > tolerance
                || std::abs(got.green() - want.green()) > tolerance
                || std::abs(got.blue() - want.blue()) > tolerance) {
                ADD_FAILURE() << "pixel " << i << "," << j << " from " << sx << "," << sy;
                return;
            }
        }
    EXPECT_GT(checked, image.width() * image.height() / 4);
}

TEST_F(ThumbnailMake, DrawsReadablePicturesAndNamesWhatIsWrongWithTheOthers)
{
    const QSize box(137, 137);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        blocks({1200, 900}).save(&buffer, "JPEG", 90);
    }
    struct Case
    {
        const char *name;
        QString path;
        QSize picture; // the stored size, for the rule
        Expect expect;
        int tolerance;
    };
    const Case cases[] = {
        {"lying PNG", save("lying.png", {1000, 800}, "PNG"), {1000, 800}, Expect::Shown, 0},
        {"upright PNG", save("upright.png", {300, 500}, "PNG"), {300, 500}, Expect::Shown, 0},
        {"PNG smaller than the box", save("small.png", {150, 120}, "PNG"), {150, 120}, Expect::Shown, 0},
        {"PNG too small for the rule", save("tiny.png", {137, 60}, "PNG"), {137, 60}, Expect::TooSmall, 0},
        {"lying JPEG", save("lying.jpg", {1200, 900}, "JPEG"), {1200, 900}, Expect::Shown, 40},
        {"upright JPEG, decoded at a reduced size", save("upright.jpg", {1600, 2400}, "JPEG"),
         {1600, 2400}, Expect::Shown, 40},
        {"JPEG of the box's size", save("exact.jpg", {137, 137}, "JPEG"), {137, 137}, Expect::Shown, 40},
        {"BMP", save("picture.bmp", {400, 300}, "BMP"), {400, 300}, Expect::Shown, 0},
        {"text named .jpg", write("note.jpg", "Ceci n'est pas une image.\r\n"), {}, Expect::Unreadable, 0},
        {"empty file", write("empty.png", QByteArray()), {}, Expect::Unreadable, 0},
        {"JPEG cut inside its header", write("header.jpg", jpeg.left(120)), {}, Expect::Unreadable, 0},
        {"PNG claiming 30000 x 30000", write("huge.png", pngClaiming({30000, 30000})), {30000, 30000},
         Expect::TooLarge, 0},
        {"PNG claiming 20000 x 100", write("wide.png", pngClaiming({20000, 100})), {20000, 100},
         Expect::TooLarge, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const thumbnail::Result r = thumbnail::make(c.path, box);
        switch (c.expect) {
        case Expect::Shown: {
            ASSERT_FALSE(r.image.isNull()) << r.error.toStdString();
            EXPECT_EQ(r.error, QString());
            const QSize draw = *thumbnail::drawSize(c.picture, box);
            EXPECT_EQ(r.image.size(), draw.boundedTo(box));
            expectDrawnFromBlocks(r.image, c.picture, draw, c.tolerance);
            break;
        }
        case Expect::Unreadable: {
            EXPECT_TRUE(r.image.isNull());
            const QString prefix = texts::get(texts::kPictureUnreadable).arg(c.path, QString());
            EXPECT_TRUE(r.error.startsWith(prefix)) << r.error.toStdString();
            EXPECT_GT(r.error.size(), prefix.size()) << "the reader's reason is missing";
            break;
        }
        case Expect::TooLarge:
            EXPECT_TRUE(r.image.isNull());
            EXPECT_EQ(r.error, texts::get(texts::kPictureTooLarge)
                                   .arg(c.path)
                                   .arg(c.picture.width())
                                   .arg(c.picture.height()));
            break;
        case Expect::TooSmall:
            EXPECT_TRUE(r.image.isNull());
            EXPECT_EQ(r.error, texts::get(texts::kPictureTooSmall)
                                   .arg(c.path)
                                   .arg(c.picture.width())
                                   .arg(c.picture.height()));
            break;
        }
    }
}

// A phone photo stored lying with an orientation note is drawn upright: the rule takes the upright
// sides (an upright photo is cut at the bottom, not at the right), at the decoder's reduced scale
// or whole; the size read from the header for the page of pictures is the upright one too.
TEST_F(ThumbnailMake, DrawsAPhonePhotoUpright)
{
    const QSize box(137, 137);
    struct Case
    {
        int orientation;
        QSize upright;
    };
    const Case cases[] = {
        {1, {900, 1600}}, {3, {900, 1600}}, {6, {900, 1600}}, {8, {900, 1600}},
        {6, {1600, 900}}, {8, {280, 150}}, {5, {900, 1600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.orientation) + " " + std::to_string(c.upright.width()));
        const QString path = write(QStringLiteral("phone%1-%2.jpg").arg(c.orientation).arg(c.upright.width()),
                                   phonephoto::jpeg(blocks(c.upright), c.orientation, 90));
        EXPECT_EQ(images::headerSize(path), c.upright);
        const thumbnail::Result r = thumbnail::make(path, box);
        ASSERT_FALSE(r.image.isNull()) << r.error.toStdString();
        const QSize draw = *thumbnail::drawSize(c.upright, box);
        EXPECT_EQ(r.image.size(), draw.boundedTo(box));
        expectDrawnFromBlocks(r.image, c.upright, draw, 40);
    }
}

// A JPEG cut in the middle of its data decodes partly (the decoder warns and fills the rest):
// the part there is is shown, at the size of the rule.
TEST_F(ThumbnailMake, ShowsWhatATruncatedJpegHolds)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    blocks({1200, 900}).save(&buffer, "JPEG", 90);
    const QString path = write("cut.jpg", jpeg.left(jpeg.size() / 2));
    const thumbnail::Result r = thumbnail::make(path, {137, 137});
    ASSERT_FALSE(r.image.isNull()) << r.error.toStdString();
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.image.size(), QSize(137, 137));
    // The top rows were in the bytes kept.
    EXPECT_LE(std::abs(r.image.pixelColor(40, 5).green() - blockColour(240, 30).green()), 40);
}

// Neither a picture refused from its header nor a large JPEG is ever decoded whole.
TEST_F(ThumbnailMake, NeverHoldsTheWholePictureInMemory)
{
    const QString huge = write("huge.png", pngClaiming({30000, 30000}));
    const QString big = save("big.jpg", {6000, 4000}, "JPEG");
    if (!resetPeakMemory() || peakMemoryKB() < 0) GTEST_SKIP() << "no peak memory counter here";

    const long before = currentMemoryKB();
    resetPeakMemory();
    const thumbnail::Result refused = thumbnail::make(huge, {137, 137});
    EXPECT_TRUE(refused.image.isNull());
    EXPECT_LT(peakMemoryKB() - before, 100 * 1024) << "30000 x 30000 would be 3.4 GB";

    resetPeakMemory();
    const long beforeJpeg = currentMemoryKB();
    const thumbnail::Result shown = thumbnail::make(big, {137, 137});
    EXPECT_EQ(shown.image.size(), QSize(137, 137));
    // Whole, the picture takes 94 MB; at 1/8 it takes 1.5 MB.
    EXPECT_LT(peakMemoryKB() - beforeJpeg, 30 * 1024);
}

} // namespace
