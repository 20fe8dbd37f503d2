#pragma once

#include <QString>
#include <QList>
#include <QStringList>

// Removable supports: the mount points of removable block devices (USB sticks, memory cards,
// optical discs). A file lies on a removable support when its path is under one of them, or
// when it begins with "A:" as paths of old catalogues do.
namespace media {

QStringList removableRoots();
bool onRemovableSupport(const QString &path, const QStringList &roots);

// A mounted file system: its mount point (ending with "/") and its label, the volume name that
// a support of the catalogue carries (QStorageInfo::name()).
struct Volume
{
    QString root;
    QString label;
};

// The file systems mounted now.
QList<Volume> mountedVolumes();

// The targets that are not files: a web address ("http:" or "https:" anywhere, any case, or
// beginning with "www.") and a mail address ("@" after the first character).
bool isWebAddress(const QString &target);
bool isMailAddress(const QString &target);

// Where a record's file target is to be opened. A target that exists, that lies under no
// removable root, or whose support is empty, is its own place. A missing target under a
// removable root whose support names a mounted volume (label compared without case) is found
// at the same path relative to that volume's root. Otherwise the support must be inserted:
// path is empty and missingSupport names it.
struct Location
{
    QString path;
    QString missingSupport;
};
Location locate(const QString &target, const QString &support, const QStringList &removableRoots,
                const QList<Volume> &volumes);

} // namespace media
