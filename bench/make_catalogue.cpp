// make_catalogue DIR COUNT [SEED]
//
// Writes a synthetic catalogue of COUNT records into the program folder DIR: the 36 letter files
// 0.MFI … Z.MFI, the category list TALVO.CAT and an empty support list TALVO.SUP, nothing else.
// The records look like a real user's: French words with accents in Windows-1252 bytes, upper-case
// keys spread over the letters as French titles are, dates dd-mm-yyyy, 70 % without support,
// notes of varied length, targets that are file paths, web addresses or mail addresses, lines from
// about 40 to 256 characters, CR LF line ends. About 14 % of the records hold the word ROSE (in
// varied case) in their key, note or target; a few others hold near misses such as ROSÉ or ROSIER
// that a search for ROSE must not find. Each letter file is written sorted on the upper-cased
// bytes of its lines. The same SEED always gives the same bytes.
//
// A summary goes to stderr; the last line is machine-readable:
//   records=N bytes=N rose=N biggest=L:N

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace
{

// ---------------------------------------------------------------------------------------------
// Windows-1252

// Converts the UTF-8 literals of this file to Windows-1252 bytes. Every character used here has a
// byte in the code page; anything else is a mistake in the word lists and stops the program.
std::string to1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        int len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            cp = char32_t(c & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            len = 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
            cp = char32_t(c & 0x0F) << 12 |
                 char32_t(static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6 |
                 (static_cast<unsigned char>(utf8[i + 2]) & 0x3F);
            len = 3;
        } else {
            std::fprintf(stderr, "make_catalogue: bad UTF-8 in word list\n");
            std::exit(3);
        }
        i += size_t(len);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        switch (cp) {
        case 0x20AC:
            out.push_back('\x80');
            break; // €
        case 0x0152:
            out.push_back('\x8C');
            break; // Œ
        case 0x0153:
            out.push_back('\x9C');
            break; // œ
        case 0x0178:
            out.push_back('\x9F');
            break; // Ÿ
        case 0x2019:
            out.push_back('\x92');
            break; // ’
        default:
            std::fprintf(stderr, "make_catalogue: U+%04X has no Windows-1252 byte\n", unsigned(cp));
            std::exit(3);
        }
    }
    return out;
}

// Upper and lower case of the code page's letters.
struct CaseTables {
    std::array<unsigned char, 256> upper{}, lower{};
    CaseTables()
    {
        for (int b = 0; b < 256; ++b)
            upper[b] = lower[b] = static_cast<unsigned char>(b);
        auto pair = [&](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int b = 'A'; b <= 'Z'; ++b)
            pair(b, b + 32);
        for (int b = 0xC0; b <= 0xDE; ++b)
            if (b != 0xD7) pair(b, b + 32);
        pair(0x8A, 0x9A); // Š š
        pair(0x8C, 0x9C); // Œ œ
        pair(0x8E, 0x9E); // Ž ž
        pair(0x9F, 0xFF); // Ÿ ÿ
    }
};
const CaseTables kCase;

std::string lowered(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(kCase.lower[static_cast<unsigned char>(c)]);
    return s;
}

// "ÉTÉ INDIEN" -> "Été Indien"
std::string titled(std::string s)
{
    bool start = true;
    for (char &c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (!start) c = static_cast<char>(kCase.lower[b]);
        start = !(kCase.lower[b] != kCase.upper[b] || (b >= '0' && b <= '9'));
    }
    return s;
}

// Case-insensitive test for the ASCII word ROSE (no other byte of the code page folds to one of
// its letters).
bool holdsRose(std::string_view s)
{
    for (size_t i = 0; i + 4 <= s.size(); ++i)
        if ((s[i] | 0x20) == 'r' && (s[i + 1] | 0x20) == 'o' && (s[i + 2] | 0x20) == 's' &&
            (s[i + 3] | 0x20) == 'e')
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Random numbers that are the same on every platform and library.

struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    uint32_t below(uint32_t n) { return uint32_t((uint64_t(uint32_t(next() >> 32)) * n) >> 32); }
    int between(int lo, int hi) { return lo + int(below(uint32_t(hi - lo + 1))); }
    // True with probability per/1000.
    bool permille(uint32_t per) { return below(1000) < per; }
    template <typename V> const auto &pick(const V &v) { return v[below(uint32_t(v.size()))]; }
};

// ---------------------------------------------------------------------------------------------
// Word lists (UTF-8 here, converted once at start-up). None of them may hold ROSE except the
// lists made for it; the start-up check enforces that.

using Words = std::vector<std::string>;

Words load(std::initializer_list<const char *> list)
{
    Words w;
    w.reserve(list.size());
    for (const char *s : list)
        w.push_back(to1252(s));
    return w;
}

