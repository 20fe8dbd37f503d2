#include "common/richtext/replace.h"
#include "common/richtext/rtf.h"
#include "common/text/document_text.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <functional>
#include <random>
#include <ostream>
#include <vector>

// Failures show text, not code units.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
void PrintTo(const QByteArray &b, std::ostream *os) { *os << '"' << b.toStdString() << '"'; }

namespace {

QImage imageOf(const QTextDocument &doc, const QTextImageFormat &f)
{
    return doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
}

// The text as shown, paragraphs on lines of their own; no-break spaces and line breaks stay
// what they are.
QString visible(const QTextDocument &doc)
{
    QString text = doc.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString flags(const QTextCharFormat &f)
{
    QString s;
    if (f.fontWeight() >= QFont::DemiBold) s += "b ";
    if (f.fontItalic()) s += "i ";
    if (f.fontUnderline()) s += "u ";
    if (f.fontStrikeOut()) s += "s ";
    if (f.hasProperty(QTextFormat::ForegroundBrush)) s += f.foreground().color().name() + ' ';
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty()) s += "f:" + families.first() + ' ';
    if (f.hasProperty(QTextFormat::FontPointSize)) s += "pt:" + QString::number(f.fontPointSize()) + ' ';
    return s.trimmed();
}

const char *alignName(Qt::Alignment a)
{
    a &= Qt::AlignHorizontal_Mask;
    return a & Qt::AlignJustify ? "justify" : a & Qt::AlignHCenter ? "centre" : a & Qt::AlignRight ? "right" : "left";
}

// Every fragment with its formats, every picture with its pixels and shown size: what a round
// trip must keep.
QString describe(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out += QString("[%1]").arg(alignName(b.blockFormat().alignment()));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (!f.isImageFormat()) {
                out += '<' + flags(f) + '>' + fragment.text();
                continue;
            }
            const QTextImageFormat format = f.toImageFormat();
            const QImage image = imageOf(doc, format).convertToFormat(QImage::Format_ARGB32);
            // One side given scales the other, as the layout does.
            double w = format.width(), h = format.height();
            if (w <= 0 && h <= 0) {
                w = image.width();
                h = image.height();
            }
            else if (w <= 0) w = image.width() * h / image.height();
            else if (h <= 0) h = image.height() * w / image.width();
            for (qsizetype i = 0; i < fragment.length(); ++i)
                out += QString("<img %1x%2 at %3x%4 #%5>")
                           .arg(image.width()).arg(image.height()).arg(w).arg(h)
                           .arg(qHash(QByteArrayView(image.constBits(), image.sizeInBytes())));
        }
        out += '\n';
    }
    return out;
}

struct Fmt
{
    bool bold = false, italic = false, underline = false, strike = false;
    QColor colour = {};
    QString family = {};
    double points = 0;

    QTextCharFormat make() const
    {
        QTextCharFormat f;
        if (bold) f.setFontWeight(QFont::Bold);
        if (italic) f.setFontItalic(true);
        if (underline) f.setFontUnderline(true);
        if (strike) f.setFontStrikeOut(true);
        if (colour.isValid()) f.setForeground(colour);
        if (!family.isEmpty()) f.setFontFamilies({family});
        if (points > 0) f.setFontPointSize(points);
        return f;
    }
};

void block(QTextCursor &c, Qt::Alignment align)
{
    QTextBlockFormat f;
    f.setAlignment(align);
    c.insertBlock(f);
}

QImage pattern(int w, int h, QImage::Format format, int seed)
{
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor((x * 40 + seed) % 256, (y * 50) % 256, (x * y * 7 + seed) % 256,
                                             format == QImage::Format_ARGB32 ? (x + y) * 20 % 256 : 255));
    return image;
}

void picture(QTextCursor &c, const QString &name, const QImage &image, double w = 0, double h = 0)
{
    c.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    if (w > 0) f.setWidth(w);
    if (h > 0) f.setHeight(h);
    c.insertImage(f);
}

