#include "archiver/store/language.h"

#include "common/files/program_folder.h"
#include "common/text/texts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The French file as the build shipped it, read once from the program's resources.
const Profile &builtIn()
{
    static const Profile profile = [] {
        QFile f(QStringLiteral(":/talvo5/francais.lng"));
        return f.open(QIODevice::ReadOnly) ? Profile::fromBytes(f.readAll()) : Profile();
    }();
    return profile;
}

// Answers for the programs' own texts from the language's section [Textes].
class TextsTranslator : public QTranslator
{
public:
    explicit TextsTranslator(const Language &language) : language_(language) {}

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, texts::kSection) != 0) return QString();
        return language_.ownText(QString::fromLatin1(sourceText));
    }
    bool isEmpty() const override { return false; }

private:
    const Language &language_;
};

} // namespace

Language::Language(const QString &file, const QString &shippedFolder) : shippedFolder_(shippedFolder)
{
    setFile(file);
}

Language::~Language()
{
    if (textsTranslator_) QCoreApplication::removeTranslator(textsTranslator_.get());
    if (qtTranslator_) QCoreApplication::removeTranslator(qtTranslator_.get());
}

void Language::setFile(const QString &file)
{
    file_ = file;
    profile_ = Profile();
    loadedSize_ = -1;
    loadedModified_ = QDateTime();
    shipped_.reset();
}

void Language::setShippedFolder(const QString &folder)
{
    shippedFolder_ = folder;
    shipped_.reset();
}

const Profile &Language::current() const
{
    if (file_.isEmpty()) return profile_;
    const QFileInfo info(file_);
    const qint64 size = info.exists() ? info.size() : -2;
    const QDateTime modified = info.lastModified();
    if (size != loadedSize_ || modified != loadedModified_) {
        // Marked as read first: a file that cannot be read says so in a text looked up here.
        loadedSize_ = size;
        loadedModified_ = modified;
        profile_ = Profile();
        Profile loaded = Profile::fromFile(file_);
        profile_ = std::move(loaded);
    }
    return profile_;
}

const Profile &Language::shipped() const
{
    if (!shipped_) {
        shipped_ = std::make_unique<Profile>();
        if (!shippedFolder_.isEmpty() && !file_.isEmpty()) {
            const QString path = files::findExisting(shippedFolder_, QFileInfo(file_).fileName());
            if (QFileInfo(path).isFile() && QFileInfo(path).canonicalFilePath() != QFileInfo(file_).canonicalFilePath())
                *shipped_ = Profile::fromFile(path);
        }
    }
    return *shipped_;
}

QString Language::lookup(const QString &section, const QString &key, bool withBuiltIn) const
{
    for (const Profile *p : {&current(), &shipped(), withBuiltIn ? &builtIn() : nullptr}) {
        if (!p) continue;
        const QString value = p->value(section, key, QString());
        if (!value.isEmpty()) return value;
    }
    return QString();
}

QString Language::LireMessage(int number) const { return lookup(QStringLiteral("MSG"), QString::number(number), true); }

QString Language::text(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString value = lookup(section, key, true);
    return value.isEmpty() ? defaultValue : value;
}

// The built-in file is not asked: the French texts of the code are its own.
QString Language::ownText(const QString &key) const { return lookup(QLatin1String(texts::kSection), key, false); }

QString Language::locale() const
{
    const QString value = lookup(QStringLiteral("Langue"), QStringLiteral("Locale"), false);
    return value.isEmpty() ? QStringLiteral("fr") : value;
}

void Language::installTexts()
{
    if (!QCoreApplication::instance() || textsTranslator_) return;
    textsTranslator_ = std::make_unique<TextsTranslator>(*this);
    QCoreApplication::installTranslator(textsTranslator_.get());
}

void Language::install()
{
    if (!QCoreApplication::instance()) return;
    installTexts();
    // Qt's translations are loaded again only when the locale changed.
    const QString wanted = locale();
    if (wanted == installedLocale_) return;
    installedLocale_ = wanted;
    if (qtTranslator_) QCoreApplication::removeTranslator(qtTranslator_.get());
    qtTranslator_ = std::make_unique<QTranslator>();
    if (qtTranslator_->load(QLocale(wanted), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator_.get());
    else
        qtTranslator_.reset(); // a language Qt does not translate into speaks Qt's own English
}
