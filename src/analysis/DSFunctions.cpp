#include "analysis/DSFunctions.h"

#include "analysis/format_texte.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace korvan {

namespace {

constexpr int64_t kUnitesParSeconde = 10'000'000;
constexpr int64_t kUnitesParMs = 10'000;

struct FormatAudio {
    uint16_t tag;
    const char* nom;
};

// WAVE format tags of the Windows multimedia headers, sorted by tag.
constexpr std::array<FormatAudio, 64> kFormatsAudio{{
    {1, "PCM"},
    {2, "ADPCM"},
    {3, "IEEE_FLOAT"},
    {5, "IBM_CVSD"},
    {6, "ALAW"},
    {7, "MULAW"},
    {16, "OKI_ADPCM"},
    {17, "DVI_ADPCM"},
    {18, "MEDIASPACE_ADPCM"},
    {19, "SIERRA_ADPCM"},
    {20, "G723_ADPCM"},
    {21, "DIGISTD"},
    {22, "DIGIFIX"},
    {23, "DIALOGIC_OKI_ADPCM"},
    {24, "MEDIAVISION_ADPCM"},
    {32, "YAMAHA_ADPCM"},
    {33, "SONARC"},
    {34, "DSPGROUP_TRUESPEECH"},
    {35, "ECHOSC1"},
    {36, "AUDIOFILE_AF36"},
    {37, "APTX"},
    {38, "AUDIOFILE_AF10"},
    {48, "DOLBY_AC2"},
    {49, "GSM610"},
    {50, "MSNAUDIO"},
    {51, "ANTEX_ADPCME"},
    {52, "CONTROL_RES_VQLPC"},
    {53, "DIGIREAL"},
    {54, "DIGIADPCM"},
    {55, "CONTROL_RES_CR10"},
    {56, "NMS_VBXADPCM"},
    {57, "CS_IMAADPCM"},
    {58, "ECHOSC3"},
    {59, "ROCKWELL_ADPCM"},
    {60, "ROCKWELL_DIGITALK"},
    {61, "XEBEC"},
    {64, "G721_ADPCM"},
    {65, "G728_CELP"},
    {80, "MPEG"},
    {85, "MP3"},
    {96, "CIRRUS"},
    {97, "ESPCM"},
    {98, "VOXWARE"},
    {99, "CANOPUS_ATRAC"},
    {100, "G726_ADPCM"},
    {101, "G722_ADPCM"},
    {102, "DSAT"},
    {103, "DSAT_DISPLAY"},
    {117, "VOXWARE"}, // a later Voxware codec under the same name
    {128, "SOFTSOUND"},
    {256, "RHETOREX_ADPCM"},
    {512, "CREATIVE_ADPCM"},
    {514, "CREATIVE_FASTSPEECH8"},
    {515, "CREATIVE_FASTSPEECH10"},
    {544, "QUARTERDECK"},
    {768, "FM_TOWNS_SND"},
    {1024, "BTV_DIGITAL"},
    {4096, "OLIGSM"},
    {4097, "OLIADPCM"},
    {4098, "OLICELP"},
    {4099, "OLISBC"},
    {4100, "OLIOPR"},
    {4352, "LH_CODEC"},
    {5120, "NORRIS"},
}};

static_assert(std::is_sorted(kFormatsAudio.begin(), kFormatsAudio.end(),
                             [](const FormatAudio& a, const FormatAudio& b) { return a.tag < b.tag; }));

struct Decoupage {
    int64_t h, m, s;
};

// Integer divisions truncate toward zero, so a negative duration stays
// negative field by field rather than borrowing from the larger units.
Decoupage decouper(int64_t duree)
{
    const int64_t total = duree / kUnitesParSeconde;
    return {total / 3600, (total / 60) % 60, total % 60};
}

// A whole number of decimal digits, nothing else.
bool nombreDecimal(const QString& texte, int& valeur)
{
    if (texte.isEmpty() || texte.size() > 9)
        return false;
    for (QChar c : texte)
        if (c < u'0' || c > u'9')
            return false;
    valeur = texte.toInt();
    return true;
}

} // namespace

namespace {

// Hours, minutes and seconds, then the part of the last second in its unit
// ("1h 02mn 03s 04fr"); below one second that part alone, unpadded.
QString texteAvecReste(int64_t duree, int64_t reste, int chiffres, const char* unite, const char* uniteSeule)
{
    const auto [h, m, s] = decouper(duree);
    const QString fin = Format("%.*d", chiffres, reste) + QString::fromUtf8(unite);
    if (h > 0)
        return Format("%dh %.2dmn %.2ds ", h, m, s) + fin;
    if (m > 0)
        return Format("%dmn %.2ds ", m, s) + fin;
    if (s <= 0)
        return QString::number(reste) + QString::fromUtf8(uniteSeule);
    return Format("%ds ", s) + fin;
}

} // namespace

QString TexteDuree(int64_t duree, int64_t dureeImage)
{
    // A stream whose frame duration is unknown (0) or corrupt (negative) has
    // no meaningful frame count; the time part is still worth showing.
    const int64_t images = dureeImage > 0 ? (duree % kUnitesParSeconde) / dureeImage : 0;
    return texteAvecReste(duree, images, 2, "fr", "fr");
}

QString TexteDureeMs(int64_t duree)
{
    return texteAvecReste(duree, (duree % kUnitesParSeconde) / kUnitesParMs, 3, "ms", "millièmes");
}

QString NomFormatAudio(uint16_t tag)
{
    const auto it = std::lower_bound(kFormatsAudio.begin(), kFormatsAudio.end(), tag,
                                     [](const FormatAudio& f, uint16_t t) { return f.tag < t; });
    if (it == kFormatsAudio.end() || it->tag != tag)
        return QStringLiteral("Inconnu");
    return QString::fromLatin1(it->nom);
}

QString VersionDirectXDepuisTexte(const QString& valeur)
{
    const QString erreur = QStringLiteral("Erreur");
    const QString texte = valeur.trimmed();
    // "4.09.00.0904": the second and third fields are the version, the last
    // digit the revision letter. A dot must follow the minor number.
    const QStringList champs = texte.split(u'.');
    int majeur = 0;
    int mineur = 0;
    if (champs.size() < 4 || !nombreDecimal(champs[1], majeur) || !nombreDecimal(champs[2], mineur))
        return erreur;
    const QChar dernier = texte.back();
    if (dernier < u'0' || dernier > u'9')
        return erreur;
    // Revision digits 1..9 read as letters a..i, 0 as none (a blank); 9.0c
    // reports itself as revision 4, hence d -> c.
    QChar lettre = dernier == u'0' ? u' ' : QChar(dernier.unicode() - u'0' + u'a' - 1);
    if (lettre == u'd')
        lettre = u'c';
    return QString::number(majeur) + u'.' + QString::number(mineur) + lettre;
}

} // namespace korvan
