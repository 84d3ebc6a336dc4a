#include "analysis/dateheure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace korvan {

namespace {

constexpr int64_t kMsParJour = 86'400'000;
// Day counts of 0001-01-01 and 9999-12-31 from 1899-12-30.
constexpr int64_t kPremierJour = -693'593;
constexpr int64_t kDernierJour = 2'958'465;
// 1970-01-01 counted from 1899-12-30.
constexpr int64_t kDecalageEpoqueUnix = 25'569;

int joursDansMois(int annee, int mois)
{
    static constexpr int jours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return mois == 2 && EstBissextile(annee) ? 29 : jours[mois - 1];
}

// Proleptic Gregorian calendar through 400-year eras (H. Hinnant's civil
// calendar algorithms), counted here from 1899-12-30.
int64_t jourDepuisDate(int annee, int mois, int jour)
{
    const int64_t a = mois <= 2 ? annee - 1 : annee;
    const int64_t ere = (a >= 0 ? a : a - 399) / 400;
    const int64_t anneeDeEre = a - ere * 400;
    const int64_t jourDeAnnee = (153 * (mois > 2 ? mois - 3 : mois + 9) + 2) / 5 + jour - 1;
    const int64_t jourDeEre = anneeDeEre * 365 + anneeDeEre / 4 - anneeDeEre / 100 + jourDeAnnee;
    return ere * 146'097 + jourDeEre - 719'468 + kDecalageEpoqueUnix;
}

void dateDepuisJour(int64_t serie, int& annee, int& mois, int& jour)
{
    const int64_t z = serie - kDecalageEpoqueUnix + 719'468;
    const int64_t ere = (z >= 0 ? z : z - 146'096) / 146'097;
    const int64_t jourDeEre = z - ere * 146'097;
    const int64_t anneeDeEre =
        (jourDeEre - jourDeEre / 1460 + jourDeEre / 36'524 - jourDeEre / 146'096) / 365;
    const int64_t jourDeAnnee = jourDeEre - (365 * anneeDeEre + anneeDeEre / 4 - anneeDeEre / 100);
    const int64_t mp = (5 * jourDeAnnee + 2) / 153;
    jour = int(jourDeAnnee - (153 * mp + 2) / 5 + 1);
    mois = int(mp < 10 ? mp + 3 : mp - 9);
    annee = int(anneeDeEre + ere * 400 + (mois <= 2 ? 1 : 0));
}

// The value as a day count and milliseconds into that day, or false when it
// lies outside years 1..9999.
bool separer(TDateTime valeur, int64_t& serie, int64_t& msJour)
{
    if (!std::isfinite(valeur) || std::fabs(valeur) > double(kDernierJour + 2))
        return false;
    const int64_t total = std::llround(valeur * double(kMsParJour));
    serie = total / kMsParJour; // toward zero: the integer part is the day
    msJour = std::llabs(total) % kMsParJour;
    return serie >= kPremierJour && serie <= kDernierJour;
}

} // namespace

bool EstBissextile(int annee)
{
    return annee % 4 == 0 && (annee % 100 != 0 || annee % 400 == 0);
}

bool EncodeDateTime(int annee, int mois, int jour, int heure, int minute, int seconde, int ms,
                    TDateTime& out)
{
    if (annee < 1 || annee > 9999 || mois < 1 || mois > 12 || jour < 1
        || jour > joursDansMois(annee, mois))
        return false;
    if (heure < 0 || heure > 23 || minute < 0 || minute > 59 || seconde < 0 || seconde > 59
        || ms < 0 || ms > 999)
        return false;
    const int64_t serie = jourDepuisDate(annee, mois, jour);
    const int64_t msJour = ((int64_t(heure) * 60 + minute) * 60 + seconde) * 1000 + ms;
    const double fraction = double(msJour) / double(kMsParJour);
    out = serie < 0 ? double(serie) - fraction : double(serie) + fraction;
    return true;
}

bool DecodeDateTime(TDateTime valeur, int& annee, int& mois, int& jour, int& heure, int& minute,
                    int& seconde, int& ms)
{
    int64_t serie = 0;
    int64_t msJour = 0;
    if (!separer(valeur, serie, msJour)) {
        annee = mois = jour = heure = minute = seconde = ms = 0;
        return false;
    }
    dateDepuisJour(serie, annee, mois, jour);
    ms = int(msJour % 1000);
    seconde = int(msJour / 1000 % 60);
    minute = int(msJour / 60'000 % 60);
    heure = int(msJour / 3'600'000);
    return true;
}

int DayOfWeek(TDateTime valeur)
{
    int64_t serie = 0;
    int64_t msJour = 0;
    if (!separer(valeur, serie, msJour))
        return 0;
    // 1899-12-30 was a Saturday.
    return int(((serie + 6) % 7 + 7) % 7) + 1;
}

TDateTime DateTimeDepuisQDateTime(const QDateTime& moment)
{
    if (!moment.isValid())
        return 0;
    const QDateTime local = moment.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    TDateTime valeur = 0;
    if (!EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec(),
                        valeur))
        return 0;
    return valeur;
}

QDateTime QDateTimeDepuisDateTime(TDateTime valeur)
{
    int a, mo, j, h, mi, s, ms;
    if (!DecodeDateTime(valeur, a, mo, j, h, mi, s, ms))
        return {};
    return QDateTime(QDate(a, mo, j), QTime(h, mi, s, ms), Qt::LocalTime);
}

int64_t MsDepuisEpoque(const timespec& t)
{
    return int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

TDateTime DateTimeDepuisFichier(const timespec& t)
{
    const int64_t ms = MsDepuisEpoque(t);
    if (ms == 0)
        return 0;
    const int64_t secondes = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    const time_t s = time_t(secondes);
    struct tm local {};
    if (!::localtime_r(&s, &local))
        return DateTimeDepuisQDateTime(QDateTime::fromMSecsSinceEpoch(ms));
    TDateTime valeur = 0;
    if (!EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        std::min(local.tm_sec, 59), int(ms - secondes * 1000), valeur))
        return 0;
    return valeur;
}

TDateTime Maintenant()
{
    return DateTimeDepuisQDateTime(QDateTime::currentDateTime());
}

} // namespace korvan
