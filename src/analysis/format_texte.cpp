#include "analysis/format_texte.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace korvan {

namespace {

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
        const char16_t u = type.unicode();
        const char16_t t = u >= u'a' && u <= u'z' ? char16_t(u - 32) : u; // type letters are case-insensitive
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

QString FloatToStr(double valeur, const ReglagesFormat& reglages)
{
    return QString::number(valeur, 'g', QLocale::FloatingPointShortest)
        .replace(QLatin1Char('.'), reglages.separateurDecimal);
}

std::optional<double> StrToFloat(const QString& texte, const ReglagesFormat& reglages)
{
    const QString t = texte.trimmed();
    const QString& separateur = reglages.separateurDecimal;
    // Only digits, sign, exponent and the settings' separator; the text is
    // rebuilt with a point for the C parser.
    std::string c;
    c.reserve(size_t(t.size()));
    for (qsizetype i = 0; i < t.size();) {
        if (!separateur.isEmpty() && t.mid(i, separateur.size()) == separateur) {
            c += '.';
            i += separateur.size();
            continue;
        }
        const QChar ch = t[i++];
        if (!(ch.isDigit() && ch.unicode() < 128) && ch != u'+' && ch != u'-' && ch != u'e' && ch != u'E')
            return std::nullopt;
        c += char(ch.unicode());
    }
    if (c.empty())
        return std::nullopt;
    const char* debut = c.data();
    if (*debut == '+' && c.size() > 1 && c[1] != '-')
        ++debut; // from_chars takes no plus sign
    double v = 0;
    const auto [fin, erreur] = std::from_chars(debut, c.data() + c.size(), v);
    if (erreur != std::errc() || fin != c.data() + c.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace korvan
