#include "common/desktop/scripted_desktop.h"
#include "imageviewer/picture/geometry.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/window/form1.h"
#include "imageviewer/window/picture_box.h"
#include "tests/imageviewer/phone_photo.h"
#include "tests/imageviewer/test_pictures.h"
#include "tests/support/test_folder.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImageIOHandler>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRubberBand>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <sys/stat.h>

using namespace testpictures;

namespace {

struct Viewer
{
    TestFolder folder;
    ScriptedDesktop desktop;
    std::unique_ptr<PictelSession> session;
    std::unique_ptr<pictel::Form1> window;

    void start(const QStringList &arguments)
    {
        session = std::make_unique<PictelSession>(folder.path());
        window = std::make_unique<pictel::Form1>(*session, desktop);
        window->Form_Load(arguments);
        window->show();
        QCoreApplication::processEvents();
    }
    QString picturePath(const QString &name, const QImage &image, const char *format = "png")
    {
        folder.write(name, encode(image, format, 95));
        return folder.file(name);
    }
    // Menu entries by their names, as the user finds them.
    QAction *entry(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    void trigger(const char *name) { entry(name)->trigger(); }
    bool enabled(const char *name) const { return window->reachable(entry(name)); }
    QString caption(const char *name) const { return entry(name)->text().remove(u'&'); }
    PictureBox *box() const { return window->Image1(); }
    QImage shown() const { return window->picture().image(); }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), box()->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(box(), &event);
    }
    // A drag with a stop half-way, the points given in the picture box's coordinates when the
    // button goes down: the pointer moves over the window, whether the box follows it or not.
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint origin = box()->pos();
        const auto at = [&](QPoint p) { return p + origin - box()->pos(); };
        mouse(QEvent::MouseButtonPress, button, at(from));
        mouse(QEvent::MouseMove, button, at((from + to) / 2));
        mouse(QEvent::MouseMove, button, at(to));
        mouse(QEvent::MouseButtonRelease, button, at(to));
    }
    void select(QPoint from, QPoint to)
    {
        if (!window->mode()) trigger("m_sel");
        drag(from, to);
    }
    // Answers the size dialog: Enter in one box, then the given button.
    void answerDimensions(const char *box, const QString &value, const char *button, QString *other = nullptr)
    {
        desktop.dialogHandlers.append([=](QDialog *d) {
            auto *edit = d->findChild<QLineEdit *>(QLatin1String(box));
            edit->setText(value);
            QTest::keyClick(edit, Qt::Key_Return);
            if (other)
                *other = d->findChild<QLineEdit *>(QLatin1String(qstrcmp(box, "largeur") ? "largeur" : "hauteur"))->text();
            if (button) d->findChild<QPushButton *>(QLatin1String(button))->click();
            return d->result();
        });
    }
};

int menuBarHeight(const pictel::Form1 &window) { return window.menuBar()->sizeHint().height(); }

} // namespace

