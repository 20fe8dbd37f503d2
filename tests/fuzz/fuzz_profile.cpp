// The private-profile reader under arbitrary file contents.
//
// The input is read as a whole file; the section and key names looked up are taken from the
// input's own lines, so that lookups hit as well as miss. A second file puts a fresh section with
// one key in front of the input: that key must be found with its value as written.
#include "common/profile/profile.h"
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace {

constexpr int kMaxNames = 8;

const QString &longDefault()
{
    static const QString d = QString(300, u'd');
    return d;
}

// Letters a–z and A–Z change case; nothing else does.
QString swapAsciiCase(const QString &s)
{
    QString out = s;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z') c = QChar(u - 32);
        else if (u >= u'A' && u <= u'Z') c = QChar(u + 32);
    }
    return out;
}

// Section and key names as they appear in the file, blanks and all.
void collectNames(QByteArrayView data, QStringList &sections, QStringList &keys)
{
    sections << QString() << QStringLiteral("S");
    keys << QString() << QStringLiteral("k");
    for (const QByteArray &raw : linefile::splitLines(data)) {
        const QString line = cp1252::decode(raw);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            if (sections.size() < kMaxNames) {
                const qsizetype close = trimmed.indexOf(u']');
                sections << (close > 0 ? trimmed.mid(1, close - 1) : trimmed.mid(1));
            }
        } else if (const qsizetype eq = line.indexOf(u'='); eq >= 0 && keys.size() < kMaxNames) {
            keys << line.left(eq);
        }
    }
}

QString sectionOf(const QString &section) { return section.trimmed().toLower(); }

// Lookups that must hold for any file.
void checkLookups(const Profile &p, const QStringList &sections, const QStringList &keys)
{
    for (const QString &s : sections) {
        for (const QString &k : keys) {
            const QString withLong = p.value(s, k, longDefault());
            const QString withEmpty = p.value(s, k, QString());
            FUZZ_CHECK(withLong.size() <= Profile::kMaxValueLength);
            FUZZ_CHECK(withEmpty.size() <= Profile::kMaxValueLength);
            if (p.contains(s, k)) {
                // A key that is there ignores the default; a value never spans two lines.
                FUZZ_CHECK(withLong == withEmpty);
                FUZZ_CHECK(!withLong.contains(u'\n'));
            } else {
                // A missing key gives the default, cut like any value.
                FUZZ_CHECK(withLong == longDefault().left(Profile::kMaxValueLength));
                FUZZ_CHECK(withEmpty.isEmpty());
            }
            // Names are compared without case and without the blanks around them.
            const QString s2 = QStringLiteral(" ") + swapAsciiCase(s) + QStringLiteral("\t");
            const QString k2 = QStringLiteral("\t") + swapAsciiCase(k) + QStringLiteral(" ");
            FUZZ_CHECK(p.contains(s2, k2) == p.contains(s, k));
            FUZZ_CHECK(p.value(s2, k2, longDefault()) == withLong);
        }
    }
}

QByteArray withoutBytes(QByteArray s, const char *bytes)
{
    for (const char *b = bytes; *b; ++b)
        s.replace(*b, QByteArrayView());
    return s;
}

// The value a "key=value" line gives: trimmed, one pair of matching quotes removed, cut.
QString expectedValue(const QByteArray &raw)
{
    QString v = cp1252::decode(raw).trimmed();
    if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"') ||
                          (v.front() == u'\'' && v.back() == u'\'')))
        v = v.mid(1, v.size() - 2);
    return v.left(Profile::kMaxValueLength);
}

// A fresh section with one key in front of the input: the key is found with its value; every
// other section reads as before.
void checkFreshSection(QByteArrayView data, const Profile &original, const QStringList &sections,
                       const QStringList &keys)
{
    const QList<QByteArray> lines = linefile::splitLines(data);
    const QByteArray sectionRaw = withoutBytes(lines.value(0), "]\n");
    QByteArray keyRaw = withoutBytes(lines.value(1), "=\n");
    const QByteArray valueRaw = withoutBytes(lines.value(2), "\n");

    // A key line must not read as a blank line, a comment or a section.
    const QString keyTrimmed = cp1252::decode(keyRaw).trimmed();
    if (keyTrimmed.isEmpty() || keyTrimmed.startsWith(u';') || keyTrimmed.startsWith(u'['))
        keyRaw.prepend('k');

    QByteArray file;
    file += '[' + sectionRaw + "]\r\n";
    file += keyRaw + '=' + valueRaw + "\r\n";
    file += data.toByteArray();

    const Profile p = Profile::fromBytes(file);
    const QString section = cp1252::decode(sectionRaw);
    const QString key = cp1252::decode(keyRaw);
    FUZZ_CHECK(p.contains(section, key));
    FUZZ_CHECK(p.value(section, key, longDefault()) == expectedValue(valueRaw));
    FUZZ_CHECK(p.value(swapAsciiCase(section), swapAsciiCase(key), QString()) ==
               expectedValue(valueRaw));

    for (const QString &s : sections) {
        if (sectionOf(s) == sectionOf(section)) continue;
        for (const QString &k : keys) {
            FUZZ_CHECK(p.contains(s, k) == original.contains(s, k));
            FUZZ_CHECK(p.value(s, k, longDefault()) == original.value(s, k, longDefault()));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Profile p = Profile::fromBytes(bytes);

    QStringList sections, keys;
    collectNames(bytes, sections, keys);
    checkLookups(p, sections, keys);

    // The same file written back with CR LF line ends reads the same.
    const Profile again = Profile::fromBytes(linefile::joinLines(linefile::splitLines(bytes)));
    for (const QString &s : sections)
        for (const QString &k : keys)
            FUZZ_CHECK(again.value(s, k, longDefault()) == p.value(s, k, longDefault()));

    checkFreshSection(bytes, p, sections, keys);
    return 0;
}