struct RoundTripCase
{
    const char *name;
    std::function<void(QTextCursor &)> build;
    std::vector<QByteArray> written; // what the RTF must say for it
};

TEST(RichText, RoundTripKeepsTextFormatsAndPictures)
{
    const RoundTripCase cases[] = {
        {"escapes",
         [](QTextCursor &c) {
             c.insertText(QString("Accolades {x} et \\chemin\\ puis\ttabulation") + QChar::LineSeparator
                          + "ligne  suivante \\par {\\b pas gras}");
         },
         {"\\{x\\}", "\\\\chemin\\\\", "\\tab tabulation", "\\line ligne  suivante", "\\\\par \\{\\\\b pas gras\\}"}},
        {"character formats",
         [](QTextCursor &c) {
             c.insertText("normal ", {});
             c.insertText("gras", Fmt{.bold = true}.make());
             c.insertText(" ", {});
             c.insertText("italique", Fmt{.italic = true}.make());
             c.insertText("souligné", Fmt{.underline = true}.make());
             c.insertText("barré", Fmt{.strike = true}.make());
             c.insertText("tout", Fmt{true, true, true, true}.make());
             c.insertText(" fin", {});
         },
         {"{\\b gras}", "{\\i italique}", "{\\ul soulign\\'e9}", "{\\strike barr\\'e9}",
          "{\\b\\i\\ul\\strike tout} fin"}},
        {"colours, families and sizes",
         [](QTextCursor &c) {
             c.insertText("rouge", Fmt{.colour = QColor(255, 0, 0)}.make());
             c.insertText(" bleu", Fmt{.colour = QColor(0, 64, 255), .points = 9}.make());
             c.insertText(" rouge encore ", Fmt{.colour = QColor(255, 0, 0), .family = "Arial"}.make());
             c.insertText("machine", Fmt{.family = "Courier New", .points = 10.5}.make());
             c.insertText(" titre", Fmt{.bold = true, .family = "Arial", .points = 36}.make());
         },
         {"{\\colortbl;\\red255\\green0\\blue0;\\red0\\green64\\blue255;}", "{\\f1\\fnil Arial;}",
          "{\\f2\\fnil Courier New;}",
          // The text most of the document is in sets the top; the rest starts from plain text
          // where the top has what it lacks.
          "}\n\\cf1\\f1\\pard", " rouge encore ", "{\\plain\\cf2\\fs18  bleu}", "{\\plain\\f2\\fs21 machine}",
          "{\\plain\\b\\f1\\fs72  titre}"}},
        {"alignments and empty paragraphs",
         [](QTextCursor &c) {
             block(c, Qt::AlignHCenter);
             c.insertText("centré");
             block(c, Qt::AlignRight);
             c.insertText("à droite");
             block(c, Qt::AlignJustify);
             c.insertText("justifié");
             block(c, Qt::AlignLeft);
             c.insertText("à gauche");
             block(c, Qt::AlignRight);
         },
         {"}\n\\pard\\par\n\\pard\\qc centr", "\\qr\\'e0 droite", "\\qj justifi", "\\par\n\\pard\\qr}"}},
        {"code page and beyond",
         [](QTextCursor &c) {
             c.insertText(QString::fromUtf8("éàçœ€Ÿ\u00a0« ł → 😀 Ω"));
             c.insertText(QString::fromUtf8("ñ"), Fmt{.bold = true}.make());
         },
         {"\\'e9\\'e0\\'e7\\'9c\\'80\\'9f\\'a0\\'ab", "\\u322?", "\\u8594?", "\\u-10179?\\u-8704?", "\\u937?",
          "{\\b\\'f1}"}},
        {"pictures",
         [](QTextCursor &c) {
             c.insertText("avant ");
             picture(c, "opaque", pattern(7, 5, QImage::Format_RGB32, 1), 21, 15);
             c.insertText(" entre ");
             picture(c, "transparente", pattern(4, 6, QImage::Format_ARGB32, 2));
             picture(c, "deux", pattern(3, 3, QImage::Format_RGB32, 3), 30);
             picture(c, "deux", pattern(3, 3, QImage::Format_RGB32, 3), 30);
             block(c, Qt::AlignHCenter);
             picture(c, "seule", pattern(2, 2, QImage::Format_RGB32, 4));
         },
         {"{\\pict\\pngblip\\picw7\\pich5\\picwgoal315\\pichgoal225\n89504e47",
          "\\picw4\\pich6\\picwgoal60\\pichgoal90", "\\picw3\\pich3\\picwgoal450\\pichgoal450"}},
    };
    for (const RoundTripCase &t : cases) {
        SCOPED_TRACE(t.name);
        QTextDocument doc;
        QTextCursor cursor(&doc);
        t.build(cursor);
        const QByteArray rtf = richtext::write(doc);
        ASSERT_TRUE(richtext::looksLikeRtf(rtf));
        for (const char c : rtf)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the RTF is 7-bit";
        for (const QByteArray &w : t.written)
            EXPECT_TRUE(rtf.contains(w)) << w.constData() << "\nnot in\n" << rtf.left(2000).constData();

        QTextDocument back;
        richtext::read(rtf, &back);
        EXPECT_EQ(back.toRawText(), doc.toRawText());
        EXPECT_EQ(describe(back), describe(doc));
        EXPECT_EQ(richtext::write(back), rtf);
    }
}