TEST(PictelForm1, AQuotedPathWithBlanksOpensAndTheWindowFitsThePicture)
{
    Viewer v;
    QDir().mkpath(v.folder.file(QStringLiteral("mes images")));
    const QImage source = pattern(QSize(400, 300));
    const QString path = v.picturePath(QStringLiteral("mes images/vue du port.png"), source);
    v.start({u'"' + path.section(u' ', 0, 1), path.section(u' ', 2) + u'"'});
    ASSERT_TRUE(v.window->loaded());
    EXPECT_EQ(v.window->windowTitle(), path);
    EXPECT_EQ(v.session->currentFile, path);
    EXPECT_EQ(v.shown(), source);
    EXPECT_EQ(v.box()->size(), QSize(400, 300));
    EXPECT_EQ(v.window->size(), QSize(400, 300 + menuBarHeight(*v.window)));
    EXPECT_EQ(v.session->imageWidth, 400);
    EXPECT_EQ(v.session->imageHeight, 300);
    EXPECT_EQ(v.caption("m_sel"), QStringLiteral("MODE:Déplacement"));
    EXPECT_EQ(v.box()->cursor().shape(), Qt::SizeAllCursor);
    for (const char *name : {"m_charger", "m_save", "m_sauver", "m_taille", "m_print", "m_sel", "m_infos"})
        EXPECT_TRUE(v.enabled(name)) << name;
    EXPECT_FALSE(v.enabled("m_restaurer"));
    EXPECT_TRUE(v.desktop.log.isEmpty());

    // A small picture gives the smallest window, which the window keeps.
    v.desktop.fileNames << v.picturePath(QStringLiteral("petite.png"), pattern(QSize(20, 20)));
    v.trigger("m_charger");
    EXPECT_EQ(v.window->picture().size(), QSize(20, 20));
    // The smallest window, or the width of the whole menu bar when that is wider.
    const QSize smallest(std::max(3480 / 15 - 10, v.window->menuBar()->sizeHint().width()),
                         1800 / 15 - 52 + menuBarHeight(*v.window));
    EXPECT_EQ(v.window->size(), smallest);
    EXPECT_EQ(v.window->minimumSize(), smallest);
    QCoreApplication::processEvents();
    for (QAction *entry : v.window->menuBar()->actions())
        EXPECT_FALSE(v.window->menuBar()->actionGeometry(entry).isEmpty()) << entry->text().toStdString();
    const QStringList filter = v.desktop.fileFilters.first().split(QStringLiteral(";;"));
    for (const QString &pattern : {QStringLiteral("*.png"), QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.gif")})
        EXPECT_TRUE(filter.first().contains(pattern)) << pattern.toStdString();
    EXPECT_EQ(filter.last(), QStringLiteral("Tout (*)"));

    // Without a path the Open dialog comes at once; given up, nothing is loaded.
    Viewer empty;
    empty.start({});
    EXPECT_EQ(empty.desktop.log, QStringList{QStringLiteral("open file: Charger")});
    EXPECT_FALSE(empty.window->loaded());
    for (const char *name : {"m_save", "m_sauver", "m_taille", "m_print"}) EXPECT_FALSE(empty.enabled(name)) << name;
    EXPECT_TRUE(empty.enabled("m_charger"));
}

TEST(PictelForm1, AFileThatIsNoGoodPictureIsToldAndChangesNothing)
{
    Viewer v;
    const QImage source = pattern(QSize(120, 90));
    const QString good = v.picturePath(QStringLiteral("bonne.png"), source);
    v.start({good});
    v.folder.write(QStringLiteral("texte.jpg"), "pas une image");
    v.folder.write(QStringLiteral("geante.png"), pngHeader(100000, 100000));
    ASSERT_EQ(::mkfifo(QFile::encodeName(v.folder.file(QStringLiteral("tube.png"))).constData(), 0600), 0);
    struct Bad { const char *name; const char *reason; };
    for (const Bad &b : {Bad{"texte.jpg", "n'est pas une image"}, Bad{"geante.png", "100000 × 100000"},
                         Bad{"tube.png", "tube"}, Bad{"absente.png", "introuvable"}}) {
        v.desktop.fileNames << v.folder.file(QString::fromLatin1(b.name));
        v.trigger("m_charger");
        ASSERT_FALSE(v.desktop.messages.isEmpty()) << b.name;
        EXPECT_TRUE(v.desktop.messages.last().text.contains(QString::fromUtf8(b.reason)))
            << b.name << ": " << v.desktop.messages.last().text.toStdString();
        EXPECT_EQ(v.window->windowTitle(), good);
        EXPECT_EQ(v.session->currentFile, good);
        EXPECT_EQ(v.shown(), source);
    }

    // Named on the command line, a bad file leaves an empty window.
    Viewer bad;
    bad.folder.write(QStringLiteral("geante.bmp"), bmpHeader(100000, 100000));
    bad.start({bad.folder.file(QStringLiteral("geante.bmp"))});
    EXPECT_FALSE(bad.window->loaded());
    ASSERT_EQ(bad.desktop.messages.size(), 1);
    EXPECT_FALSE(bad.enabled("m_save"));
}

TEST(PictelForm1, ASelectionCropsTheSameEitherWayAndRestoreComesBack)
{
    Viewer v;
    const QImage source = pattern(QSize(200, 150));
    v.start({v.picturePath(QStringLiteral("a.png"), source)});
    const QRect expected(30, 40, 100, 50);

    struct Way { QPoint from, to; };
    for (const Way &w : {Way{{30, 40}, {130, 90}}, Way{{130, 90}, {30, 40}}, Way{{30, 90}, {130, 40}}}) {
        v.select(w.from, w.to);
        EXPECT_EQ(v.shown(), source.copy(expected)) << w.from.x() << "," << w.from.y();
        EXPECT_EQ(v.box()->size(), expected.size());
        EXPECT_FALSE(v.window->mode()); // back in move mode after the change
        EXPECT_TRUE(v.enabled("m_restaurer"));
        EXPECT_EQ(v.session->imageWidth, 100);
        v.trigger("m_restaurer");
        EXPECT_EQ(v.shown(), source);
        EXPECT_FALSE(v.enabled("m_restaurer"));
    }

    // Past the picture's edges, the selection stops at them.
    v.select({150, 100}, {400, -50});
    EXPECT_EQ(v.shown(), source.copy(QRect(150, 0, 50, 100)));
    // Restore goes back one crop only.
    v.select({10, 10}, {30, 40});
    EXPECT_EQ(v.shown(), source.copy(QRect(160, 10, 20, 30)));
    v.trigger("m_restaurer");
    EXPECT_EQ(v.shown(), source.copy(QRect(150, 0, 50, 100)));

    // A click without a drag, or a line, changes nothing. (The picture shown is still a crop
    // when the file is opened again: asked, and not saved.)
    v.desktop.fileNames << v.folder.file(QStringLiteral("a.png"));
    v.desktop.answers << Desktop::Answer::No;
    v.trigger("m_charger");
    ASSERT_EQ(v.desktop.messages.size(), 1);
    for (const Way &w : {Way{{50, 50}, {50, 50}}, Way{{20, 70}, {120, 70}}}) {
        v.select(w.from, w.to);
        EXPECT_EQ(v.shown(), source);
        EXPECT_TRUE(v.window->mode());
        EXPECT_FALSE(v.enabled("m_restaurer"));
        EXPECT_FALSE(v.window->rubberBand()->isVisible());
    }
    EXPECT_EQ(v.desktop.messages.size(), 1);
    EXPECT_EQ(v.folder.entries(), QStringList({QStringLiteral(".config"), QStringLiteral("a.png")}));
}

TEST(PictelForm1, APictureLargerThanTheScreenIsShownScaledAndCroppedAtFullSize)
{
    Viewer v;
    const QSize full(2400, 1800);
    const QImage source = pattern(full);
    v.start({v.picturePath(QStringLiteral("grande.png"), source)});
    const QSize shown = v.box()->size();
    const QRect screen = v.window->screen()->availableGeometry();
    EXPECT_LT(shown.width(), full.width());
    EXPECT_LE(v.window->width(), screen.width());
    EXPECT_LE(v.window->height(), screen.height());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0 / 3.0, 0.01);
    EXPECT_EQ(v.session->imageWidth, 2400); // the size dialog works on the full picture

    const QRect selected(40, 30, 100, 60);
    v.select(selected.topLeft(), selected.topLeft() + QPoint(selected.width(), selected.height()));
    const QRect onFull = pictel::toFullSize(selected, shown, full);
    EXPECT_NEAR(onFull.left(), 40.0 * 2400 / shown.width(), 1);
    EXPECT_NEAR(onFull.width(), 100.0 * 2400 / shown.width(), 1);
    EXPECT_EQ(v.shown(), source.copy(onFull));
}

TEST(PictelForm1, TheSizeDialogKeepsProportionsAndResizes)
{
    Viewer v;
    const QImage source = pattern(QSize(400, 300));
    v.start({v.picturePath(QStringLiteral("a.png"), source)});

    QString other;
    v.answerDimensions("largeur", QStringLiteral("200"), nullptr, &other);
    v.trigger("m_taille");
    EXPECT_EQ(v.desktop.dialogs.last(), QStringLiteral("dimensions"));
    EXPECT_EQ(other, QStringLiteral("150"));
    EXPECT_EQ(v.window->picture().size(), QSize(400, 300)); // closed without Recadrer

    v.answerDimensions("hauteur", QStringLiteral("30"), nullptr, &other);
    v.trigger("m_taille");
    EXPECT_EQ(other, QStringLiteral("40"));

    // Réset brings the picture's size back; then nothing changes.
    v.desktop.dialogHandlers.append([](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("largeur"))->setText(QStringLiteral("17"));
        d->findChild<QPushButton *>(QStringLiteral("reset"))->click();
        EXPECT_EQ(d->findChild<QLineEdit *>(QStringLiteral("largeur"))->text(), QStringLiteral("400"));
        EXPECT_EQ(d->windowTitle(), QStringLiteral("REDIMENSIONNER"));
        d->findChild<QPushButton *>(QStringLiteral("recadrer"))->click();
        return d->result();
    });
    v.trigger("m_taille");
    EXPECT_FALSE(v.enabled("m_restaurer"));

    // A crop, then a resize: Restaurer goes back to the picture before the crop.
    v.select({0, 0}, {200, 100});
    v.answerDimensions("largeur", QStringLiteral("100"), "recadrer");
    v.trigger("m_taille");
    EXPECT_EQ(v.window->picture().size(), QSize(100, 50));
    EXPECT_EQ(v.box()->size(), QSize(100, 50));
    EXPECT_EQ(v.session->imageWidth, 100);
    v.trigger("m_restaurer");
    EXPECT_EQ(v.shown(), source);

    // An empty side or one past the limits is refused; the picture stays.
    struct Sides { const char *largeur, *hauteur; };
    for (const Sides &sides : {Sides{"0", "150"}, Sides{"200", ""}}) {
        v.desktop.dialogHandlers.append([sides](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("largeur"))->setText(QLatin1String(sides.largeur));
            d->findChild<QLineEdit *>(QStringLiteral("hauteur"))->setText(QLatin1String(sides.hauteur));
            d->findChild<QPushButton *>(QStringLiteral("recadrer"))->click();
            return d->result();
        });
        v.trigger("m_taille");
        EXPECT_EQ(v.window->picture().size(), QSize(400, 300)) << sides.largeur;
        EXPECT_EQ(v.session->imageWidth, 400);
    }
    v.answerDimensions("largeur", QStringLiteral("90000"), "recadrer");
    v.trigger("m_taille");
    EXPECT_EQ(v.window->picture().size(), QSize(400, 300));
    ASSERT_EQ(v.desktop.messages.size(), 3);
    EXPECT_TRUE(v.desktop.messages[0].text.contains(QStringLiteral("au moins 1 pixel")));
    EXPECT_TRUE(v.desktop.messages[2].text.contains(QStringLiteral("90000 × 67500")));
}

