#include "analysis/formatage.h"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

bool estLettreAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

char16_t majuscule(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 'a' && u <= 'z' ? char16_t(u - 32) : u;
}

int longueurSuite(QStringView texte, qsizetype i)
{
    qsizetype j = i;
    while (j < texte.size() && texte[j] == texte[i])
        ++j;
    return int(j - i);
}

bool commencePar(QStringView texte, qsizetype i, QStringView motif)
{
    return texte.mid(i).startsWith(motif, Qt::CaseInsensitive);
}

// ---------------------------------------------------------------- locale

// Text between quotes, in this program's notation: a single quote inside the
// text is written between double quotes.
void ajouterLitteral(QString& sortie, const QString& texte)
{
    QString morceau;
    for (QChar c : texte) {
        if (c == u'\'') {
            if (!morceau.isEmpty())
                sortie += u'\'' + morceau + u'\'';
            morceau.clear();
            sortie += QStringLiteral("\"'\"");
        } else {
            morceau += c;
        }
    }
    if (!morceau.isEmpty())
        sortie += u'\'' + morceau + u'\'';
}

// First separator character of a Qt format, outside quotes and blanks.
QString premierSeparateur(const QString& formatQt, const QString& parDefaut)
{
    bool entreQuotes = false;
    for (QChar c : formatQt) {
        if (c == u'\'')
            entreQuotes = !entreQuotes;
        else if (!entreQuotes && !estLettreAscii(c) && !c.isSpace())
            return QString(c);
    }
    return parDefaut;
}

// ---------------------------------------------------------------- dates

struct Champs {
    int annee, mois, jour, heure, minute, seconde, ms, jourSemaine;
};

QString nombre(int valeur, int chiffres)
{
    return QString::number(valeur).rightJustified(chiffres, u'0');
}

// Whether an am/pm or a/p marker comes after an hour field, before the next
// hour field; quoted text is passed over.
bool marqueur12HeuresSuit(QStringView f, qsizetype i)
{
    while (i < f.size()) {
        const QChar c = f[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype fin = f.indexOf(c, i + 1);
            if (fin < 0)
                return false;
            i = fin + 1;
            continue;
        }
        if (c == u'a' || c == u'A')
            return commencePar(f, i, u"am/pm") || commencePar(f, i, u"a/p");
        if (c == u'h' || c == u'H')
            return false;
        ++i;
    }
    return false;
}

// Nested formats (ddddd, dddddd, t, tt) are expanded one level deep only, so a
// locale format that names itself cannot recurse.
void ajouterFormat(QString& sortie, QStringView f, const Champs& c, const ReglagesFormat& r,
                   int niveau)
{
    if (niveau >= 2)
        return;
    char16_t dernierJeton = u' ';
    bool horloge12 = false;
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar depart = f[i];
        char16_t jeton = majuscule(depart);
        if (estLettreAscii(depart)) {
            if (jeton == u'M' && dernierJeton == u'H')
                jeton = u'N';
            dernierJeton = jeton;
        }
        const int n = longueurSuite(f, i);
        switch (jeton) {
        case u'Y':
            sortie += n <= 2 ? nombre(c.annee % 100, 2) : nombre(c.annee, 4);
            i += n;
            break;
        case u'M':
            if (n <= 2)
                sortie += nombre(c.mois, n);
            else if (n == 3)
                sortie += r.nomsMoisCourts[c.mois - 1];
            else
                sortie += r.nomsMoisLongs[c.mois - 1];
            i += n;
            break;
        case u'D':
            if (n <= 2)
                sortie += nombre(c.jour, n);
            else if (n == 3)
                sortie += r.nomsJoursCourts[c.jourSemaine - 1];
            else if (n == 4)
                sortie += r.nomsJoursLongs[c.jourSemaine - 1];
            else if (n == 5)
                ajouterFormat(sortie, r.formatDateCourt, c, r, niveau + 1);
            else
                ajouterFormat(sortie, r.formatDateLong, c, r, niveau + 1);
            i += n;
            break;
        case u'H': {
            i += n;
            if (marqueur12HeuresSuit(f, i))
                horloge12 = true;
            int h = c.heure;
            if (horloge12)
                h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
            sortie += nombre(h, std::min(n, 2));
            break;
        }
        case u'N':
            sortie += nombre(c.minute, std::min(n, 2));
            i += n;
            break;
        case u'S':
            sortie += nombre(c.seconde, std::min(n, 2));
            i += n;
            break;
        case u'Z':
            sortie += nombre(c.ms, std::min(n, 3));
            i += n;
            break;
        case u'T':
            ajouterFormat(sortie, n == 1 ? r.formatHeureCourt : r.formatHeureLong, c, r, niveau + 1);
            i += n;
            break;
        case u'A':
            if (commencePar(f, i, u"am/pm")) {
                sortie += f.mid(c.heure >= 12 ? i + 3 : i, 2);
                horloge12 = true;
                i += 5;
            } else if (commencePar(f, i, u"a/p")) {
                sortie += f[c.heure >= 12 ? i + 2 : i];
                horloge12 = true;
                i += 3;
            } else {
                sortie += depart;
                ++i;
            }
            break;
        case u'/':
            sortie += r.separateurDate;
            ++i;
            break;
        case u':':
            sortie += r.separateurHeure;
            ++i;
            break;
        case u'\'':
        case u'"': {
            const qsizetype fin = f.indexOf(depart, i + 1);
            if (fin < 0) {
                sortie += f.mid(i + 1);
                i = f.size();
            } else {
                sortie += f.mid(i + 1, fin - i - 1);
                i = fin + 1;
            }
            break;
        }
        default:
            sortie += depart;
            ++i;
            break;
        }
    }
}