// First words of keys, by letter; every one starts with the plain capital of its list.
const char *const kStartWords[26][16] = {
    {"ALBUM", "ANNIVERSAIRE", "ASSURANCE", "ADRESSE", "ARTICLE", "AGENDA", "ATELIER", "ACHAT",
     "ARCHIVES", "AVIS", "ANNÉE", "AMIS", "APPARTEMENT", "ÂGE D'OR", "AÏEUX", "AUTOMNE"},
    {"BANQUE", "BULLETIN", "BIBLIOTHÈQUE", "BAPTÊME", "BILAN", "BROCHURE", "BUDGET", "BALADE",
     "BATEAU", "BÉBÉ", "BRICOLAGE", "BOULANGERIE", "BREVET", "BORDEREAU", "BOÎTE", "BŒUF"},
    {"CONTRAT", "COURRIER", "CARTE", "CHANSON", "CONCERT", "COMPTE", "CUISINE", "CERTIFICAT",
     "CHÂTEAU", "CÔTE", "CRÈCHE", "CAHIER", "CATALOGUE", "COURS", "CŒUR", "CLASSEUR"},
    {"DÉCLARATION", "DOSSIER", "DEVIS", "DIPLÔME", "DE", "DU", "DES", "DOCUMENT", "DÎNER",
     "DÉMÉNAGEMENT", "DISQUE", "DESSIN", "DÉPENSES", "DANSE", "DIMANCHE", "DÉCEMBRE"},
    {"ÉCOLE", "EXPOSITION", "ÉLECTRICITÉ", "ENFANTS", "ÉTÉ", "EXTRAIT", "ENQUÊTE", "ÉPICERIE",
     "EMPLOI", "ENTRETIEN", "ÉGLISE", "ÉTUDES", "EXAMEN", "ENVOI", "ÉTAT DES LIEUX", "ESSAI"},
    {"FACTURE", "FAMILLE", "FÊTE", "FICHE", "FILM", "FORÊT", "FORMULAIRE", "FRANCE", "FÉVRIER",
     "FAÇADE", "FOURNISSEUR", "FLÛTE", "FONDS", "FERME", "FOOTBALL", "FRÈRE"},
    {"GARANTIE", "GÂTEAU", "GUIDE", "GRAND-MÈRE", "GARAGE", "GYMNASTIQUE", "GÉNÉALOGIE", "GRÈVE",
     "GARDE", "GAZ", "GRENIER", "GUITARE", "GÎTE", "GOÛTER", "GRAVURE", "GÉOGRAPHIE"},
    {"HISTOIRE", "HÔPITAL", "HÔTEL", "HIVER", "HORAIRES", "HABITATION", "HÉRITAGE", "HYMNE",
     "HUISSIER", "HAÏTI", "HERBIER", "HARMONIE", "HAUTE-SAVOIE", "HONORAIRES", "HÉBERGEMENT",
     "HYPOTHÈQUE"},
    {"IMPÔTS", "INVITATION", "IMAGES", "INVENTAIRE", "INSCRIPTION", "ÎLE", "INTERNET", "IDÉES",
     "ITINÉRAIRE", "ITALIE", "INSTRUCTIONS", "IMMEUBLE", "INDEMNITÉ", "INFORMATIQUE",
     "INTERVENTION", "IRLANDE"},
    {"JARDIN", "JOURNAL", "JEUX", "JUILLET", "JANVIER", "JUIN", "JOUR DE L'AN", "JUGEMENT",
     "JOURNÉE", "JEUNESSE", "JAZZ", "JUMEAUX", "JURA", "JOAILLERIE", "JUDO", "JOUETS"},
    {"KERMESSE", "KINÉSITHÉRAPIE", "KARATÉ", "KIOSQUE", "KILOMÈTRES", "KAYAK", "KENYA", "KIT",
     "KÉFIR", "KIWI", "KARAOKÉ", "KOALA", "KIMONO", "KERMESSE", "KARTING", "KIOSQUE"},
    {"LA", "LE", "LES", "L'", "LETTRE", "LIVRE", "LOYER", "LISTE", "LOCATION", "LYCÉE", "LÉGENDE",
     "LOISIRS", "LUNDI", "LIVRET", "LECTURE", "LOGICIEL"},
    {"MAISON", "MARIAGE", "MÉDECIN", "MUSIQUE", "MAIRIE", "MUTUELLE", "MER", "MONTAGNE", "MÈRE",
     "MARCHÉ", "MÉTÉO", "MUSÉE", "MOTO", "MANUEL", "MÉMOIRE", "MAÏS"},
    {"NOËL", "NOTES", "NAISSANCE", "NOTAIRE", "NATATION", "NORMANDIE", "NOUVELLES", "NUMÉROS",
     "NEVEU", "NOVEMBRE", "NAVIGATION", "NÉGOCIATION", "NUIT", "NANTES", "NOCES", "NAÏVE"},
    {"ORDONNANCE", "ŒUVRES", "OPÉRA", "OUTILS", "OFFRE", "ORCHESTRE", "OCTOBRE", "OISEAUX",
     "ORIGINE", "ORDINATEUR", "OPTICIEN", "OLIVIER", "ŒUF", "OUVERTURE", "ORGANIGRAMME",
     "OBSÈQUES"},
    {"PHOTOS", "PLAN", "PROJET", "PERMIS", "PÂQUES", "PÈRE", "PISCINE", "PHARMACIE", "POÈMES",
     "PAIE", "PROGRAMME", "PEINTURE", "PIQÛRE", "PRÊT", "PETIT DÉJEUNER", "PRINTEMPS"},
    {"QUITTANCE", "QUESTIONNAIRE", "QUARTIER", "QUÉBEC", "QUINCAILLERIE", "QUOTIDIEN", "QUÊTE",
     "QUATUOR", "QUILLES", "QUAI", "QUALITÉ", "QUIZ", "QUINZAINE", "QUICHE", "QUITTANCE",
     "QUESTIONS"},
    {"RECETTE", "RELEVÉ", "RÉUNION", "RAPPORT", "RANDONNÉE", "RÉSERVATION", "REÇU", "RÉPARATION",
     "RETRAITE", "RÉCITAL", "RENTRÉE", "RÉSILIATION", "ROMAN", "RÊVE", "RIVIÈRE", "RADIOGRAPHIE"},
    {"SOUVENIRS", "SANTÉ", "SALAIRE", "STATUTS", "SÉJOUR", "SPECTACLE", "SCOLARITÉ", "SÉCURITÉ",
     "SOCIALE", "STAGE", "SORTIE", "SŒUR", "SEPTEMBRE", "SKI", "SAMEDI", "SINISTRE"},
    {"TÉLÉPHONE", "TRAVAUX", "TAXE", "THÉÂTRE", "TRAIN", "TENNIS", "TESTAMENT", "TRÉSORERIE",
     "TOURNOI", "TABLEAU", "TARIFS", "TRIMESTRE", "TÉLÉVISION", "TRAITEMENT", "TRAVERSÉE",
     "TÂCHES"},
    {"URGENCES", "UNIVERSITÉ", "USINE", "UNION", "UTILITAIRE", "URBANISME", "UKULÉLÉ", "UNIFORME",
     "URSSAF", "ULTIMATUM", "UN", "UNE", "UNITÉ", "USAGE", "USTENSILES", "UTOPIE"},
    {"VACANCES", "VOITURE", "VOYAGE", "VIDÉO", "VERSEMENT", "VISITE", "VÉLO", "VENTE", "VILLAGE",
     "VIGNE", "VENDREDI", "VÉTÉRINAIRE", "VACCINATION", "VŒUX", "VERGER", "VITRAIL"},
    {"WEEK-END", "WAGON", "WEB", "WIKI", "WESTERN", "WATERPOLO", "WALLONIE", "WHISKY", "WIFI",
     "WEEK-END", "WAGON", "WEB", "WIKI", "WESTERN", "WATT", "WAPITI"},
    {"XYLOPHONE", "XÉRÈS", "XXE SIÈCLE", "XÉNOPHON", "XAVIER", "XÉROGRAPHIE", "XYLOGRAPHIE",
     "XV DE FRANCE", "XYLOPHONE", "XÉRÈS", "XAVIER", "XXE SIÈCLE", "XÉNOPHON", "XAVIER",
     "XÉROGRAPHIE", "XYLOGRAPHIE"},
    {"YAOURT", "YOGA", "YACHT", "YVELINES", "YEUX", "YONNE", "YOUPALA", "YOYO", "YAOURT", "YOGA",
     "YACHT", "YVELINES", "YEUX", "YONNE", "YÉTI", "YOLE"},
    {"ZOO", "ZONE", "ZÈBRE", "ZUMBA", "ZÉRO DÉCHET", "ZIGZAG", "ZODIAQUE", "ZINC", "ZÉNITH",
     "ZOOLOGIE", "ZOO", "ZONE", "ZÈBRE", "ZÉPHYR", "ZESTE", "ZIZANIE"},
};

