#pragma once
// The date notation every stored or typed date format uses.
#include "analysis/dateheure.h"
#include "analysis/reglages_format.h"

#include <QString>

namespace korvan {

// A Qt date/time format (QLocale::dateFormat and timeFormat) in this program's
// notation: M -> m, H/h -> h, m -> n, AP/ap -> AM/PM / am/pm, quoted text kept
// quoted; time zone fields (t) are dropped, other letters quoted.
QString FormatDepuisQt(const QString& formatQt);

// Reads the format left to right, Delphi style; letters are case-insensitive.
//   d dd        day without / with leading zero   ddd dddd  short / long day name
//   ddddd       short date format                 dddddd    long date format
//   m mm        month (minutes right after h/hh)  mmm mmmm  short / long month name
//   yy yyyy     year in 2 / 4 digits              h hh      hour
//   n nn        minute                            s ss      second
//   z zzz       milliseconds                      t tt      short / long time format
//   am/pm a/p   12-hour clock; the marker is copied from the format with the
//               case written there ("am"/"pm", "A"/"P", ...)
//   / :         the settings' date / time separator
//   '..' ".."   copied literally
// Any other character is copied. "The last letter token was h" decides m/mm,
// so "hh:mm" shows minutes and "hh:nn mm" the month. An empty format shows the
// short date, then the long time when the time of day is not midnight. A value
// outside years 1..9999 (or NaN) gives an empty text.
QString FormatDateTime(const QString& format, TDateTime valeur,
                       const ReglagesFormat& reglages = reglagesFormatCourants());

} // namespace korvan
