// The RTF library on a large document, timed by bench_rtf.sh:
//
//   bench_rtf make FILE MB   writes about MB megabytes of RTF: paragraphs of French-like text with
//                            bold and italic runs, a few colours and fonts, accents as \'hh
//   bench_rtf read FILE      reads FILE into a document; prints the length of its plain text
//   bench_rtf save IN OUT    reads IN, then writes the document as RTF to OUT atomically; prints
//                            "read_us N", "write_us N" (the RTF made) and "save_us N" (the RTF
//                            made and saved)

#include "common/files/atomic_file.h"
#include "common/richtext/rtf.h"
#include "common/text/cp1252.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <random>
#include <string>

namespace {

const char *const kWords[] = {
    "le", "la", "les", "de", "des", "du", "et", "en", "un", "une", "pour", "dans", "sur", "avec",
    "maison", "jardin", "rivière", "été", "hiver", "forêt", "château", "père", "mère", "enfant",
    "déjà", "très", "où", "là", "voilà", "garçon", "français", "Noël", "œuvre", "cœur", "naïf",
    "fenêtre", "côte", "île", "bientôt", "matin", "soir", "lumière", "chemin", "village", "église",
    "école", "musée", "théâtre", "répondit", "regardait", "pensée", "après", "près", "à", "ça",
    "était", "avait", "sera", "longtemps", "toujours", "jamais", "doucement", "élève", "août",
    "hôtel", "bâtiment", "crème", "pâtisserie", "où", "cafetière", "Ève", "Émile", "Zoé"};

std::string rtfWord(const char *utf8)
{
    const QByteArray bytes = cp1252::encode(QString::fromUtf8(utf8)).value_or(QByteArray("?"));
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out += c;
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", b);
            out += hex;
        }
    }
    return out;
}

int make(const QString &path, double megabytes)
{
    std::mt19937 rng(1);
    const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::vector<std::string> words;
    for (const char *w : kWords)
        words.push_back(rtfWord(w));
    const std::size_t target = std::size_t(megabytes * 1024 * 1024);
    std::string rtf;
    rtf.reserve(target + 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
           "{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fmodern\\fcharset0 Courier New;}}\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green96\\blue160;"
           "\\red0\\green128\\blue0;}\n{\\info{\\title Document de mesure}}\\viewkind4\\uc1\n";
    int paragraph = 0;
    while (rtf.size() < target) {
        if (paragraph++ % 25 == 0) {
            rtf += "\\pard\\qc\\b\\f1\\fs32 Chapitre " + std::to_string(paragraph / 25 + 1) + "\\b0\\f0\\fs24\\par\n";
        }
        rtf += pick(3) == 0 ? "\\pard\\qj\\f0\\fs24 " : "\\pard\\f0\\fs24 ";
        const int n = 40 + pick(80);
        bool capital = true;
        for (int i = 0; i < n; ++i) {
            std::string w = words[std::size_t(pick(int(words.size())))];
            if (capital && w[0] >= 'a' && w[0] <= 'z') w[0] = char(w[0] - 32);
            capital = false;
            const int style = pick(100);
            if (style < 6) rtf += "{\\b " + w + "}";
            else if (style < 10) rtf += "{\\i " + w + " " + words[std::size_t(pick(int(words.size())))] + "}";
            else if (style < 12) rtf += "\\cf" + std::to_string(2 + pick(3)) + " " + w + "\\cf0 ";
            else if (style < 13) rtf += "{\\f2\\fs20 " + w + "}";
            else if (style < 14) rtf += "\\ul " + w + "\\ulnone ";
            else rtf += w;
            if (i + 1 < n) {
                const int punct = pick(20);
                rtf += punct == 0 ? ", " : punct == 1 ? ". " : " ";
                capital = punct == 1;
            }
        }
        rtf += ".\\par\n";
    }
    rtf += "}\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf.data(), qint64(rtf.size())) != qint64(rtf.size())) {
        std::fprintf(stderr, "bench_rtf: cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%zu bytes, %d paragraphs\n", rtf.size(), paragraph);
    return 0;
}

bool load(const QString &path, QTextDocument *doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_rtf: cannot read %s\n", qPrintable(path));
        return false;
    }
    richtext::read(file.readAll(), doc);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == "make" && args.size() == 3) return make(args[1], args[2].toDouble());
    if (mode == "read" && args.size() == 2) {
        QTextDocument doc;
        if (!load(args[1], &doc)) return 1;
        std::printf("%lld\n", static_cast<long long>(doc.toPlainText().size()));
        return 0;
    }
    if (mode == "save" && args.size() == 3) {
        QTextDocument doc;
        QElapsedTimer clock;
        clock.start();
        if (!load(args[1], &doc)) return 1;
        const qint64 readNs = clock.nsecsElapsed();
        clock.restart();
        const QByteArray rtf = richtext::write(doc);
        const qint64 writeNs = clock.nsecsElapsed();
        QString error;
        if (!files::saveAtomically(args[2], rtf, &error)) {
            std::fprintf(stderr, "bench_rtf: %s\n", qPrintable(error));
            return 1;
        }
        const qint64 saveNs = clock.nsecsElapsed();
        std::printf("read_us %lld\nwrite_us %lld\nsave_us %lld\nbytes %lld\n", readNs / 1000,
                    writeNs / 1000, saveNs / 1000, static_cast<long long>(rtf.size()));
        return 0;
    }
    std::fprintf(stderr, "usage: bench_rtf make FILE MB | read FILE | save IN OUT\n");
    return 2;
}