// Share of keys per first character, in hundredths of a percent: digits rare, letters as the
// first letters of French titles.
constexpr int kLetterWeight[36] = {
    3,   50,  45,  10,  8,   8,   7,   6,   6,   7,                 // 0–9
    620, 450, 900, 650, 550, 450, 300, 200, 200, 200, 40, 750, 600, // A–M
    250, 150, 800, 60,  450, 650, 400, 120, 350, 50,  20, 30,  30}; // N–Z

const char kLetters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

struct Vocabulary {
    Words start[26];
    Words nouns, adjectives, links, places, people, noteWords, noteOpeners, families, firstNames,
        users, folders, mailHosts, webHosts, webPaths, supports, roseKey, roseNote, roseFile,
        roseHost, roseMail, nearMisses;
    std::string phone;
};

Vocabulary makeVocabulary()
{
    Vocabulary v;
    // A key cannot begin with an accented capital: users type ECOLE, OEUVRES for ÉCOLE, ŒUVRES.
    for (int l = 0; l < 26; ++l)
        for (const char *w : kStartWords[l]) {
            std::string b = to1252(w);
            if (static_cast<unsigned char>(b[0]) == 0x8C)
                b.replace(0, 1, "OE");
            else if (static_cast<unsigned char>(b[0]) >= 0xC0)
                b[0] = char('A' + l);
            if (b[0] != 'A' + l) {
                std::fprintf(stderr, "make_catalogue: start word %s is not under %c\n", w, 'A' + l);
                std::exit(3);
            }
            v.start[l].push_back(b);
        }
    v.nouns =
        load({"MAISON",      "JARDIN",    "VACANCES",   "ÉTÉ",         "HIVER",       "NOËL",
              "FÊTE",        "ÉCOLE",     "CRÈCHE",     "FAÇADE",      "CHÂTEAU",     "FORÊT",
              "RIVIÈRE",     "MÈRE",      "PÈRE",       "FRÈRE",       "SŒUR",        "CŒUR",
              "ŒUVRE",       "HÔPITAL",   "CÔTE",       "PÂQUES",      "GÂTEAU",      "TÉLÉPHONE",
              "ÉLECTRICITÉ", "MÉDECIN",   "PHARMACIE",  "IMPÔTS",      "DÉCLARATION", "MAÏS",
              "CANOË",       "ÎLE",       "DÎNER",      "FLÛTE",       "AOÛT",        "MARIAGE",
              "BAPTÊME",     "CONCERT",   "CHORALE",    "PIANO",       "VIOLON",      "MER",
              "MONTAGNE",    "LAC",       "PLAGE",      "CAMPING",     "RANDONNÉE",   "VÉLO",
              "VOITURE",     "TRAIN",     "AVION",      "BATEAU",      "CUISINE",     "SALON",
              "CHAMBRE",     "GRENIER",   "CAVE",       "TOITURE",     "CHAUFFAGE",   "FENÊTRES",
              "ASSURANCE",   "BANQUE",    "CRÉDIT",     "ÉPARGNE",     "RETRAITE",    "SALAIRE",
              "CONTRAT",     "FACTURE",   "DEVIS",      "RELEVÉ",      "COMPTE",      "BILAN",
              "RÉUNION",     "ASSEMBLÉE", "CONSEIL",    "ASSOCIATION", "CLUB",        "ÉQUIPE",
              "MATCH",       "TOURNOI",   "SAISON",     "PROGRAMME",   "CALENDRIER",  "PLANNING",
              "RECETTE",     "TARTE",     "CRÊPES",     "SOUPE",       "POULET",      "PÂTÉ",
              "FROMAGE",     "VIN",       "CIDRE",      "CAFÉ",        "THÉ",         "CHOCOLAT",
              "LETTRE",      "CARTE",     "PHOTO",      "ALBUM",       "VIDÉO",       "FILM",
              "CHANSON",     "DISQUE",    "LIVRE",      "ROMAN",       "POÈME",       "CONTE",
              "HISTOIRE",    "SOUVENIR",  "VOYAGE",     "SÉJOUR",      "EXCURSION",   "VISITE",
              "GÎTE",        "HÔTEL",     "AUBERGE",    "REFUGE",      "CHALET",      "VILLA",
              "FERME",       "MOULIN",    "PONT",       "PORT",        "PHARE",       "ÉGLISE",
              "CATHÉDRALE",  "ABBAYE",    "MUSÉE",      "EXPOSITION",  "SPECTACLE",   "THÉÂTRE",
              "OPÉRA",       "BALLET",    "FESTIVAL",   "KERMESSE",    "BROCANTE",    "MARCHÉ",
              "BŒUF",        "ŒUF",       "VŒU",        "NŒUD",        "ŒIL",         "ÉLÈVE",
              "PROFESSEUR",  "DIRECTEUR", "SECRÉTAIRE", "TRÉSORIER",   "PRÉSIDENT",   "VOISIN",
              "COUSIN",      "NEVEU",     "NIÈCE",      "ONCLE",       "TANTE",       "PARRAIN",
              "MARRAINE",    "BÉBÉ",      "ENFANT",     "ADOLESCENT",  "ÉTUDIANT",    "STAGIAIRE"});
    v.adjectives = load(
        {"ANCIEN",   "NOUVEAU",   "PETIT",      "GRAND",     "BEAU",     "VIEILLE",   "PREMIÈRE",
         "DERNIÈRE", "ÉLÉGANT",   "SPÉCIAL",    "GÉNÉRAL",   "RÉGIONAL", "FRANÇAIS",  "ITALIEN",
         "ESPAGNOL", "ANNUEL",    "MENSUEL",    "COMPLET",   "DÉTAILLÉ", "RÉSUMÉ",    "PRÉCIEUX",
         "GÉNIAL",   "DRÔLE",     "SÛR",        "BRÛLÉ",     "NAÏF",     "AMBIGUË",   "HÂTIF",
         "FRAÎCHE",  "RÉUSSI",    "PROVISOIRE", "DÉFINITIF", "SIGNÉ",    "PAYÉ",      "REÇU",
         "URGENT",   "IMPORTANT", "PERSONNEL",  "FAMILIAL",  "OFFICIEL", "NUMÉRIQUE", "SCANNÉ",
         "IMPRIMÉ",  "ORIGINAL",  "COPIE",      "BLEU",      "VERT",     "JAUNE",     "ROUGE",
         "BLANC",    "NOIR",      "DORÉ",       "ARGENTÉ",   "CRÈME",    "MAUVE"});
    v.links = load({"DE", "DU", "DES", "LA", "LE", "LES", "ET", "EN", "POUR", "AVEC", "SUR", "À",
                    "AU", "AUX", "CHEZ", "SANS", "VERS", "D'", "L'"});
    v.places =
        load({"LYON",     "PARIS",    "MARSEILLE", "BORDEAUX",    "NANTES",        "LILLE",
              "TOULOUSE", "NICE",     "BREST",     "GRENOBLE",    "ANNECY",        "BRETAGNE",
              "PROVENCE", "ALSACE",   "NORMANDIE", "CÔTE D'AZUR", "SAINT-ÉTIENNE", "BÉZIERS",
              "NÎMES",    "ORLÉANS",  "CHÂLONS",   "VALENCE",     "ÉVIAN",         "ÉTRETAT",
              "CHAMONIX", "AVIGNON",  "ARLES",     "COLMAR",      "QUIMPER",       "SAINT-MALO",
              "VÉZELAY",  "GUÉRANDE", "MÂCON",     "BEAUNE",      "DIJON",         "PÉRIGUEUX",
              "SÈTE",     "AUXERRE",  "CAEN",      "ROUEN"});
    v.people = load({"MARIE",    "JEAN",    "PIERRE",   "HÉLÈNE",  "FRANÇOIS", "FRANÇOISE",
                     "JÉRÔME",   "GÉRARD",  "CÉLINE",   "MICHÈLE", "RENÉ",     "ANDRÉ",
                     "NOÉMIE",   "CHLOÉ",   "ZOÉ",      "LÉA",     "THÉO",     "LUCAS",
                     "MAËLLE",   "JOËL",    "GAËL",     "ANAÏS",   "LOÏC",     "HÉLOÏSE",
                     "BÉATRICE", "CÉCILE",  "EMMANUEL", "MATHIEU", "SYLVIE",   "MONIQUE",
                     "PASCAL",   "DANIÈLE", "JACQUES",  "BERNARD", "NICOLE",   "AGNÈS"});
    v.families =
        load({"MARTIN",   "BERNARD", "DUBOIS",   "THOMAS", "ROBERT",    "RICHARD",  "PETIT",
              "DURAND",   "LEROY",   "MOREAU",   "SIMON",  "LAURENT",   "LEFÈVRE",  "MICHEL",
              "GARCIA",   "DAVID",   "BERTRAND", "ROUX",   "VINCENT",   "FOURNIER", "MOREL",
              "GIRARD",   "ANDRÉ",   "MERCIER",  "DUPONT", "LAMBERT",   "BONNET",   "FRANÇOIS",
              "MARTINEZ", "LEGRAND", "GARNIER",  "FAURE",  "CHEVALIER", "FRANÇOIS", "MÉNARD",
              "BÉRANGER", "CÔTÉ",    "GÉRARD",   "HÉBERT", "PELLETIER"});
    v.noteWords = load({"À",         "RANGER",      "DANS",
                        "LE",        "CLASSEUR",    "BLEU",
                        "VOIR",      "AUSSI",       "ORIGINAL",
                        "CHEZ",      "LE",          "NOTAIRE",
                        "COPIE",     "ENVOYÉE",     "PAR",
                        "COURRIER",  "RÉPONSE",     "ATTENDUE",
                        "AVANT",     "FIN",         "DU",
                        "MOIS",      "PAYÉ",        "CHÈQUE",
                        "VIREMENT",  "REÇU",        "ÉCHÉANCE",
                        "PROCHAINE", "RENOUVELER",  "CHAQUE",
                        "ANNÉE",     "PHOTOS",      "PRISES",
                        "PENDANT",   "LES",         "VACANCES",
                        "AVEC",      "LA",          "FAMILLE",
                        "ET",        "LES",         "AMIS",
                        "TRÈS",      "BELLE",       "JOURNÉE",
                        "SOLEIL",    "PLUIE",       "NEIGE",
                        "À",         "GARDER",      "PRÉCIEUSEMENT",
                        "NE",        "PAS",         "JETER",
                        "DOUBLE",    "SUR",         "LE",
                        "DISQUE",    "DUR",         "SAUVEGARDE",
                        "FAITE",     "LE",          "MÊME",
                        "JOUR",      "IMPRIMÉ",     "EN",
                        "DEUX",      "EXEMPLAIRES", "DEMANDER",
                        "À",         "MAMAN",       "PAPA",
                        "QUI",       "A",           "PRÊTÉ",
                        "LIVRE",     "RENDU",       "ÉLÉMENTS",
                        "MANQUANTS", "PIÈCES",      "JOINTES",
                        "DOSSIER",   "COMPLET",     "INCOMPLET",
                        "RELANCÉ",   "TÉLÉPHONÉ",   "LUNDI",
                        "MARDI",     "MERCREDI",    "JEUDI",
                        "VENDREDI",  "SAMEDI",      "DIMANCHE",
                        "MATIN",     "SOIR",        "APRÈS-MIDI",
                        "CÔTÉ",      "JARDIN",      "FAÇADE",
                        "NORD",      "SUD",         "EST",
                        "OUEST",     "PREMIER",     "ÉTAGE",
                        "GRENIER",   "BUREAU",      "ŒUVRE",
                        "COMPLÈTE",  "INÉDITE",     "ÉDITION",
                        "ILLUSTRÉE", "NUMÉRISÉE",   "SCANNÉE",
                        "EN",        "COULEUR",     "NOIR",
                        "ET",        "BLANC",       "QUALITÉ",
                        "MOYENNE",   "EXCELLENTE",  "ENREGISTREMENT",
                        "PUBLIC",    "STUDIO",      "COULISSES",
                        "PROGRAMME", "DÉTAILLÉ",    "TARIF",
                        "RÉDUIT",    "GRATUIT",     "NAÏVE",
                        "HÉROÏQUE",  "NOËL",        "CANOË",
                        "MAÏS",      "CŒUR",        "SŒUR",
                        "BŒUF",      "VŒUX",        "ÂGE",
                        "DÛ",        "SÛREMENT",    "FLÛTE",
                        "GOÛT",      "COÛT",        "AOÛT",
                        "FORÊT",     "TÊTE",        "FÊTE",
                        "OÙ",        "DÉJÀ",        "VOILÀ",
                        "LÀ-BAS",    "AÏE",         "ÇA"});
    v.noteOpeners =
        load({"RÉF.", "N°", "VOIR", "NB :", "À FAIRE :", "ATTENTION :", "RAPPEL :", "CF.",
              "IMPORTANT :", "SUITE :", "PS :", "DOSSIER"});
    v.firstNames = load({"marie",  "jean",     "pierre",  "hélène",  "françois", "françoise",
                         "jérôme", "gérard",   "céline",  "michèle", "rené",     "andré",
                         "noémie", "chloé",    "zoé",     "léa",     "théo",     "lucas",
                         "maëlle", "joël",     "gaël",    "anaïs",   "loïc",     "béatrice",
                         "cécile", "emmanuel", "mathieu", "sylvie",  "monique",  "pascal"});
    v.users = load({"marie", "jean", "pierre", "helene", "francois", "famille", "papa", "maman",
                    "cecile", "luc", "nadia", "paul", "sophie", "thierry", "odile", "gilles"});
    v.folders = load({"Documents",
                      "Images",
                      "Musique",
                      "Vidéos",
                      "Téléchargements",
                      "Bureau",
                      "Documents/Factures",
                      "Documents/Impôts",
                      "Documents/Santé",
                      "Documents/Banque",
                      "Documents/Courrier",
                      "Images/Vacances",
                      "Images/Famille",
                      "Images/Scans",
                      "Musique/Classique",
                      "Musique/Chanson",
                      "Documents/Recettes",
                      "Documents/École",
                      "Documents/Travail",
                      "Documents/Maison/Travaux",
                      "Documents/Associations",
                      "Archives",
                      "Documents/À classer",
                      "Images/Été à Nîmes",
                      "Bureau/à trier"});
    v.mailHosts = load({"free.fr", "orange.fr", "laposte.net", "gmail.com", "wanadoo.fr", "sfr.fr",
                        "yahoo.fr", "exemple.org", "mairie-exemple.fr", "club.fr"});
    v.webHosts =
        load({"www.service-public.fr", "www.impots.gouv.fr", "www.ameli.fr", "fr.wikipedia.org",
              "www.meteofrance.com", "www.marmiton.org", "www.sncf-connect.com",
              "www.ville-exemple.fr", "www.legifrance.gouv.fr", "www.bnf.fr", "www.lemonde.fr",
              "www.leboncoin.fr", "www.cuisine-az.com", "www.journal-du-jardin.fr",
              "www.club-photo-exemple.fr", "www.association-exemple.org", "www.musee-exemple.fr"});
    v.webPaths = load({"", "index.html", "accueil", "particuliers/vosdroits", "espace-perso",
                       "recettes/tarte-aux-pommes.aspx", "wiki/Provence", "actualites/2019",
                       "documents/formulaire.pdf", "agenda?annee=2021", "contact.php",
                       "galerie/photos#ete", "boutique/article-1234.html"});
    v.supports = load({"CD PHOTOS", "DISQUE USB", "DVD SAUVEGARDE", "CLÉ USB", "DISQUE EXTERNE",
                       "CD MUSIQUE", "DISQUETTE", "ARCHIVES BUREAU", "CARTE SD", "NAS SALON",
                       "CLASSEUR", "BOÎTE À CHAUSSURES", "CD-ROM", "DVD VIDÉO", "ZIP",
                       "DISQUE DUR PORTABLE", "TIROIR COMMODE", "ÉTAGÈRE GRENIER"});
    v.roseKey = load({"ROSE", "ROSES", "LA ROSE DES VENTS", "ROSE DES SABLES", "LA VIE EN ROSE",
                      "ROSELINE", "ROSE-MARIE", "LAURIER-ROSE", "BOIS DE ROSE", "ROSERAIE",
                      "ROSETTE", "ROSE TRÉMIÈRE", "ROSES ANCIENNES", "ROSE-CROIX"});
    v.roseNote = load({"ROSE", "ROSES", "ROSE TRÉMIÈRE", "ROSES ANCIENNES", "VIEUX ROSE",
                       "ROSE PÂLE", "CHEZ ROSE ET MARCEL", "ROSIERS ET ROSES", "ROSERAIE",
                       "PAPIER ROSE", "ENVELOPPE ROSE", "TANTE ROSE", "ROSE-MARIE"});
    v.roseFile = load({"Rose", "rose", "ROSE", "Roses", "roseraie", "Rose-Marie", "rose_trémière",
                       "RoseDesVents", "rosé-ROSE", "La Rose", "ROSES"});
    v.roseHost = load({"roseraie", "rose", "roses-anciennes", "la-vie-en-rose", "rosedesvents",
                       "club-des-roses", "primerose"});
    v.roseMail = load({"rose", "Rose", "roseline", "rose-marie", "ROSE", "marie-rose", "roselyne"});
    v.phone = to1252("TÉL");
    v.nearMisses = load({"VIN ROSÉ", "ROSÉE DU MATIN", "ROSIER GRIMPANT", "ROSÂTRE", "ROSÉS", "ROS",
                         "ROSSIGNOL", "ROSÉE", "rosé", "Rosé", "rosier", "ROSACE"});
    return v;
}