// ---------------------------------------------------------------- Format

struct Conversion {
    bool gauche = false;
    bool zeros = false;
    int largeur = 0;
    int precision = -1;
};

// Bounds width and precision so that a stray "%999999999d" cannot exhaust memory.
constexpr int kMaxLargeur = 1000;

QString marqueur(QChar type, const char* raison)
{
    return QStringLiteral("%!") + type + u'(' + QString::fromUtf8(raison) + u')';
}

QString grouperMilliers(const QString& chiffres, const QString& separateur)
{
    QString sortie;
    const qsizetype n = chiffres.size();
    for (qsizetype k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            sortie += separateur;
        sortie += chiffres[k];
    }
    return sortie;
}

// Sign and digits of a fixed-point number, before padding.
void fixe(const ArgumentFormat& a, int decimales, bool milliers, const ReglagesFormat& r,
          QString& signe, QString& corps)
{
    QString entiere;
    QString fraction;
    bool negatif = false;
    if (a.estEntier()) {
        negatif = a.genre() == ArgumentFormat::Genre::Signe && a.signe() < 0;
        entiere = a.genre() == ArgumentFormat::Genre::Signe ? QString::number(a.signe())
                                                             : QString::number(a.bits());
        if (negatif)
            entiere.remove(0, 1);
        fraction = QString(decimales, u'0');
    } else {
        const double v = a.reel();
        if (!std::isfinite(v)) {
            corps = std::isnan(v) ? QStringLiteral("NAN") : QStringLiteral("INF");
            signe = std::isinf(v) && v < 0 ? QStringLiteral("-") : QString();
            return;
        }
        const QString texte = QString::number(std::fabs(v), 'f', decimales);
        const qsizetype point = texte.indexOf(u'.');
        entiere = point < 0 ? texte : texte.left(point);
        fraction = point < 0 ? QString() : texte.mid(point + 1);
        // No "-0.00": the sign shows only when the written digits are not all zero.
        const QString chiffres = entiere + fraction;
        negatif = std::signbit(v)
                  && std::any_of(chiffres.begin(), chiffres.end(), [](QChar d) { return d != u'0'; });
    }
    signe = negatif ? QStringLiteral("-") : QString();
    corps = milliers ? grouperMilliers(entiere, r.separateurMilliers) : entiere;
    if (decimales > 0)
        corps += r.separateurDecimal + fraction;
}

QString remplir(const Conversion& cv, const QString& signe, const QString& corps, bool numerique)
{
    const qsizetype manque = cv.largeur - (signe.size() + corps.size());
    if (manque <= 0)
        return signe + corps;
    if (cv.gauche)
        return signe + corps + QString(manque, u' ');
    if (cv.zeros && numerique)
        return signe + QString(manque, u'0') + corps;
    return QString(manque, u' ') + signe + corps;
}

} // namespace

// ---------------------------------------------------------------- locale

