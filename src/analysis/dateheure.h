#pragma once
// Date-time values as the program stores and compares them: a day count since
// 1899-12-30 with the time of day as the fraction. Before that day the integer
// part still names the day and the fraction's absolute value is the time of day
// (-1.25 is 1899-12-29 06:00), so both halves read the same on either side.
#include <QDateTime>
#include <cstdint>
#include <ctime>

namespace korvan {

using TDateTime = double;

bool EstBissextile(int annee);

// False (out untouched) unless every field is in range: year 1..9999, month
// 1..12, day within that month, hour 0..23, minute and second 0..59, ms 0..999.
bool EncodeDateTime(int annee, int mois, int jour, int heure, int minute, int seconde, int ms,
                    TDateTime& out);

// Rounds to the nearest millisecond before splitting, so every value made by
// EncodeDateTime decodes to the fields it was made from. False (fields set to
// 0) for NaN, infinities and values outside years 1..9999.
bool DecodeDateTime(TDateTime valeur, int& annee, int& mois, int& jour, int& heure, int& minute,
                    int& seconde, int& ms);

// 1 = Sunday .. 7 = Saturday; 0 outside the decodable range.
int DayOfWeek(TDateTime valeur);

// File times and the clock, in local time. An invalid or out-of-range
// QDateTime gives 0; a value that does not decode gives an invalid QDateTime.
TDateTime DateTimeDepuisQDateTime(const QDateTime& moment);
QDateTime QDateTimeDepuisDateTime(TDateTime valeur);
TDateTime Maintenant();

// A file time as a stat gives it, in whole milliseconds since 1970 (the
// precision the program keeps; 0 stands for a time the file system lacks).
int64_t MsDepuisEpoque(const timespec& t);
// The same local date-time as DateTimeDepuisQDateTime of that file time,
// without Qt's time-zone lookup on every call (a stat of the zone file each
// time): listing a folder converts three times per file. 0 for a time of 0.
TDateTime DateTimeDepuisFichier(const timespec& t);

} // namespace korvan
