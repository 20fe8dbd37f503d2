#include "archiver/store/removable_media.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Volumes are temporary folders standing for mount points; a file written below one is a file
// on that support.
class Locate : public ::testing::Test
{
protected:
    QString volume(const QString &name)
    {
        const QString root = dir.path() + u'/' + name + u'/';
        EXPECT_TRUE(QDir().mkpath(root));
        return root;
    }
    QString file(const QString &path)
    {
        EXPECT_TRUE(QDir().mkpath(path.section(u'/', 0, -2)));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(Locate, FindsAMissingTargetOnTheVolumeThatCarriesItsSupport)
{
    const QString here = file(dir.path() + QStringLiteral("/home/photo.jpg"));
    const QString oldRoot = volume(QStringLiteral("old")); // a removable root, now another disc
    const QString cd = volume(QStringLiteral("cdrom"));
    const QString key = volume(QStringLiteral("key"));
    const QString onCd = file(cd + QStringLiteral("PHOTOS/ETE/X.JPG"));
    const QString onKeyLower = file(key + QStringLiteral("photos/x.jpg"));
    const QString onKeyDeep = file(key + QStringLiteral("photos/y.jpg"));
    const QStringList roots = {oldRoot};
    const QList<media::Volume> volumes = {{QStringLiteral("/"), QString()},
                                          {cd, QStringLiteral("Vacances 2003")},
                                          {key, QStringLiteral("CLE")}};
    struct Case
    {
        const char *name;
        QString target;
        QString support;
        QString path;
        QString missingSupport;
    };
    const Case cases[] = {
        {"an existing target is its own place", here, QStringLiteral("VACANCES 2003"), here, {}},
        {"a target under no removable root", dir.path() + QStringLiteral("/gone.txt"),
         QStringLiteral("VACANCES 2003"), dir.path() + QStringLiteral("/gone.txt"), {}},
        {"no support", oldRoot + QStringLiteral("PHOTOS/ETE/X.JPG"), QString(),
         oldRoot + QStringLiteral("PHOTOS/ETE/X.JPG"), {}},
        {"support mounted elsewhere, label in another case", oldRoot + QStringLiteral("PHOTOS/ETE/X.JPG"),
         QStringLiteral("VACANCES 2003"), onCd, {}},
        {"support mounted, file missing on it", oldRoot + QStringLiteral("PHOTOS/NONE.JPG"),
         QStringLiteral("VACANCES 2003"), cd + QStringLiteral("PHOTOS/NONE.JPG"), {}},
        {"support not mounted", oldRoot + QStringLiteral("PHOTOS/ETE/X.JPG"), QStringLiteral("CD 7"),
         QString(), QStringLiteral("CD 7")},
        {"old automount place of a user, medium gone", QStringLiteral("/media/anne/CLE/photos/x.jpg"),
         QStringLiteral("CLE"), onKeyLower, {}},
        {"/run/media of a user", QStringLiteral("/run/media/anne/USB/photos/x.jpg"),
         QStringLiteral("cle"), onKeyLower, {}},
        {"/media/<name>: the reading that exists wins", QStringLiteral("/media/CD1/photos/y.jpg"),
         QStringLiteral("CLE"), onKeyDeep, {}},
        {"/mnt/<name>", QStringLiteral("/mnt/usb/photos/x.jpg"), QStringLiteral("CLE"), onKeyLower, {}},
        {"/mnt itself is no support", QStringLiteral("/mnt/x.jpg"), QStringLiteral("CLE"),
         QStringLiteral("/mnt/x.jpg"), {}},
        {"old automount place, support not mounted", QStringLiteral("/media/u/CD1/a.jpg"),
         QStringLiteral("NOPE"), QString(), QStringLiteral("NOPE")},
        {"old catalogue's drive A:, names matched without case", QStringLiteral("A:\\PHOTOS\\X.JPG"),
         QStringLiteral("CLE"), onKeyLower, {}},
        {"drive A:, support not mounted", QStringLiteral("a:\\PHOTOS\\X.JPG"), QStringLiteral("ZIP"),
         QString(), QStringLiteral("ZIP")},
        {"web address", QStringLiteral("HTTP://example.org/a.jpg"), QStringLiteral("CLE"),
         QStringLiteral("HTTP://example.org/a.jpg"), {}},
        {"mail address", QStringLiteral("anne@example.org"), QStringLiteral("CLE"),
         QStringLiteral("anne@example.org"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const media::Location l = media::locate(c.target, c.support, roots, volumes);
        EXPECT_EQ(l.path, c.path);
        EXPECT_EQ(l.missingSupport, c.missingSupport);
    }
}

} // namespace