TEST(PictelForm1, SavesFollowTheNameAndNeverLoseTheFile)
{
    Viewer v;
    const QImage source = pattern(QSize(160, 120));
    const QString path = v.picturePath(QStringLiteral("photo.png"), source);
    v.start({path});
    v.select({10, 20}, {90, 80});
    const QImage crop = source.copy(QRect(10, 20, 80, 60));

    // "Sauver" replaces the file opened, in its format, without a question.
    v.trigger("m_save");
    EXPECT_TRUE(v.desktop.messages.isEmpty());
    EXPECT_EQ(QImage(path).convertToFormat(crop.format()), crop);

    // A name without extension gets .png; one of a format that cannot be written is refused.
    v.desktop.fileNames << v.folder.file(QStringLiteral("copie"));
    v.trigger("m_sauver");
    EXPECT_EQ(v.window->windowTitle(), v.folder.file(QStringLiteral("copie.png")));
    EXPECT_EQ(QImageReader(v.folder.file(QStringLiteral("copie.png"))).format(), QByteArray("png"));
    EXPECT_FALSE(v.folder.exists(QStringLiteral("copie")));
    v.desktop.fileNames << v.folder.file(QStringLiteral("copie.bmp"));
    v.trigger("m_sauver");
    EXPECT_EQ(QImageReader(v.folder.file(QStringLiteral("copie.bmp"))).format(), QByteArray("bmp"));
    EXPECT_EQ(v.session->currentFile, v.folder.file(QStringLiteral("copie.bmp")));
    v.desktop.fileNames << v.folder.file(QStringLiteral("copie.gif"));
    v.trigger("m_sauver");
    ASSERT_EQ(v.desktop.messages.size(), 1);
    EXPECT_TRUE(v.desktop.messages[0].text.contains(QStringLiteral(".gif")));
    EXPECT_FALSE(v.folder.exists(QStringLiteral("copie.gif")));
    // The Save dialog offers the format of the file shown first.
    EXPECT_TRUE(v.desktop.fileFilters.last().startsWith(QStringLiteral("BMP ("))) << v.desktop.fileFilters.last().toStdString();
    EXPECT_EQ(v.desktop.saveFolders.last(), v.folder.file(QStringLiteral("copie.bmp")));
    // The name completed with .png names an existing file: asked first, No keeps it.
    const QByteArray before = v.folder.read(QStringLiteral("copie.png"));
    v.select({0, 0}, {10, 10});
    v.desktop.fileNames << v.folder.file(QStringLiteral("copie"));
    v.desktop.answers << Desktop::Answer::No;
    v.trigger("m_sauver");
    EXPECT_EQ(v.desktop.messages.last().title, QStringLiteral("Ce fichier existe déjà..."));
    EXPECT_EQ(v.desktop.messages.last().defaultButton, Desktop::Answer::No);
    EXPECT_EQ(v.folder.read(QStringLiteral("copie.png")), before);
    // So does any other file that exists, the one first opened too; the picture's own file and a
    // new name are written without a question. Each row saves a picture one pixel smaller.
    struct SaveAs { const char *name; std::optional<Desktop::Answer> answer; bool written; };
    const SaveAs saves[] = {
        {"photo.png", Desktop::Answer::No, false},
        {"photo.png", Desktop::Answer::Yes, true},
        {"photo.png", std::nullopt, true}, // now the picture's own file
        {"neuve.png", std::nullopt, true},
    };
    for (const SaveAs &row : saves) {
        const QSize size = v.window->picture().size() - QSize(1, 1);
        v.select({0, 0}, {size.width(), size.height()});
        ASSERT_EQ(v.window->picture().size(), size);
        const qsizetype asked = v.desktop.messages.size();
        v.desktop.fileNames << v.folder.file(QLatin1String(row.name));
        if (row.answer) v.desktop.answers << *row.answer;
        v.trigger("m_sauver");
        EXPECT_EQ(v.desktop.messages.size(), asked + (row.answer ? 1 : 0)) << row.name;
        EXPECT_EQ(QImage(v.folder.file(QLatin1String(row.name))).size() == size, row.written) << row.name;
        EXPECT_EQ(v.window->modified(), !row.written) << row.name;
    }

    // A JPEG larger than the screen is kept as its file's bytes until needed: saving the crop over
    // the file does not change what "Restaurer" brings back.
    Viewer jpeg;
    const QImage large = blocks(QSize(1600, 1000));
    const QString jpegPath = jpeg.picturePath(QStringLiteral("grande.jpg"), large, "jpeg");
    const QImage asRead(jpegPath);
    jpeg.start({jpegPath});
    ASSERT_FALSE(jpeg.window->picture().isDecoded());
    jpeg.select({0, 0}, {100, 50});
    const QSize cropped = jpeg.window->picture().size();
    jpeg.trigger("m_save");
    EXPECT_EQ(QImageReader(jpegPath).size(), cropped);
    jpeg.trigger("m_restaurer");
    EXPECT_EQ(jpeg.window->picture().size(), QSize(1600, 1000));
    EXPECT_EQ(jpeg.shown(), asRead);

    // A GIF can be shown, not written back: "Sauver" says so and leaves it.
    Viewer gif;
    QImage palette = pattern(QSize(40, 30)).convertToFormat(QImage::Format_Indexed8);
    const QString gifPath = gif.folder.file(QStringLiteral("anim.gif"));
    gif.folder.write(QStringLiteral("anim.gif"), QByteArray::fromBase64(
        "R0lGODlhAgACAPAAAP8AAAAAACH5BAAAAAAALAAAAAACAAIAAAIChFEAOw=="));
    gif.start({gifPath});
    ASSERT_TRUE(gif.window->loaded()) << gif.desktop.messageTexts().join(u'\n').toStdString();
    const QByteArray gifBytes = gif.folder.read(QStringLiteral("anim.gif"));
    gif.trigger("m_save");
    ASSERT_EQ(gif.desktop.messages.size(), 1);
    EXPECT_TRUE(gif.desktop.messages[0].text.contains(QStringLiteral("Sauver sous")));
    EXPECT_EQ(gif.folder.read(QStringLiteral("anim.gif")), gifBytes);

    // A folder that cannot be written: told, and the file is as it was.
    Viewer ro;
    QDir().mkpath(ro.folder.file(QStringLiteral("album")));
    const QString kept = ro.picturePath(QStringLiteral("album/vue.png"), source);
    const QByteArray original = ro.folder.read(QStringLiteral("album/vue.png"));
    ro.start({kept});
    ro.select({0, 0}, {50, 50});
    {
        Immutable locked(ro.folder.file(QStringLiteral("album")));
        if (!locked.set) GTEST_SKIP() << "chattr +i is refused here";
        ro.trigger("m_save");
    }
    ASSERT_EQ(ro.desktop.messages.size(), 1);
    EXPECT_TRUE(ro.desktop.messages[0].text.startsWith(QStringLiteral("L'image n'a pas été enregistrée")));
    EXPECT_EQ(ro.folder.read(QStringLiteral("album/vue.png")), original);
    EXPECT_EQ(ro.window->picture().size(), QSize(50, 50));
    EXPECT_EQ(QDir(ro.folder.file(QStringLiteral("album"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("vue.png")});
}

TEST(PictelForm1, MoveModeDragsThePictureAndTheOtherCommandsDoTheirWork)
{
    Viewer v;
    const QImage source = pattern(QSize(300, 200));
    v.start({v.picturePath(QStringLiteral("a.png"), source)});
    // The press point stays under the pointer; the release ends the drag.
    v.drag({100, 100}, {60, 130});
    EXPECT_EQ(v.box()->pos(), QPoint(-40, 30));
    v.mouse(QEvent::MouseMove, Qt::NoButton, {0, 0});
    EXPECT_EQ(v.box()->pos(), QPoint(-40, 30));
    v.trigger("m_sel");
    EXPECT_EQ(v.caption("m_sel"), QStringLiteral("MODE:Sélection"));
    EXPECT_EQ(v.box()->pos(), QPoint(0, 0));
    EXPECT_EQ(v.box()->cursor().shape(), Qt::ArrowCursor);
    // In selection mode the right button still moves the picture.
    v.drag({10, 10}, {20, 15}, Qt::RightButton);
    EXPECT_EQ(v.box()->pos(), QPoint(10, 5));
    EXPECT_EQ(v.shown(), source);

    QString description;
    v.desktop.dialogHandlers.append([&](QDialog *d) {
        description = d->findChild<QLabel *>(QStringLiteral("description"))->text();
        return 0;
    });
    v.trigger("m_infos");
    EXPECT_EQ(v.desktop.dialogs.last(), QStringLiteral("apropos"));
    EXPECT_EQ(description, QStringLiteral("L'Outil Viewer d'Images d'Talvo"));

    v.desktop.printFolder = v.folder.path();
    v.trigger("m_print");
    ASSERT_EQ(v.desktop.printedImages.size(), 1);
    EXPECT_EQ(v.desktop.printedImages[0], source.convertToFormat(v.desktop.printedImages[0].format()));
    EXPECT_TRUE(v.folder.read(QStringLiteral("image-1.pdf")).startsWith("%PDF"));

    QTest::keyClick(v.box(), Qt::Key_Escape);
    EXPECT_FALSE(v.window->isVisible());
}

// Whatever replaces or closes the picture shown follows one rule: with a crop or a resize not
// saved, Save / Don't save / Cancel is asked once; without (or after a restore back to the
// file's picture) nothing is. The file keeps its bytes unless Save wrote the change, upright;
// Cancel, or a Save that fails, keeps the picture, its changes and the window. The picture is a
// phone photo, shown upright.
TEST(PictelForm1, EveryWayOfSettingThePictureAsideAsksBeforeAChangeIsLost)
{
    enum Path { Open, Escape, CloseBox, Quit, SessionEnd };
    enum Change { None, Restored, Crop, Resize };
    enum Reply { Nothing, Save, SaveFails, DontSave, Cancel };
    struct Case { Change change; Reply reply; };
    const Case cases[] = {{None, Nothing},  {Restored, Nothing}, {Crop, Save},   {Resize, Save},    {Crop, SaveFails},
                          {Crop, DontSave}, {Resize, DontSave},  {Crop, Cancel}, {Resize, Cancel}};
    const Desktop::Answer answers[] = {Desktop::Answer::Ok, Desktop::Answer::Yes, Desktop::Answer::Yes,
                                       Desktop::Answer::No, Desktop::Answer::Cancel};
    const QImage upright = blocks(QSize(96, 64));
    for (const Path path : {Open, Escape, CloseBox, Quit, SessionEnd})
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << "path " << path << ", change " << c.change << ", reply " << c.reply);
            Viewer v;
            v.folder.write(QStringLiteral("photo.jpg"), phonephoto::jpeg(upright, 6));
            const QString photo = v.folder.file(QStringLiteral("photo.jpg"));
            const QByteArray original = v.folder.read(QStringLiteral("photo.jpg"));
            const QString other = v.picturePath(QStringLiteral("autre.png"), pattern(QSize(50, 40)));
            v.start({photo});
            ASSERT_EQ(v.box()->size(), QSize(96, 64));
            EXPECT_LE(maxDifference(v.box()->image(), upright), 24);

            const bool changed = c.change == Crop || c.change == Resize;
            if (c.change == Crop || c.change == Restored) v.select({10, 10}, {58, 42});
            if (c.change == Restored) v.trigger("m_restaurer");
            if (c.change == Resize) {
                v.answerDimensions("largeur", QStringLiteral("48"), "recadrer");
                v.trigger("m_taille");
            }
            const QSize shown = changed ? QSize(48, 32) : QSize(96, 64);
            ASSERT_EQ(v.window->picture().size(), shown);
            EXPECT_EQ(v.window->modified(), changed);
            if (c.reply != Nothing) v.desktop.answers << answers[c.reply];
            if (c.reply == SaveFails) {
                QFile::remove(photo);
                QDir().mkdir(photo);
            }

            bool done = false;
            switch (path) {
            case Open:
                v.desktop.fileNames << other;
                v.trigger("m_charger");
                done = v.session->currentFile == other && v.window->picture().size() == QSize(50, 40);
                break;
            case Escape:
                QTest::keyClick(v.box(), Qt::Key_Escape);
                done = !v.window->isVisible();
                break;
            case CloseBox: done = v.window->close(); break;
            case Quit:
                // The program's quit closes its windows first, and stops when one stays.
                QTimer::singleShot(0, [] {
                    QCoreApplication::quit();
                    QCoreApplication::exit();
                });
                QCoreApplication::exec();
                done = !v.window->isVisible();
                break;
            case SessionEnd:
                // The desktop asks for what is open to be saved, then closes the window: one question.
                done = v.window->sessionEnding() && v.window->close();
                break;
            }

            const bool kept = c.reply == Cancel || c.reply == SaveFails;
            EXPECT_EQ(done, !kept);
            qsizetype questions = 0;
            for (const ScriptedDesktop::Shown &m : v.desktop.messages)
                if (m.buttons == Desktop::Buttons::YesNoCancel && m.text.contains(photo)) ++questions;
            EXPECT_EQ(questions, changed ? 1 : 0);
            EXPECT_EQ(v.desktop.messages.size(), questions + (c.reply == SaveFails ? 1 : 0));
            if (c.reply == Save) {
                QImageReader saved(photo);
                saved.setAutoTransform(false);
                EXPECT_EQ(saved.transformation(), QImageIOHandler::TransformationNone);
                EXPECT_EQ(saved.size(), shown);
            } else if (c.reply == SaveFails) {
                EXPECT_TRUE(QFileInfo(photo).isDir());
            } else {
                EXPECT_EQ(v.folder.read(QStringLiteral("photo.jpg")), original);
            }
            if (kept) {
                EXPECT_TRUE(v.window->isVisible());
                EXPECT_EQ(v.session->currentFile, photo);
                EXPECT_EQ(v.window->picture().size(), shown);
                EXPECT_TRUE(v.window->modified());
            }
        }
}
