#pragma once

#include <QString>
#include <QStringList>

// Removable supports: the mount points of removable block devices (USB sticks, memory cards,
// optical discs). A file lies on a removable support when its path is under one of them, or
// when it begins with "A:" as paths of old catalogues do.
namespace media {

QStringList removableRoots();
bool onRemovableSupport(const QString &path, const QStringList &roots);

} // namespace media
