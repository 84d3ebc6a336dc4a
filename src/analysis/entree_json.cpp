#include "analysis/entree_json.h"

#include "analysis/format_date.h"

#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <variant>

namespace korvan {

namespace {

using Valeur = std::variant<std::nullptr_t, bool, double, QString>;

struct Champ {
    const char* cle;
    Valeur valeur;
};

// Date-time values as ISO text (local time), null for 0 (none).
Valeur dateIso(TDateTime valeur, bool millisecondes)
{
    if (valeur == 0)
        return nullptr;
    static const ReglagesFormat francais = ReglagesFormat::francais();
    static const QString avecMs = QStringLiteral("yyyy-mm-dd'T'hh:nn:ss.zzz");
    static const QString sansMs = QStringLiteral("yyyy-mm-dd'T'hh:nn:ss");
    return FormatDateTime(millisecondes ? avecMs : sansMs, valeur, francais);
}

void ajouterValeur(std::string& sortie, const Valeur& v)
{
    if (std::holds_alternative<std::nullptr_t>(v))
        sortie += "null";
    else if (const bool* b = std::get_if<bool>(&v))
        sortie += *b ? "true" : "false";
    else if (const double* d = std::get_if<double>(&v))
        AjouterNombreJson(sortie, *d);
    else
        AjouterTexteJson(sortie, std::get<QString>(v));
}

} // namespace

void AjouterTexteJson(std::string& sortie, const QString& texte)
{
    static const char hex[] = "0123456789abcdef";
    const auto echappe = [&](char16_t unite) {
        sortie += "\\u";
        for (int decalage = 12; decalage >= 0; decalage -= 4)
            sortie += hex[(unite >> decalage) & 0xF];
    };
    sortie += '"';
    const qsizetype n = texte.size();
    const char16_t* u = reinterpret_cast<const char16_t*>(texte.utf16());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = u[i];
        switch (c) {
        case u'"': sortie += "\\\""; continue;
        case u'\\': sortie += "\\\\"; continue;
        case u'\b': sortie += "\\b"; continue;
        case u'\f': sortie += "\\f"; continue;
        case u'\n': sortie += "\\n"; continue;
        case u'\r': sortie += "\\r"; continue;
        case u'\t': sortie += "\\t"; continue;
        default: break;
        }
        if (c < 0x20) {
            echappe(c);
        } else if (c < 0x80) {
            sortie += char(c);
        } else if (c < 0x800) {
            sortie += char(0xC0 | (c >> 6));
            sortie += char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
            const char32_t point = QChar::surrogateToUcs4(c, u[++i]);
            sortie += char(0xF0 | (point >> 18));
            sortie += char(0x80 | ((point >> 12) & 0x3F));
            sortie += char(0x80 | ((point >> 6) & 0x3F));
            sortie += char(0x80 | (point & 0x3F));
        } else if (QChar::isSurrogate(c)) {
            echappe(c); // a lone half of a pair, as Qt writes it
        } else {
            sortie += char(0xE0 | (c >> 12));
            sortie += char(0x80 | ((c >> 6) & 0x3F));
            sortie += char(0x80 | (c & 0x3F));
        }
    }
    sortie += '"';
}

void AjouterNombreJson(std::string& sortie, double nombre)
{
    if (!std::isfinite(nombre)) {
        sortie += "null";
        return;
    }
    // QJsonValue keeps a whole number that a double holds exactly as an integer.
    constexpr double kEntierExact = 9007199254740992.0; // 2^53
    if (std::trunc(nombre) == nombre && std::fabs(nombre) <= kEntierExact) {
        sortie += std::to_string(qint64(nombre));
        return;
    }
    sortie += QByteArray::number(nombre, 'g', QLocale::FloatingPointShortest).toStdString();
}

QByteArray EntreeVersJsonCompact(const TAfficherFichier& e)
{
    Champ champs[] = {
        {"nom", e.nom},
        {"chemin", e.chemin},
        {"existe", e.existe},
        {"valide", e.valide},
        {"nombreFlux", double(e.nombreFlux)},
        {"codec", e.texteCodec()},
        {"estDV", e.estDV},
        {"typeDV", double(e.typeDV)},
        {"standard", double(e.standard)},
        {"texteTaille", e.texteTaille},
        {"largeur", double(e.largeur)},
        {"hauteur", double(e.hauteur)},
        {"fps", e.fps},
        {"texteDuree", e.texteDuree},
        {"texteAudio", e.texteAudio},
        {"texteDureeAudio", e.texteDureeAudio},
        {"texteFormatAudio", e.texteFormatAudio},
        {"texteCanaux", e.texteCanaux},
        {"frequenceAudio", double(e.frequenceAudio)},
        {"bitsAudio", double(e.bitsAudio)},
        {"texteDatecode", e.texteDatecode},
        {"datecode", dateIso(e.datecode, false)},
        {"texteTimecode", e.texteTimecode},
        {"format16x9", e.format16x9},
        {"vauxSource", double(e.vauxSource)},
        {"debitVideo", double(e.debitVideo)},
        {"aScenes", e.aScenes},
        {"cleDatecode", e.cleDatecode},
        {"cleDatecodeNom", e.cleDatecodeNom},
        {"cleAlpha", e.cleAlpha},
        {"cleTaille", e.cleTaille},
        {"cleDateFichier", e.cleDateFichier},
        {"tailleHaute", double(e.tailleHaute)},
        {"tailleBasse", double(e.tailleBasse)},
        {"taille", double(e.taille())},
        {"dateCreation", dateIso(e.dateCreation, true)},
        {"dateModification", dateIso(e.dateModification, true)},
        {"dateAcces", dateIso(e.dateAcces, true)},
        {"attributs", double(e.attributs)},
        {"dureeVideo", double(e.dureeVideo)},
        {"dureeAudio", double(e.dureeAudio)},
    };
    constexpr size_t kChamps = std::size(champs);
    // QJsonObject orders its keys by code unit, which for these ASCII names
    // is strcmp; the order is the same for every entry.
    static const std::array<size_t, kChamps> ordre = [&champs] {
        std::array<size_t, kChamps> o{};
        for (size_t i = 0; i < kChamps; ++i)
            o[i] = i;
        std::sort(o.begin(), o.end(), [&](size_t a, size_t b) { return std::strcmp(champs[a].cle, champs[b].cle) < 0; });
        return o;
    }();
    std::string sortie;
    sortie.reserve(1536);
    sortie += '{';
    for (const size_t i : ordre) {
        if (sortie.size() > 1)
            sortie += ',';
        sortie += '"';
        sortie += champs[i].cle;
        sortie += "\":";
        ajouterValeur(sortie, champs[i].valeur);
    }
    sortie += '}';
    return QByteArray(sortie.data(), qsizetype(sortie.size()));
}

QJsonObject EntreeVersJson(const TAfficherFichier& e)
{
    return QJsonDocument::fromJson(EntreeVersJsonCompact(e)).object();
}

} // namespace korvan