// Fails when a list that must not hold ROSE does.
void checkVocabulary(const Vocabulary &v)
{
    auto clean = [](const Words &w, const char *name) {
        for (const auto &s : w)
            if (holdsRose(s)) {
                std::fprintf(stderr, "make_catalogue: list %s holds ROSE in '%s'\n", name,
                             s.c_str());
                std::exit(3);
            }
    };
    for (const auto &s : v.start)
        clean(s, "start");
    for (const auto *w : {&v.roseFile, &v.roseHost, &v.roseMail})
        for (const auto &s : *w)
            if (!holdsRose(s)) std::exit(3);
    clean(v.nouns, "nouns");
    clean(v.adjectives, "adjectives");
    clean(v.links, "links");
    clean(v.places, "places");
    clean(v.people, "people");
    clean(v.families, "families");
    clean(v.noteWords, "noteWords");
    clean(v.noteOpeners, "noteOpeners");
    clean(v.firstNames, "firstNames");
    clean(v.users, "users");
    clean(v.folders, "folders");
    clean(v.mailHosts, "mailHosts");
    clean(v.webHosts, "webHosts");
    clean(v.webPaths, "webPaths");
    clean(v.supports, "supports");
    clean(v.nearMisses, "nearMisses");
    for (const auto &s : v.roseKey)
        if (!holdsRose(s)) std::exit(3);
    for (const auto &s : v.roseNote)
        if (!holdsRose(s)) std::exit(3);
}

