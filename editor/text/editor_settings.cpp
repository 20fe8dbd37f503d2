#include "editor/text/editor_settings.h"

#include "common/files/atomic_file.h"
#include "common/files/path_parts.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <QRegularExpression>

#include <cmath>

namespace editor {

namespace {

// Lines 1 to 16 of the file; the recent paths follow.
enum Line { Placeholder, Font, Size, Bold, Signature, Closing, Placeholder2, LastFolder, SpellChecker,
            FirstFreeLine, RecentCount = 15, FirstRecent = 16 };

QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

bool readBool(const QString &line)
{
    const QString word = line.trimmed();
    if (word.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0
        || word.compare(QStringLiteral("#true#"), Qt::CaseInsensitive) == 0)
        return true;
    const double number = leadingNumber(word);
    return number != 0;
}

} // namespace

double leadingNumber(const QString &line)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*([-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?))"));
    const auto match = number.match(line);
    if (!match.hasMatch()) return 0;
    const double value = match.captured(1).toDouble();
    return std::isfinite(value) ? value : 0;
}

QString printedNumber(double value)
{
    const QString text = QString::number(value, 'g', 7);
    return value >= 0 ? u' ' + text : text;
}

EditorSettings parseSettings(const QStringList &lines)
{
    EditorSettings settings;
    auto line = [&](int index) { return index < lines.size() ? lines[index] : QString(); };
    if (lines.size() > Font) settings.fontName = line(Font);
    if (lines.size() > Size) {
        const double size = leadingNumber(line(Size));
        settings.fontSize = size > 0 && size <= 1638 ? size : 0;
    }
    if (lines.size() > Bold) settings.bold = readBool(line(Bold));
    settings.signature = line(Signature);
    settings.closing = line(Closing);
    settings.lastFolder = line(LastFolder);
    settings.spellChecker = line(SpellChecker);
    const double count = leadingNumber(line(RecentCount));
    const qsizetype wanted = count > 0 ? qsizetype(std::min(count, 1e6)) : 0;
    const qsizetype present = std::max<qsizetype>(0, lines.size() - FirstRecent);
    const QStringList recent = lines.mid(FirstRecent, std::min(wanted, present));
    settings.recent = recent.mid(std::max<qsizetype>(0, recent.size() - kMaxRecentFiles));
    settings.recent.removeAll(QString());
    return settings;
}

QStringList settingsLines(const EditorSettings &settings)
{
    QStringList lines;
    lines << settings.placeholder << oneLine(settings.fontName) << printedNumber(settings.fontSize)
          << (settings.bold ? QStringLiteral("True") : QStringLiteral("False")) << oneLine(settings.signature)
          << oneLine(settings.closing) << settings.placeholder << oneLine(settings.lastFolder)
          << oneLine(settings.spellChecker);
    while (lines.size() < RecentCount) lines << settings.placeholder;
    lines << printedNumber(settings.recent.size());
    for (const QString &path : settings.recent) lines << oneLine(path);
    return lines;
}

EditorSettings readSettings(const QString &path)
{
    QByteArray data;
    QString error;
    if (!linefile::readIfExists(path, &data, &error)) return {};
    QStringList lines;
    for (const QByteArray &line : linefile::splitLines(data)) lines << linefile::decodeDocument(line);
    return parseSettings(lines);
}

bool saveSettings(const QString &path, const EditorSettings &settings, QString *errorText)
{
    const QStringList lines = settingsLines(settings);
    QByteArray content;
    if (const auto encoded = linefile::encodeLines(lines)) {
        content = *encoded;
    } else {
        content = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    }
    return files::saveAtomically(path, content, errorText);
}

bool addRecent(EditorSettings *settings, const QString &path)
{
    settings->lastFolder = PartieChemin(path, QStringLiteral("chemin\\"));
    for (const QString &known : settings->recent)
        if (known.compare(path, Qt::CaseInsensitive) == 0) return false;
    settings->recent.append(path);
    while (settings->recent.size() > kMaxRecentFiles) settings->recent.removeFirst();
    return true;
}

} // namespace editor
