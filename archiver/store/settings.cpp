#include "archiver/store/settings.h"

#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace settings {
namespace {

template <typename Int> void applyInteger(const QString &line, Int &target)
{
    if (line == QLatin1String(kFree)) return;
    const double v = std::round(numericValue(line));
    // A value the field cannot hold is passed over, like any unreadable line.
    if (v >= std::numeric_limits<Int>::min() && v <= std::numeric_limits<Int>::max())
        target = static_cast<Int>(v);
}

} // namespace

QString settingsFile(const QString &folder)
{
    return files::findExisting(folder, QStringLiteral("TALVO.INI"));
}

double numericValue(const QString &line)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([-+]?\\s*(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?)"));
    const auto m = number.match(line);
    if (!m.hasMatch()) return 0;
    QString text = m.captured(1);
    text.remove(u' ');
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString formatNumber(double value)
{
    QString digits = QString::number(value, 'g', 7); // single precision holds seven digits
    return value < 0 ? digits + u' ' : u' ' + digits + u' ';
}

void apply(QByteArrayView content, TalvoSettings &s)
{
    const QList<QByteArray> raw = linefile::splitLines(content);
    auto line = [&](int n) -> std::optional<QString> {
        if (n > raw.size()) return std::nullopt;
        return cp1252::decode(raw[n - 1]);
    };
    if (auto l = line(1)) s.zipProgram = *l;
    if (auto l = line(2)) s.soundFolder = *l;
    if (auto l = line(3)) s.imageFolder = *l;
    if (auto l = line(4); l && *l != QLatin1String(kFree)) s.windowWidth = numericValue(*l);
    if (auto l = line(5)) s.showAssociatedFile = numericValue(*l) != 0;
    if (auto l = line(6)) applyInteger(*l, s.keyColumnWidth);
    if (auto l = line(7); l && *l != QLatin1String(kFree)) {
        qint32 w = s.noteColumnWidth.value_or(0);
        applyInteger(*l, w);
        s.noteColumnWidth = w;
    }
    if (auto l = line(8)) applyInteger(*l, s.noteCounter);
    if (auto l = line(9)) applyInteger(*l, s.left);
    if (auto l = line(10)) applyInteger(*l, s.top);
    if (auto l = line(11); l && *l != QLatin1String(kFree)) s.lastNote = *l;
}

bool read(const QString &path, TalvoSettings &s, QString *errorText)
{
    const auto data = linefile::readFile(path, errorText);
    if (!data) return false;
    apply(*data, s);
    return true;
}

std::optional<QByteArray> compose(const TalvoSettings &s, char32_t *badChar)
{
    QStringList lines{s.zipProgram,
                      s.soundFolder,
                      s.imageFolder,
                      formatNumber(s.windowWidth),
                      formatNumber(s.showAssociatedFile ? -1 : 0),
                      formatNumber(s.keyColumnWidth),
                      s.noteColumnWidth ? formatNumber(*s.noteColumnWidth) : QLatin1String(kFree),
                      formatNumber(s.noteCounter),
                      formatNumber(s.left),
                      formatNumber(s.top),
                      s.lastNote};
    for (int i = 0; i < 10; ++i)
        lines.append(QLatin1String(kFree));
    return linefile::encodeLines(lines, badChar);
}

bool writeChanges(const files::FolderLock &lock, const QString &path, TalvoSettings &base, TalvoSettings mine,
                  QString *errorText)
{
    if (!lock.allows(path, errorText)) return false;
    TalvoSettings onDisk = base;
    const auto data = linefile::readFile(path);
    if (data) apply(*data, onDisk);
    mine.noteCounter = std::max(mine.noteCounter, onDisk.noteCounter);
    char32_t bad = 0;
    const auto ours = compose(mine, &bad), theirs = compose(base, &bad);
    if (!ours || !theirs) {
        if (errorText) *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    QList<QByteArray> lines = linefile::splitLines(*ours);
    if (data) {
        const QList<QByteArray> was = linefile::splitLines(*theirs);
        QList<QByteArray> now = linefile::splitLines(*data);
        while (now.size() < lines.size()) now.append(QByteArray(kFree));
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i] == was.value(i)) lines[i] = now[i];
        // The counter is the greater of the two, whoever wrote it.
        lines[7] = linefile::splitLines(*ours).value(7);
        for (qsizetype i = lines.size(); i < now.size(); ++i) lines.append(now[i]);
    }
    if (!files::saveAtomically(path, linefile::joinLines(lines), errorText)) return false;
    base = TalvoSettings();
    apply(linefile::joinLines(lines), base);
    return true;
}

bool write(const files::FolderLock &lock, const QString &path, const TalvoSettings &s, QString *errorText)
{
    if (!lock.allows(path, errorText)) return false;
    char32_t bad = 0;
    const auto body = compose(s, &bad);
    if (!body) {
        if (errorText) *errorText = cp1252::unencodableMessage(bad);
        return false;
    }
    return files::saveAtomically(path, *body, errorText);
}

namespace {
std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Talvo5"), QStringLiteral("Talvo5"));
}
} // namespace

QString userSettingsFolder()
{
    const QString folder = QFileInfo(userSettings()->fileName()).absolutePath();
    return QDir().mkpath(folder) ? folder : QString();
}

QString languageFileSetting()
{
    return userSettings()->value(QStringLiteral("FILES/LNG")).toString();
}

QString currentLanguageFile(const QString &folder)
{
    const QString chosen = languageFileSetting();
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile()) return chosen;
    return files::findExisting(folder, QStringLiteral("francais.lng"));
}

void setLanguageFileSetting(const QString &path)
{
    auto s = userSettings();
    s->setValue(QStringLiteral("FILES/LNG"), path);
    s->sync();
}

} // namespace settings