QString FormatDepuisQt(const QString& formatQt)
{
    QString sortie;
    const qsizetype taille = formatQt.size();
    qsizetype i = 0;
    while (i < taille) {
        const QChar c = formatQt[i];
        if (c == u'\'') {
            // Qt: '' is a quote, inside or outside quoted text.
            QString texte;
            if (i + 1 < taille && formatQt[i + 1] == u'\'') {
                texte = QStringLiteral("'");
                i += 2;
            } else {
                ++i;
                while (i < taille) {
                    if (formatQt[i] == u'\'') {
                        if (i + 1 < taille && formatQt[i + 1] == u'\'') {
                            texte += u'\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    texte += formatQt[i++];
                }
            }
            ajouterLitteral(sortie, texte);
            continue;
        }
        if (!estLettreAscii(c)) {
            if (c == u'"')
                ajouterLitteral(sortie, QStringLiteral("\""));
            else
                sortie += c;
            ++i;
            continue;
        }
        const int n = longueurSuite(formatQt, i);
        int pris = n;
        switch (c.unicode()) {
        case u'd':
            pris = std::min(n, 4);
            sortie += QString(pris, u'd');
            break;
        case u'M':
            pris = std::min(n, 4);
            sortie += QString(pris, u'm');
            break;
        case u'y':
            pris = n >= 4 ? 4 : (n >= 2 ? 2 : 1);
            sortie += pris == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case u'h':
        case u'H':
            pris = std::min(n, 2);
            sortie += QString(pris, u'h');
            break;
        case u'm':
            pris = std::min(n, 2);
            sortie += QString(pris, u'n');
            break;
        case u's':
            pris = std::min(n, 2);
            sortie += QString(pris, u's');
            break;
        case u'z':
            pris = n >= 3 ? 3 : 1;
            sortie += QString(pris, u'z');
            break;
        case u'A':
        case u'a':
            pris = i + 1 < taille && (formatQt[i + 1] == u'p' || formatQt[i + 1] == u'P') ? 2 : 1;
            sortie += c == u'A' ? QStringLiteral("AM/PM") : QStringLiteral("am/pm");
            break;
        case u't':
            // The time zone has no field in this notation; the blank before it goes too.
            while (sortie.endsWith(u' '))
                sortie.chop(1);
            break;
        default:
            pris = 1;
            ajouterLitteral(sortie, QString(c));
            break;
        }
        i += pris;
    }
    return sortie.trimmed();
}

ReglagesFormat ReglagesFormat::depuisLocale(const QLocale& locale)
{
    ReglagesFormat r;
    for (int k = 0; k < 7; ++k) {
        const int jourQt = k == 0 ? 7 : k; // Qt counts from Monday = 1 to Sunday = 7
        r.nomsJoursCourts[k] = locale.dayName(jourQt, QLocale::ShortFormat);
        r.nomsJoursLongs[k] = locale.dayName(jourQt, QLocale::LongFormat);
    }
    for (int k = 0; k < 12; ++k) {
        r.nomsMoisCourts[k] = locale.monthName(k + 1, QLocale::ShortFormat);
        r.nomsMoisLongs[k] = locale.monthName(k + 1, QLocale::LongFormat);
    }
    const QString dateCourtQt = locale.dateFormat(QLocale::ShortFormat);
    const QString heureCourtQt = locale.timeFormat(QLocale::ShortFormat);
    r.separateurDate = premierSeparateur(dateCourtQt, QStringLiteral("/"));
    r.separateurHeure = premierSeparateur(heureCourtQt, QStringLiteral(":"));
    r.formatDateCourt = FormatDepuisQt(dateCourtQt);
    r.formatDateLong = FormatDepuisQt(locale.dateFormat(QLocale::LongFormat));
    r.formatHeureCourt = FormatDepuisQt(heureCourtQt);
    r.formatHeureLong = FormatDepuisQt(locale.timeFormat(QLocale::LongFormat));
    r.texteAM = locale.amText();
    r.textePM = locale.pmText();
    r.separateurMilliers = locale.groupSeparator();
    r.separateurDecimal = locale.decimalPoint();
    return r;
}

ReglagesFormat ReglagesFormat::francais()
{
    return depuisLocale(QLocale(QLocale::French, QLocale::France));
}

ReglagesFormat ReglagesFormat::utilisateur()
{
    const QLocale systeme = QLocale::system();
    if (systeme.language() == QLocale::C)
        return francais();
    return depuisLocale(systeme);
}

namespace {
ReglagesFormat& courants()
{
    static ReglagesFormat reglages = ReglagesFormat::utilisateur();
    return reglages;
}
} // namespace

const ReglagesFormat& reglagesFormatCourants()
{
    return courants();
}

void definirReglagesFormat(const ReglagesFormat& reglages)
{
    courants() = reglages;
}

// ---------------------------------------------------------------- dates

QString FormatDateTime(const QString& format, TDateTime valeur, const ReglagesFormat& reglages)
{
    Champs c{};
    if (!DecodeDateTime(valeur, c.annee, c.mois, c.jour, c.heure, c.minute, c.seconde, c.ms))
        return {};
    c.jourSemaine = DayOfWeek(valeur);
    QString sortie;
    if (format.isEmpty()) {
        ajouterFormat(sortie, reglages.formatDateCourt, c, reglages, 1);
        if (c.heure != 0 || c.minute != 0 || c.seconde != 0 || c.ms != 0) {
            sortie += u' ';
            ajouterFormat(sortie, reglages.formatHeureLong, c, reglages, 1);
        }
        return sortie;
    }
    ajouterFormat(sortie, format, c, reglages, 0);
    return sortie;
}

// ---------------------------------------------------------------- Format

QString FormatListe(QStringView format, std::initializer_list<ArgumentFormat> arguments,
                    const ReglagesFormat& reglages)
{
    QString sortie;
    const ArgumentFormat* suivant = arguments.begin();
    const ArgumentFormat* const fin = arguments.end();
    const qsizetype taille = format.size();
    qsizetype i = 0;

    // Reads a width or precision: digits, or "*" taking an integer argument.
    // A "*" without an integer leaves its marker in *faute.
    auto lireNombre = [&](int& valeur, bool& negatif, QString& faute) {
        negatif = false;
        if (i < taille && format[i] == u'*') {
            ++i;
            if (suivant == fin || !suivant->estEntier()) {
                if (faute.isEmpty())
                    faute = marqueur(u'*', suivant == fin ? "manquant" : "incompatible");
                if (suivant != fin)
                    ++suivant;
                return;
            }
            const int64_t v = suivant->genre() == ArgumentFormat::Genre::Signe ? suivant->signe()
                                                                               : int64_t(suivant->bits());
            ++suivant;
            negatif = v < 0;
            const uint64_t absolu = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
            valeur = int(std::min<uint64_t>(absolu, kMaxLargeur));
            return;
        }
        while (i < taille && format[i] >= u'0' && format[i] <= u'9') {
            valeur = std::min(valeur * 10 + (format[i].unicode() - u'0'), kMaxLargeur);
            ++i;
        }
    };

    while (i < taille) {
        const QChar c = format[i++];
        if (c != u'%') {
            sortie += c;
            continue;
        }
        if (i < taille && format[i] == u'%') {
            sortie += u'%';
            ++i;
            continue;
        }
        Conversion cv;
        while (i < taille && (format[i] == u'-' || format[i] == u'0')) {
            if (format[i] == u'-')
                cv.gauche = true;
            else
                cv.zeros = true;
            ++i;
        }
        bool negatif = false;
        QString faute;
        lireNombre(cv.largeur, negatif, faute);
        if (negatif)
            cv.gauche = true;
        if (i < taille && format[i] == u'.') {
            ++i;
            cv.precision = 0;
            lireNombre(cv.precision, negatif, faute);
            if (negatif)
                cv.precision = -1;
        }
        if (i >= taille) {
            sortie += QStringLiteral("%!(incomplet)");
            break;
        }
        const QChar type = format[i++];
        const char16_t t = majuscule(type);
        if (!faute.isEmpty()) {
            sortie += faute;
            continue;
        }
        if (t != u'D' && t != u'U' && t != u'X' && t != u'S' && t != u'F' && t != u'N') {
            sortie += marqueur(type, "inconnu");
            continue;
        }
        if (suivant == fin) {
            sortie += marqueur(type, "manquant");
            continue;
        }
        const ArgumentFormat& a = *suivant++;
        QString signe;
        QString corps;
        bool numerique = true;
        switch (t) {
        case u'D':
        case u'U':
        case u'X':
            if (!a.estEntier()) {
                sortie += marqueur(type, "incompatible");
                continue;
            }
            if (t == u'D' && a.genre() == ArgumentFormat::Genre::Signe && a.signe() < 0) {
                signe = QStringLiteral("-");
                corps = QString::number(a.signe()).mid(1);
            } else if (t == u'D' && a.genre() == ArgumentFormat::Genre::Signe) {
                corps = QString::number(a.signe());
            } else {
                corps = QString::number(a.bits(), t == u'X' ? 16 : 10).toUpper();
            }
            if (cv.precision >= 0) {
                corps = corps.rightJustified(cv.precision, u'0');
                cv.zeros = false;
            }
            break;
        case u'F':
        case u'N':
            if (a.genre() == ArgumentFormat::Genre::Texte) {
                sortie += marqueur(type, "incompatible");
                continue;
            }
            fixe(a, cv.precision < 0 ? 2 : cv.precision, t == u'N', reglages, signe, corps);
            break;
        case u'S':
            if (a.genre() != ArgumentFormat::Genre::Texte) {
                sortie += marqueur(type, "incompatible");
                continue;
            }
            corps = cv.precision >= 0 ? a.texte().left(cv.precision) : a.texte();
            numerique = false;
            break;
        }
        sortie += remplir(cv, signe, corps, numerique);
    }
    return sortie;
}

} // namespace korvan