struct Category {
    const char *name;
    int weight;
    enum Kind { File, Web, Mail, Address } kind;
    std::vector<const char *> extensions;
};

const std::vector<Category> &categories()
{
    static const std::vector<Category> c = {
        {"TEXTES", 180, Category::File, {".odt", ".doc", ".txt", ".pdf", ".rtf", ".docx"}},
        {"SONS", 80, Category::File, {".mp3", ".ogg", ".mid", ".wav", ".flac"}},
        {"IMAGES", 170, Category::File, {".jpg", ".png", ".bmp", ".gif", ".JPG", ".tif"}},
        {"WEB", 90, Category::Web, {}},
        {"E-MAIL", 60, Category::Mail, {}},
        {"CARNET D'ADRESSES", 70, Category::Address, {}},
        {"FACTURES", 90, Category::File, {".pdf", ".PDF", ".jpg"}},
        {"VIDÉOS", 40, Category::File, {".avi", ".mp4", ".mkv", ".mpg"}},
        {"LOGICIELS", 20, Category::File, {".tar.gz", ".deb", ".zip", ".AppImage"}},
        {"RECETTES", 40, Category::File, {".txt", ".pdf", ".odt"}},
        {"COURRIERS", 50, Category::File, {".odt", ".pdf", ".doc"}},
        {"IMPÔTS", 25, Category::File, {".pdf"}},
        {"SANTÉ", 25, Category::File, {".pdf", ".jpg"}},
        {"BANQUE", 25, Category::File, {".pdf", ".ods", ".csv"}},
        {"LIVRES", 20, Category::File, {".epub", ".pdf", ".txt"}},
        {"DIVERS", 15, Category::File, {".txt", ".pdf", ".zip", ".jpg"}},
    };
    return c;
}