int imageCount(const QTextDocument &doc)
{
    return int(doc.toRawText().count(QChar::ObjectReplacementCharacter));
}

struct HostileCase
{
    const char *name;
    QByteArray rtf;
    QString shown;
    int images = 0;
};

QByteArray randomBytes(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes(n, '\0');
    for (char &c : bytes)
        c = char(rng() % 256);
    return bytes;
}

// Bad RTF gives what text it has, never a crash or a hang, and reads back the same once written.
TEST(RichText, HostileInputGivesTextInBoundedTime)
{
    const QByteArray deep(100000, '{');
    const QByteArray shut(100000, '}');
    QByteArray binaryRun = randomBytes(1 << 16, 7);
    const HostileCase cases[] = {
        {"empty", "", ""},
        {"not RTF at all", "juste du texte", "juste du texte"},
        {"truncated inside a group", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Bonjour {\\b le mon", "Bonjour le mon"},
        {"truncated inside a control word", "{\\rtf1 Un\\par Deux\\pa", "Un\nDeux"},
        {"truncated inside a picture", "{\\rtf1 Texte{\\pict\\pngblip 89504e470d0a", "Texte"},
        {"truncated inside a skipped group", "{\\rtf1 Vu{\\*\\cache {{{ jamais", "Vu"},
        {"100000 nested groups", deep + "profond" + shut + "apr\\'e8s", QString::fromUtf8("profondaprès")},
        {"100000 unclosed groups", "{\\rtf1 d\\'e9but" + deep + "ouvert", QString::fromUtf8("débutouvert")},
        {"nested formats past the kept depth",
         "{\\rtf1 " + deep.left(5000) + "{\\b gras}\\i {\\*\\inconnu x}y" + shut.left(5000) + " fin}", "grasy fin"},
        {"\\bin longer than the file", "{\\rtf1 avant\\bin999999999 {\\b }}\\par", "avant"},
        {"\\bin in a skipped group", "{\\rtf1 a{\\*\\x\\bin3 }}}b}c}", "ac"},
        {"\\bin in a picture, too long", "{\\rtf1 x{\\pict\\pngblip\\bin2147483647 \x89PNG", "x"},
        {"garbage hex picture", "{\\rtf1 x{\\pict\\pngblip\\picwgoal300\\pichgoal300 zz12gg34ffee}y}", "xy"},
        {"picture of another kind", "{\\rtf1 x{\\pict\\wmetafile8 0100090000}y}", "xy"},
        {"random bytes", binaryRun, QString()},
        {"random bytes after a header", "{\\rtf1\\ansi " + randomBytes(1 << 16, 11), QString()},
        {"\\u out of range", "{\\rtf1 a\\u70000?b\\u-40000?c\\u99999999999999999999?d}", "abcd"},
        {"\\u lone surrogates", "{\\rtf1 a\\u-10179?b\\u-8704?c\\u-10179?\\u65?d}", "abcAd"},
        {"\\u of control characters", "{\\rtf1 a\\u0?\\u13?\\u8233?\\u64976?\\u-4?b\\'0d\\'00c}", "abc"},
        {"\\'hh at the end", "{\\rtf1 x\\'e", "x"},
        {"\\' at the end", "{\\rtf1 x\\'", "x"},
        {"backslash at the end", "{\\rtf1 x\\", "x"},
        {"bad \\'hh", "{\\rtf1 a\\'zzb\\'4", "azzb"},
        {"stray closing braces", "}}{\\rtf1 a}}}b{\\b c", "abc"},
        {"huge parameters", "{\\rtf1\\fs999999999999999 a\\cf-99999999 b\\uc999999\\uc2 \\u233 cdef\\f-5 g}", QString::fromUtf8("abéefg")},
        {"star before text", "{\\rtf1 a{\\*}b{\\* c}d}", "ab cd"},
    };
    for (const HostileCase &t : cases) {
        SCOPED_TRACE(t.name);
        QTextDocument doc;
        QElapsedTimer timer;
        timer.start();
        richtext::read(t.rtf, &doc);
        const QByteArray rtf = richtext::write(doc);
        EXPECT_LT(timer.elapsed(), 2000);
        if (!t.shown.isNull()) {
            EXPECT_EQ(visible(doc), t.shown);
        }
        EXPECT_EQ(imageCount(doc), t.images);
        QTextDocument back;
        richtext::read(rtf, &back);
        EXPECT_EQ(back.toRawText(), doc.toRawText());
    }
}

TEST(RichText, LooksLikeRtf)
{
    const std::pair<QByteArray, bool> cases[] = {
        {"{\\rtf1\\ansi}", true},
        {"\xEF\xBB\xBF{\\rtf1", true},
        {" \r\n\t{\\rtf", true},
        {"{\\rt", false},
        {"{\\RTF1", false},
        {"x{\\rtf1", false},
        {"", false},
        {"\xEF\xBB\xBF", false},
    };
    for (const auto &[bytes, expected] : cases)
        EXPECT_EQ(richtext::looksLikeRtf(bytes), expected) << bytes.toHex().constData();
}

struct CorpusCase
{
    const char *file;
    std::vector<QString> shown;
    std::vector<QString> hidden;
    // A piece of the text and what its first character and paragraph must be: b, i, u, s, a
    // colour #rrggbb, f:family (f: alone for the default font), pt:size, centre/right/justify,
    // or plain (none of b, i, u, s and a colour).
    std::vector<std::pair<QString, QStringList>> formats;
    std::vector<QSizeF> images; // shown sizes, in order
};

QString u8(const char *s) { return QString::fromUtf8(s); }

// Files shaped as word processors write them: what shows, what does not, and the formats.
TEST(RichText, ReadsWordProcessorFiles)
{
    const CorpusCase cases[] = {
        {"lettre.rtf",
         {u8("Lettre de réclamation\nLyon, le 14 mars 2021\nObjet\u00a0: commande n° 4512 non reçue\nMadame, Monsieur,\n"),
          u8("J’ai passé commande le 2 février sur votre site boutique.example.org et je ne l’ai toujours pas reçue. "
             "C’est très important pour moi.\n"),
          u8("Ancien montant Montant débité\u00a0: 49,90\u00a0€, le 4 février.\nVeuillez agréer mes salutations distinguées.\n")},
         {"en-t", "Note de bas", "HYPERLINK", "Commentaire", "Marie", "Normal", "Times", "Carlito", "PAGE", "MF", "00d0"},
         {{u8("Lettre de"), {"b", "f:Arial", "pt:14", "centre"}},
          {"Lyon", {"plain", "right"}},
          {"Objet", {"b", "justify"}},
          {"boutique.", {"u", "#0000ff"}},
          {u8("très"), {"i", "u"}},
          {"Ancien", {"s", "#c00000"}},
          {"Veuillez", {"plain"}}},
         {}},
        {"tableau.rtf",
         {u8("Inventaire du bureau\u00a0:\nArticle\tQuantité\tPrix\nStylo\t12\t1,50\u00a0€\nCahier à spirale\t\t3,20\u00a0€\n"
             "Premier paragraphe après le tableau.\nLigne\nsur deux\tCellule étendue\nFin.\n")},
         {"Normal Table", "Redig5"},
         {{"Article", {"b", "#1f497d"}}, {"Prix", {"b"}}, {"Stylo", {"plain"}}, {"Cellule", {"i"}}},
         {}},
        {"listes.rtf",
         {u8("Courses pour samedi\u00a0:\n·\tPain de campagne\n·\tFromage de chèvre\n·\tCafé moulu\nRecette\u00a0:\n"
             "1.\tPréchauffer le four.\n2.\tBattre les œufs entiers.\nAncienne liste\u00a0:\n·\tPremier point\n"
             "·\tSecond point\n1.\tNuméroté\nFin de liste.\n")},
         {"Wingdings", "Symbol", ";"},
         {{u8("Café"), {"b"}}, {"entiers", {"i"}}, {"Pain", {"plain", "f:"}}, {"Fin de", {"f:Courier New"}}},
         {}},
        {"unicode.rtf",
         {u8("Français\u00a0: «\u00a0Voilà l’été\u00a0», œuvre et Æsop.\n"), u8("Русский: Привет мир\n"),
          u8("Ελληνικά\n"), u8("Deux octets de repli\u00a0: € et ł, puis sans repli\u00a0: →↑\u00a0fin.\n"),
          u8("Texte Unicode Łódź\n"), u8("Emoji\u00a0: 😀 et notes 🎵.\n"), u8("日本語\n"),
          u8("“Guillemets”, tiret–court, … points.\n")},
         {"?", "ANSI", "Textes du monde", u8("Å")},
         {{u8("Русский"), {"f:Times New Roman Cyr"}}},
         {}},
        {"images.rtf",
         {u8("Image au format PNG\u00a0:\n\ufffc\nPhoto JPEG réduite de moitié\u00a0: \ufffc après la photo.\n"
             "Image en binaire\u00a0: \ufffc fin.\nMétafichier seul\u00a0:  (non affiché).\nImage abîmée\u00a0:  (ignorée).\n"
             "\ufffc\nFin des images.\n")},
         {"Paint", "gradient", "shapeType", "0100"},
         {{u8("\ufffc"), {"centre"}}},
         {QSizeF(8, 6), QSizeF(10, 4), QSizeF(10, 10), QSizeF(100, 40)}},
        {"simple.rtf",
         {u8("Notes de réunion\nPrésents\u00a0:\tAnne, Luc\u2028et Zoé.\nOrdre du jour — budget, ‘travaux’ et divers.\n"
             "Le mot cou-pé en deux lignes, un mot rouge, un mot vert souligné, du code et du texte plus grand.\n"
             "Accolades { et } et barre \\ oblique, tiret\u2011insécable, trait dunion conditionnel.\nSigné\u00a0: la secrétaire\n")},
         {"Calibri", "Redig5"},
         {{"Notes", {"b", "pt:16", "centre", "f:"}},
          {"mot rouge", {"#ff0000", "pt:11"}},
          {"mot vert", {"u", "#00b050"}},
          {"code", {"f:Courier New"}},
          {"texte", {"i", "pt:14"}},
          {"Anne", {"plain", "pt:11", "f:"}},
          {u8("Signé"), {"right"}}},
         {}},
    };
    for (const CorpusCase &t : cases) {
        SCOPED_TRACE(t.file);
        QFile file(QStringLiteral(TALVO_RTF_DATA "/") + t.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        ASSERT_TRUE(richtext::looksLikeRtf(rtf));
        QTextDocument doc;
        richtext::read(rtf, &doc);
        const QString text = visible(doc);
        for (const QString &s : t.shown)
            EXPECT_TRUE(text.contains(s)) << s.toStdString() << "\nnot in\n" << text.toStdString();
        for (const QString &s : t.hidden)
            EXPECT_FALSE(text.contains(s)) << s.toStdString() << "\nshown in\n" << text.toStdString();
        for (const auto &[piece, expected] : t.formats) {
            SCOPED_TRACE(piece.toStdString());
            const QTextCursor found = doc.find(piece);
            ASSERT_FALSE(found.isNull());
            QTextCursor at(&doc);
            at.setPosition(found.selectionStart() + 1);
            const QString got = flags(at.charFormat());
            const QString align = alignName(at.blockFormat().alignment());
            for (const QString &e : expected) {
                if (e == "plain") {
                    for (const QString &token : got.split(' '))
                        EXPECT_TRUE(token.size() > 1 && !token.startsWith('#')) << got.toStdString();
                }
                else if (e == "centre" || e == "right" || e == "justify") EXPECT_EQ(align, e);
                else if (e == "f:") EXPECT_FALSE(got.contains("f:")) << got.toStdString();
                else EXPECT_TRUE((' ' + got + ' ').contains(' ' + e + ' ')) << got.toStdString() << " lacks " << e.toStdString();
            }
        }
        std::vector<QSizeF> images;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat()) {
                    const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
                    EXPECT_FALSE(imageOf(doc, f).isNull());
                    images.emplace_back(f.width(), f.height());
                }
        EXPECT_EQ(images, t.images);
        // A file read and written reads back to the same text.
        QTextDocument back;
        richtext::read(richtext::write(doc), &back);
        EXPECT_EQ(back.toRawText(), doc.toRawText());
        EXPECT_EQ(describe(back), describe(doc));
    }
}

} // namespace

TEST(RichText, ALargeDocumentIsWrittenInPartsThatReadBackAsOne)
{
    // Long enough to be made in parts: formats, fonts and colours that the second half uses
    // first, tabs and line breaks at the ends of runs, pictures, accents and characters beyond
    // the code page, with blocks of every alignment.
    std::mt19937 random(17);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QStringList pieces = {QStringLiteral("mot"), QStringLiteral(" "), QStringLiteral("\t"),
                                QString(QChar::LineSeparator), QStringLiteral("été"), QStringLiteral("{x}\\"),
                                QStringLiteral("→"), QStringLiteral("9"), QStringLiteral("œ")};
    const QStringList families = {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")};
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    QTextDocument doc;
    QTextCursor cursor(&doc);
    while (doc.characterCount() < 700 * 1024) {
        const bool secondHalf = doc.characterCount() > 350 * 1024;
        Fmt style;
        style.bold = pick(6) == 0;
        style.italic = pick(8) == 0;
        style.underline = pick(10) == 0;
        if (pick(12) == 0) style.colour = secondHalf ? QColor(10, 20, 30) : QColor(200, 0, 0);
        if (pick(9) == 0) style.family = families[secondHalf ? pick(3) : pick(2)];
        if (pick(7) == 0) style.points = secondHalf ? 17 : 11;
        QString text;
        for (int i = 1 + pick(6); i > 0; --i) text += pieces[pick(int(pieces.size()))];
        cursor.insertText(text, style.make());
        if (pick(400) == 0) picture(cursor, QStringLiteral("p%1").arg(pick(3)), pattern(3, 2, QImage::Format_RGB32, 5));
        if (pick(15) == 0) block(cursor, alignments[pick(4)]);
    }

    const QByteArray rtf = richtext::write(doc);
    // First use gives the numbers: the font only the second half holds comes last.
    EXPECT_TRUE(rtf.contains("{\\f3\\fnil Gamma;}")) << rtf.left(300).constData();
    QTextDocument back;
    richtext::read(rtf, &back);
    ASSERT_EQ(back.toRawText(), doc.toRawText());
    EXPECT_EQ(describe(back), describe(doc));
    EXPECT_EQ(richtext::write(back), rtf);

    // Streamed, the same bytes come in pieces; a piece refused stops the rest.
    QByteArray streamed;
    int calls = 0;
    EXPECT_TRUE(richtext::write(doc, [&](QByteArrayView piece) {
        ++calls;
        streamed += piece;
        return true;
    }));
    EXPECT_EQ(streamed, rtf);
    EXPECT_GE(calls, 2);
    calls = 0;
    EXPECT_FALSE(richtext::write(doc, [&](QByteArrayView) { return ++calls < 1; }));
    EXPECT_EQ(calls, 1);
}

TEST(RichText, AKeptDocumentWritesWhatItHoldsAfterEveryKindOfChange)
{
    // A document that keeps each paragraph's RTF must write, after any change, exactly what the
    // same content written afresh gives: each edit below touches the kept paragraphs another way.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    for (int i = 0; i < 40; ++i) {
        Fmt style;
        style.bold = i % 3 == 0;
        if (i % 5 == 0) style.colour = QColor(200, 0, 0);
        if (i % 7 == 0) style.family = QStringLiteral("Alpha");
        cursor.insertText(QStringLiteral("ligne %1 été ").arg(i), style.make());
        cursor.insertText(QStringLiteral("suite {x}\\"), Fmt{}.make());
        block(cursor, i % 4 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    richtext::keep(&doc, true);

    const auto withPicture = [](QColor colour) {
        QTextDocument other;
        QTextCursor c(&other);
        c.insertText(QStringLiteral("image "));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(colour);
        picture(c, QStringLiteral("i"), image);
        return richtext::write(other);
    };
    const auto at = [&](int position) {
        QTextCursor c(&doc);
        c.setPosition(position);
        return c;
    };
    const auto span = [&](int from, int to) {
        QTextCursor c = at(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        return c;
    };
    const std::vector<std::pair<const char *, std::function<void()>>> edits = {
        {"typed inside a paragraph", [&] { at(30).insertText(QStringLiteral("xyz")); }},
        {"a paragraph split", [&] { at(100).insertBlock(); }},
        {"two paragraphs joined", [&] {
             QTextCursor c = at(doc.findBlockByNumber(5).position());
             c.deletePreviousChar();
         }},
        {"a span deleted across paragraphs", [&] { span(200, 320).removeSelectedText(); }},
        {"bold over several paragraphs", [&] {
             QTextCharFormat bold;
             bold.setFontWeight(QFont::Bold);
             span(40, 260).mergeCharFormat(bold);
         }},
        {"a new colour and font", [&] {
             span(500, 520).mergeCharFormat(Fmt{false, false, false, false, QColor(0, 0, 255), QStringLiteral("Beta")}.make());
         }},
        {"an alignment changed", [&] {
             QTextBlockFormat right;
             right.setAlignment(Qt::AlignRight);
             at(doc.findBlockByNumber(9).position()).setBlockFormat(right);
         }},
        {"a picture inserted", [&] {
             QTextCursor c = at(60);
             picture(c, QStringLiteral("p"), pattern(3, 2, QImage::Format_RGB32, 1));
         }},
        {"undone", [&] { doc.undo(); }},
        {"undone again", [&] { doc.undo(); }},
        {"redone", [&] { doc.redo(); }},
        {"the last paragraph emptied", [&] {
             QTextCursor c(&doc);
             c.movePosition(QTextCursor::End);
             c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
             c.removeSelectedText();
         }},
        {"everything replaced", [&] { doc.setPlainText(QStringLiteral("neuf\ntexte")); }},
        {"a document with a picture read in", [&] { richtext::read(withPicture(Qt::red), &doc); }},
        {"another one read over it, its picture named the same", [&] { richtext::read(withPicture(Qt::blue), &doc); }},
        {"typed after that", [&] { at(2).insertText(QStringLiteral("é")); }},
    };
    for (const auto &[what, edit] : edits) {
        edit();
        const std::unique_ptr<QTextDocument> fresh(doc.clone());
        EXPECT_EQ(richtext::write(doc), richtext::write(*fresh)) << what;
        // A second writing, from what the first kept, gives the same again.
        EXPECT_EQ(richtext::write(doc), richtext::write(*fresh)) << what;
    }
}

TEST(RichText, ReplaceAllEditsTheDocumentInPlaceInOneUndoStep)
{
    // The same occurrences as the plain-text replacement, in texts cut into formats and pictures.
    struct Case { QString text, word, replacement; };
    const Case cases[] = {
        {"banana", "a", "aa"},
        {"Le chat, le chien, LE loup", "Le", "un"},
        {"été ÉTÉ été", "été", "hiver"},
        {"aaaa", "aa", "b"},
        {"rien", "x", "y"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QTextDocument doc;
        QTextCursor cursor(&doc);
        // Every character in a format of its own, and a picture after the first half.
        for (qsizetype i = 0; i < c.text.size(); ++i) {
            if (i == c.text.size() / 2) picture(cursor, "p", pattern(2, 2, QImage::Format_RGB32, 1));
            cursor.insertText(c.text.mid(i, 1), Fmt{.bold = i % 2 == 0, .points = double(10 + i)}.make());
        }
        doc.clearUndoRedoStacks();
        const QString before = describe(doc);
        QString expected = doc.toRawText();
        const QList<qsizetype> found = doctext::findAllIgnoringCase(expected, c.word);
        const auto sizeAt = [&](qsizetype position) {
            QTextCursor at(&doc);
            at.setPosition(int(position) + 1);
            return at.charFormat().fontPointSize();
        };
        QList<double> sizes;
        for (const qsizetype at : found) sizes.append(sizeAt(at));
        const qsizetype count = doctext::replaceAllIgnoringCase(&expected, c.word, c.replacement);
        const richtext::Replaced done = richtext::replaceAll(&doc, c.word, c.replacement);
        EXPECT_EQ(done.count, count);
        EXPECT_EQ(doc.toRawText(), expected);
        EXPECT_EQ(imageCount(doc), 1);
        // Each replacement, first to last character, takes the format of the first character it
        // replaced.
        for (qsizetype k = 0; k < found.size(); ++k) {
            const qsizetype at = found[k] + k * (c.replacement.size() - c.word.size());
            for (qsizetype i = 0; i < c.replacement.size(); ++i) EXPECT_EQ(sizeAt(at + i), sizes[k]) << k;
        }
        if (count > 0) {
            doc.undo();
            EXPECT_FALSE(doc.isUndoAvailable()) << "one step";
        }
        EXPECT_EQ(describe(doc), before);
    }

    // Cancelled by its progress half-way (its second report comes after 100 ms of replacing), the
    // replacing leaves the document as it was.
    const QString roses = QString(QStringLiteral("rose ")).repeated(400'000);
    QTextDocument doc;
    QTextCursor(&doc).insertText(roses);
    doc.clearUndoRedoStacks();
    QList<qint64> reports;
    const richtext::Replaced cancelled = richtext::replaceAll(&doc, u"rose", u"tulipe", [&](qint64 done, qint64) {
        reports.append(done);
        return reports.size() == 1;
    });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.count, 0);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_GT(reports[1], 0);
    EXPECT_TRUE(doc.toRawText() == roses);
}
