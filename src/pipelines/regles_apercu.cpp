#include "pipelines/regles_apercu.h"

#include "analysis/dateheure.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"

#include <cmath>

namespace korvan {

QRect GeometrieVideo(int32_t largeur, int32_t hauteur)
{
    if (largeur <= 0 || hauteur <= 0)
        return {};
    if (int64_t(largeur) * kHauteurVideoMax > int64_t(hauteur) * kLargeurVideoMax) {
        const int h = int(int64_t(hauteur) * kLargeurVideoMax / largeur);
        return {24, 0, kLargeurVideoMax, h};
    }
    const int l = int(int64_t(largeur) * kHauteurVideoMax / hauteur);
    return {(kLargeurColonneVideo - l) / 2, 0, l, kHauteurVideoMax};
}

QString TexteTimeStamp(int64_t p, double fps)
{
    if (fps != 0 && std::isfinite(fps)) {
        const auto s = int64_t(std::trunc(double(p) / fps));
        const auto f = int64_t(std::trunc(double(p) - double(s) * fps));
        return Format("%d:%.2d:%.2d:%.2d", s / 3600, (s / 60) % 60, s % 60, f);
    }
    const int64_t s = p / 10'000'000;
    const int64_t ms = (p % 10'000'000) / 10'000;
    return Format("%d:%.2d:%.2d:%.3d", s / 3600, (s / 60) % 60, s % 60, ms);
}

std::optional<QString> TexteDatecodeSlot(const TDatecodeDV& d, const QString& formatAfficher)
{
    if (d.annee < -1)
        return std::nullopt;
    if (d.annee <= 0)
        return QStringLiteral("N/A");
    TDateTime t = 0;
    if (!EncodeDateTime(d.annee, d.mois, d.jour, d.heure, d.minute, d.seconde, 0, t))
        return QStringLiteral("N/A");
    return FormatDateTime(formatAfficher, t);
}

QString TexteTimecodeSlot(const TTimecodeDV& t)
{
    if (!t.present())
        return QStringLiteral("N/A");
    return Format("%.2d.%.2d.%.2d.%.2d", t.heures, t.minutes, t.secondes, t.images);
}

int64_t PasImage(double fps)
{
    if (!(fps > 0) || !std::isfinite(fps))
        return 0;
    return std::llround(1e7 / fps);
}

std::optional<int> CurseurDepuis(int64_t position, int64_t duree)
{
    if (duree <= 0)
        return std::nullopt;
    return int(static_cast<__int128>(position) * 1000 / duree);
}

int64_t PositionDepuisCurseur(int curseur, int64_t duree)
{
    return int64_t(static_cast<__int128>(curseur) * duree / 1000);
}

} // namespace korvan