// ---------------------------------------------------------------------------------------------
// Record generation

class Generator
{
  public:
    explicit Generator(uint64_t seed) : rng_(seed), v_(makeVocabulary())
    {
        checkVocabulary(v_);
        for (const auto &c : categories())
            categoryBytes_.push_back(to1252(c.name));
        int sum = 0;
        for (int w : kLetterWeight)
            letterCumulative_.push_back(sum += w);
        sum = 0;
        for (const auto &c : categories())
            categoryCumulative_.push_back(sum += c.weight);
    }

    // One record line (without line end); rose says whether it must hold ROSE.
    std::string line(bool rose)
    {
        for (;;) {
            std::string l = attempt(rose);
            if (l.size() <= 256 && holdsRose(l) == rose) return l;
        }
    }

  private:
    int weighted(const std::vector<int> &cumulative)
    {
        const int r = int(rng_.below(uint32_t(cumulative.back())));
        return int(std::upper_bound(cumulative.begin(), cumulative.end(), r) - cumulative.begin());
    }

    std::string number(int lo, int hi) { return std::to_string(rng_.between(lo, hi)); }

    // Appends word to s with a blank (none after an elided article such as L').
    static void addWord(std::string &s, const std::string &word)
    {
        if (!s.empty() && s.back() != '\'') s.push_back(' ');
        s += word;
    }

    std::string key(int letter, bool rose)
    {
        std::string k;
        const char c = kLetters[letter];
        if (letter < 10) {
            // Keys that begin with a digit: years, dates, counts.
            if ((c == '1' || c == '2') && rng_.permille(600)) {
                k = c == '1' ? number(1950, 1999) : number(2000, 2024);
            } else {
                k.push_back(c);
                const int more = int(rng_.below(3));
                for (int i = 0; i < more; ++i)
                    k.push_back(char('0' + rng_.below(10)));
                if (rng_.permille(150)) k += rng_.permille(500) ? "ER" : "E";
            }
            addWord(k, rng_.pick(rng_.permille(500) ? v_.nouns : v_.start[rng_.below(26)]));
        } else {
            k = rng_.pick(v_.start[letter - 10]);
        }
        // A few words more: link, noun, adjective, place or person, sometimes a number.
        const int extra = 1 + int(rng_.below(4));
        const int rosePlace = rose ? int(rng_.below(uint32_t(extra))) : -1;
        for (int i = 0; i < extra; ++i) {
            if (i == rosePlace) {
                if (rng_.permille(500)) addWord(k, rng_.pick(v_.links));
                addWord(k, rng_.pick(v_.roseKey));
                continue;
            }
            switch (rng_.below(10)) {
            case 0:
            case 1:
            case 2:
                addWord(k, rng_.pick(v_.links));
                addWord(k, rng_.pick(v_.nouns));
                break;
            case 3:
            case 4:
                addWord(k, rng_.pick(v_.nouns));
                break;
            case 5:
                addWord(k, rng_.pick(v_.adjectives));
                break;
            case 6:
                addWord(k, rng_.pick(v_.places));
                break;
            case 7:
                addWord(k, rng_.pick(v_.people));
                break;
            case 8:
                addWord(k, number(1990, 2024));
                break;
            default:
                k += rng_.permille(500) ? " : " : " - ";
                k += rng_.pick(rng_.permille(500) ? v_.people : v_.places);
                break;
            }
        }
        if (k.size() > 72) {
            const auto cut = k.rfind(' ', 72);
            k.resize(cut == std::string::npos || cut < 8 ? 72 : cut);
        }
        while (!k.empty() && (k.back() == ' ' || k.back() == ':' || k.back() == '-'))
            k.pop_back();
        return k;
    }

