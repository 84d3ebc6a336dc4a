#include "analysis/format_date.h"

#include <algorithm>

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

// ---------------------------------------------------------------- Qt formats

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

// Qt letters that become one of ours, run for run, up to a longest run.
struct LettreQt {
    char16_t qt;
    char16_t lettre;
    int suiteMax;
};

constexpr LettreQt kLettresQt[] = {
    {u'd', u'd', 4}, // day, day names
    {u'M', u'm', 4}, // month, month names
    {u'h', u'h', 2}, // hour
    {u'H', u'h', 2},
    {u'm', u'n', 2}, // minute
    {u's', u's', 2}, // second
};

const LettreQt* lettreQt(char16_t c)
{
    for (const LettreQt& l : kLettresQt)
        if (l.qt == c)
            return &l;
    return nullptr;
}

// ---------------------------------------------------------------- dates

struct Champs {
    int annee, mois, jour, heure, minute, seconde, ms, jourSemaine;
};

QString nombre(int valeur, int chiffres)
{
    return QString::number(valeur).rightJustified(chiffres, u'0');
}

// Fields shown as a number, with at most as many digits as letters.
struct ChampNumerique {
    char16_t jeton;
    int Champs::*valeur;
    int chiffresMax;
};

constexpr ChampNumerique kChampsNumeriques[] = {
    {u'N', &Champs::minute, 2},
    {u'S', &Champs::seconde, 2},
    {u'Z', &Champs::ms, 3},
};

const ChampNumerique* champNumerique(char16_t jeton)
{
    for (const ChampNumerique& champ : kChampsNumeriques)
        if (champ.jeton == jeton)
            return &champ;
    return nullptr;
}

// A run of one or two letters shows the number, three the short name, more the long one.
QString nombreOuNom(int n, int valeur, const QString& nomCourt, const QString& nomLong)
{
    if (n <= 2)
        return nombre(valeur, n);
    return n == 3 ? nomCourt : nomLong;
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
        if (const ChampNumerique* champ = champNumerique(jeton)) {
            sortie += nombre(c.*(champ->valeur), std::min(n, champ->chiffresMax));
            i += n;
            continue;
        }
        switch (jeton) {
        case u'Y':
            sortie += n <= 2 ? nombre(c.annee % 100, 2) : nombre(c.annee, 4);
            i += n;
            break;
        case u'M':
            sortie += nombreOuNom(n, c.mois, r.nomsMoisCourts[c.mois - 1], r.nomsMoisLongs[c.mois - 1]);
            i += n;
            break;
        case u'D':
            if (n <= 4)
                sortie += nombreOuNom(n, c.jour, r.nomsJoursCourts[c.jourSemaine - 1],
                                      r.nomsJoursLongs[c.jourSemaine - 1]);
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

} // namespace

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
        if (const LettreQt* l = lettreQt(c.unicode())) {
            pris = std::min(n, l->suiteMax);
            sortie += QString(pris, l->lettre);
            i += pris;
            continue;
        }
        switch (c.unicode()) {
        case u'y':
            pris = n >= 4 ? 4 : (n >= 2 ? 2 : 1);
            sortie += pris == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
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

} // namespace korvan