    std::string date()
    {
        static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int year = rng_.between(1996, 2024);
        const int month = rng_.between(1, 12);
        int last = days[month - 1];
        if (month == 2 && year % 4 == 0) last = 29;
        const int day = rng_.between(1, last);
        char buf[40];
        std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", day, month, year);
        return buf;
    }

    std::string support()
    {
        std::string s = rng_.pick(v_.supports);
        switch (rng_.below(3)) {
        case 0:
            s += ' ', s += number(1, 40);
            break;
        case 1:
            s += ' ', s += number(1998, 2024);
            break;
        default:
            break;
        }
        return s;
    }

    // A note of a length drawn from a spread that has many short notes and a few long ones.
    std::string note(bool rose)
    {
        int want;
        const uint32_t r = rng_.below(100);
        if (r < 15)
            want = 0;
        else if (r < 35)
            want = rng_.between(5, 25);
        else if (r < 75)
            want = rng_.between(25, 70);
        else if (r < 93)
            want = rng_.between(70, 130);
        else
            want = rng_.between(130, 230);
        std::string n;
        if (rose) addWord(n, rng_.pick(v_.roseNote));
        if (want > 0 && rng_.permille(250)) {
            addWord(n, rng_.pick(v_.noteOpeners));
            addWord(n, number(1, 9999));
        }
        while (int(n.size()) < want) {
            switch (rng_.below(24)) {
            case 0: // an amount in euros
                addWord(n, "MONTANT");
                addWord(n, number(5, 2500));
                n += ',', n += number(10, 99), n += " \x80";
                break;
            case 1: // a phone number
                addWord(n, v_.phone);
                addWord(n, "0");
                n += number(1, 9);
                for (int i = 0; i < 4; ++i)
                    addWord(n, number(10, 99));
                break;
            case 2: // a postal address
                addWord(n, number(1, 120));
                addWord(n, "RUE");
                addWord(n, rng_.pick(v_.links));
                addWord(n, rng_.pick(v_.nouns));
                addWord(n, number(10, 95));
                n += "000";
                addWord(n, rng_.pick(v_.places));
                break;
            case 3:
                addWord(n, rng_.pick(v_.people));
                break;
            case 4:
                addWord(n, rng_.pick(v_.places));
                break;
            case 5:
                addWord(n, rng_.pick(v_.nouns));
                break;
            case 6:
                addWord(n, "#"), n += number(1, 500);
                break;
            case 7:
                addWord(n, rng_.permille(100) ? rng_.pick(v_.nearMisses) : "-");
                break;
            default:
                addWord(n, rng_.pick(v_.noteWords));
                break;
            }
        }
        // Notes are upper case, as the entry form writes them (the near misses "rosé" too).
        if (n.size() > 230) n.resize(230);
        return to1252Upper(n);
    }

    // Letters without accents, blanks and apostrophes as hyphens: for mail and web addresses.
    static std::string plain(const std::string &s)
    {
        std::string out;
        out.reserve(s.size());
        for (const char c : s) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 0xE0) {
                // à … ÿ
                out.push_back("aaaaaaaceeeeiiiidnooooo-ouuuuyty"[b - 0xE0]);
            } else if (b >= 0xC0 && b <= 0xDF) {
                out.push_back("AAAAAAACEEEEIIIIDNOOOOO-OUUUUYTs"[b - 0xC0]);
            } else if (b == 0x9C || b == 0x8C) {
                out += b == 0x9C ? "oe" : "OE";
            } else if (c == ' ' || c == '\'' || b >= 0x80) {
                out.push_back('-');
            } else {
                out.push_back(c);
            }
        }
        return out;
    }

    static std::string to1252Upper(std::string s)
    {
        for (char &c : s)
            c = static_cast<char>(kCase.upper[static_cast<unsigned char>(c)]);
        return s;
    }

    // Words of a file name: "facture_edf_mars_2019", "Été à Nîmes", "IMG_2034".
    std::string fileName(bool rose)
    {
        std::string n;
        const uint32_t style = rng_.below(4);
        const char join = style == 0 ? '_' : style == 1 ? '-' : ' ';
        const int words = 1 + int(rng_.below(4));
        const int rosePlace = rose ? int(rng_.below(uint32_t(words))) : -1;
        for (int i = 0; i < words; ++i) {
            std::string w;
            if (i == rosePlace)
                w = rng_.pick(v_.roseFile);
            else if (rng_.permille(150))
                w = number(1, 2024);
            else
                w = rng_.pick(rng_.permille(700) ? v_.nouns : v_.places);
            if (i != rosePlace) w = style == 3 ? w : style == 2 ? titled(w) : lowered(w);
            if (!n.empty()) n.push_back(join);
            n += w;
        }
        if (!rose && rng_.permille(120)) {
            n = rng_.permille(500) ? "IMG_" : "DSC";
            n += number(1000, 9999);
        }
        // No blank may touch the slash of the path or the dot of the extension.
        while (!n.empty() && n.front() == ' ')
            n.erase(n.begin());
        return n;
    }

    std::string target(const Category &cat, bool rose)
    {
        switch (cat.kind) {
        case Category::Web: {
            std::string t = rng_.permille(200) ? "http://" : "https://";
            if (rose) {
                t += "www.";
                t += rng_.pick(v_.roseHost);
                t += '-';
                t += plain(lowered(rng_.pick(v_.places)));
                t += ".fr/";
            } else {
                t += rng_.pick(v_.webHosts);
                t += '/';
            }
            t += rng_.pick(v_.webPaths);
            return t;
        }
        case Category::Mail:
        case Category::Address: {
            if (cat.kind == Category::Address && !rose && rng_.permille(600)) return {};
            std::string t = rose ? rng_.pick(v_.roseMail) : rng_.pick(v_.firstNames);
            if (rng_.permille(700)) {
                t += rng_.permille(500) ? '.' : '-';
                t += lowered(rng_.pick(v_.families));
            }
            if (rng_.permille(200)) t += number(1, 99);
            t += '@';
            t += rng_.pick(v_.mailHosts);
            return plain(t);
        }
        case Category::File:
            break;
        }
        if (rng_.permille(60) && !rose) return {}; // target not filled in
        std::string t;
        const bool roseUser = rose && rng_.permille(200);
        t = "/home/";
        t += roseUser ? std::string("rose") : rng_.pick(v_.users);
        t += '/';
        t += rng_.pick(v_.folders);
        t += '/';
        if (rng_.permille(400)) {
            t += number(1998, 2024);
            t += '/';
        }
        t += fileName(rose && !roseUser);
        t += rng_.pick(cat.extensions);
        if (t.size() > 110) t = t.substr(0, 100) + rng_.pick(cat.extensions);
        return t;
    }

    std::string attempt(bool rose)
    {
        const int letter = weighted(letterCumulative_);
        const Category &cat = categories()[size_t(weighted(categoryCumulative_))];
        const std::string &catName = categoryBytes_[size_t(&cat - categories().data())];

        // Where the ROSE goes: key, note or target.
        int where = -1;
        if (rose) {
            const uint32_t r = rng_.below(100);
            where = r < 40 ? 0 : r < 75 ? 1 : 2;
        }
        std::string k = key(letter, where == 0);
        std::string t = target(cat, where == 2);
        if (where == 2 && !holdsRose(t)) t += " (ROSE)";
        std::string head = k;
        head += '@';
        head += date();
        head += '[';
        if (rng_.permille(300)) head += support();
        head += ']';
        head += catName;
        head += '#';
        std::string n = note(where == 1);
        // Room left for the note within 256 characters.
        const size_t fixed = head.size() + 1 + t.size();
        if (fixed + n.size() > 256) {
            const size_t room = fixed < 256 ? 256 - fixed : 0;
            size_t cut = room;
            if (cut < n.size()) {
                const auto blank = n.rfind(' ', cut);
                cut = blank == std::string::npos ? room : blank;
            }
            n.resize(std::min(cut, n.size()));
        }
        // Very short lines get a word of note so that most lines are at least 40 characters.
        if (fixed + n.size() < 40) addWord(n, rng_.pick(v_.noteWords));
        std::string l = std::move(head);
        l += n;
        l += '\xA7';
        l += t;
        return l;
    }

    Rng rng_;
    Vocabulary v_;
    std::vector<std::string> categoryBytes_;
    std::vector<int> letterCumulative_, categoryCumulative_;
};

// The order the letter files are written in: bytes of the upper-cased lines, then raw bytes.
bool sortsBefore(const std::string &a, const std::string &b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = kCase.upper[static_cast<unsigned char>(a[i])];
        const unsigned char y = kCase.upper[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool writeFile(const std::filesystem::path &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int usage()
{
    std::fputs(
        "usage: make_catalogue DIR COUNT [SEED]\n"
        "Writes COUNT synthetic records (36 letter files, TALVO.CAT, empty TALVO.SUP) into DIR.\n",
        stderr);
    return 2;
}

bool parseNumber(const char *s, uint64_t *out)
{
    char *end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(s, &end, 10);
    if (errno || !end || *end || end == s || *s == '-') return false;
    *out = v;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) return usage();
    const std::filesystem::path dir = argv[1];
    uint64_t count = 0, seed = 1;
    if (!parseNumber(argv[2], &count) || (argc == 4 && !parseNumber(argv[3], &seed)))
        return usage();

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "make_catalogue: cannot create %s\n", dir.c_str());
        return 1;
    }

    Generator gen(seed);
    // A separate stream decides which records hold ROSE, so the share does not depend on how
    // many draws a record takes.
    Rng roseDraw(seed ^ 0x524F5345ULL);
    std::array<std::vector<std::string>, 36> files;
    for (auto &f : files)
        f.reserve(size_t(count / 20 + 16));
    uint64_t rose = 0, bytes = 0, withSupport = 0, shortest = 1000, longest = 0;
    for (uint64_t i = 0; i < count; ++i) {
        const bool r = roseDraw.below(1000) < 140;
        std::string l = gen.line(r);
        rose += r;
        bytes += l.size() + 2;
        const auto open = l.find('[');
        withSupport += l[open + 1] != ']';
        shortest = std::min<uint64_t>(shortest, l.size());
        longest = std::max<uint64_t>(longest, l.size());
        const char first = l[0];
        const char *where = std::strchr(kLetters, first);
        if (first == 0 || !where) {
            std::fprintf(stderr, "make_catalogue: key outside the letter list: %s\n", l.c_str());
            return 3;
        }
        const auto index = where - kLetters;
        files[size_t(index)].push_back(std::move(l));
    }

    int biggest = 0;
    std::array<size_t, 36> sizes{};
    for (int i = 0; i < 36; ++i) {
        auto &lines = files[size_t(i)];
        std::sort(lines.begin(), lines.end(), sortsBefore);
        std::string out;
        size_t total = 0;
        for (const auto &l : lines)
            total += l.size() + 2;
        out.reserve(total);
        for (const auto &l : lines) {
            out += l;
            out += "\r\n";
        }
        const std::string name = std::string(1, kLetters[i]) + ".MFI";
        if (!writeFile(dir / name, out)) {
            std::fprintf(stderr, "make_catalogue: cannot write %s\n", (dir / name).c_str());
            return 1;
        }
        sizes[size_t(i)] = lines.size();
        if (sizes[size_t(i)] > sizes[size_t(biggest)]) biggest = i;
        std::vector<std::string>().swap(lines);
    }
    std::string cat;
    for (const auto &c : categories()) {
        cat += to1252(c.name);
        cat += "\r\n";
    }
    if (!writeFile(dir / "TALVO.CAT", cat) || !writeFile(dir / "TALVO.SUP", std::string())) {
        std::fprintf(stderr, "make_catalogue: cannot write the lists in %s\n", dir.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "make_catalogue: %llu records, %llu bytes, %llu with ROSE (%.2f %%), "
                 "%.1f %% with support, line length %llu-%llu, biggest file %c.MFI (%zu lines)\n",
                 (unsigned long long)count, (unsigned long long)bytes, (unsigned long long)rose,
                 count ? 100.0 * double(rose) / double(count) : 0.0,
                 count ? 100.0 * double(withSupport) / double(count) : 0.0,
                 (unsigned long long)shortest, (unsigned long long)longest, kLetters[biggest],
                 sizes[size_t(biggest)]);
    std::fprintf(stderr, "records=%llu bytes=%llu rose=%llu biggest=%c:%zu\n",
                 (unsigned long long)count, (unsigned long long)bytes, (unsigned long long)rose,
                 kLetters[biggest], sizes[size_t(biggest)]);
    return 0;
}
