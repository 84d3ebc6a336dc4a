#pragma once
// Texts built from dates and numbers: the locale settings they read, the date
// notation every stored or typed date format uses, and printf-style Format.
#include "analysis/dateheure.h"

#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

namespace korvan {

// Locale facts for dates and numbers. The four formats are in this program's
// date notation (see FormatDateTime), not in Qt's.
struct ReglagesFormat {
    std::array<QString, 7> nomsJoursCourts;  // [0] Sunday .. [6] Saturday (DayOfWeek - 1)
    std::array<QString, 7> nomsJoursLongs;
    std::array<QString, 12> nomsMoisCourts;  // [0] January
    std::array<QString, 12> nomsMoisLongs;
    QString separateurDate = QStringLiteral("/");
    QString separateurHeure = QStringLiteral(":");
    QString formatDateCourt;
    QString formatDateLong;
    QString formatHeureCourt;
    QString formatHeureLong;
    QString texteAM;
    QString textePM;
    QString separateurMilliers;
    QString separateurDecimal;

    static ReglagesFormat depuisLocale(const QLocale& locale);
    static ReglagesFormat francais();
    // The system locale; French when it is C/POSIX (servers, CI), since the
    // program's users are French-speaking.
    static ReglagesFormat utilisateur();
};

// Process-wide settings read by every call that is not given its own; they
// start as ReglagesFormat::utilisateur(). Read and set on the UI thread only.
const ReglagesFormat& reglagesFormatCourants();
void definirReglagesFormat(const ReglagesFormat& reglages);

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

// One argument of Format: any integer or enumeration type (its signedness and
// width kept, so %x and %u show a negative value as its two's complement at
// that width), a floating-point number, or a text (QString, UTF-8 const char*
// or std::string).
class ArgumentFormat {
public:
    enum class Genre { Signe, NonSigne, Reel, Texte };

    template <std::signed_integral T>
    ArgumentFormat(T v) : genre_(Genre::Signe), entier_(uint64_t(int64_t(v))), octets_(sizeof(T)) {}
    template <std::unsigned_integral T>
    ArgumentFormat(T v) : genre_(Genre::NonSigne), entier_(uint64_t(v)), octets_(sizeof(T)) {}
    // Enumerations print as their value, not as a converted floating-point number.
    template <typename T>
        requires std::is_enum_v<T>
    ArgumentFormat(T v) : ArgumentFormat(std::underlying_type_t<T>(v)) {}
    ArgumentFormat(double v) : genre_(Genre::Reel), reel_(v) {}
    ArgumentFormat(float v) : genre_(Genre::Reel), reel_(v) {}
    ArgumentFormat(const QString& s) : genre_(Genre::Texte), texte_(s) {}
    ArgumentFormat(const char* s) : genre_(Genre::Texte), texte_(QString::fromUtf8(s)) {}
    ArgumentFormat(const std::string& s) : genre_(Genre::Texte), texte_(QString::fromStdString(s)) {}

    Genre genre() const { return genre_; }
    bool estEntier() const { return genre_ == Genre::Signe || genre_ == Genre::NonSigne; }
    int64_t signe() const { return int64_t(entier_); }
    // The bits of an integer at its own width (a negative int32 gives 0xFFFFFFFF...).
    uint64_t bits() const { return octets_ >= 8 ? entier_ : entier_ & ((uint64_t(1) << (8 * octets_)) - 1); }
    double reel() const { return reel_; }
    const QString& texte() const { return texte_; }

private:
    Genre genre_;
    uint64_t entier_ = 0;
    int octets_ = 8;
    double reel_ = 0;
    QString texte_;
};

// printf in the manner of Delphi's Format. A conversion is
//   % [-] [0] [width | *] [. [prec | *]] type
// with type (case-insensitive):
//   d  signed decimal; prec = minimum digits, zero-padded after the sign ("%.2d" -> "05")
//   u  unsigned decimal; x  upper-case hexadecimal ("%.16x" -> 16 digits); prec as for d
//   s  text; prec = maximum characters
//   f  fixed, prec decimals (default 2), the settings' decimal separator
//   n  as f with the settings' thousands separator ("%.0n" -> "1 234 567")
//   %% a percent sign
// The width pads with blanks on the left, or on the right with "-"; the "0"
// flag pads numbers with zeros instead (ignored for d/u/x given a prec).
// f and n also take integers, written exactly.
// Faults never throw: they leave a marker in the text in place of the
// conversion: "%!d(manquant)" (no argument left), "%!d(incompatible)" (an
// argument of the wrong kind, e.g. a text for %d), "%!q(inconnu)" (an unknown
// type letter), "%!(incomplet)" (the format ends inside a conversion).
// Extra arguments are ignored.
QString FormatListe(QStringView format, std::initializer_list<ArgumentFormat> arguments,
                    const ReglagesFormat& reglages = reglagesFormatCourants());

template <typename... Args>
QString Format(const char* format, const Args&... args)
{
    return FormatListe(QString::fromUtf8(format), {ArgumentFormat(args)...});
}

template <typename... Args>
QString Format(const QString& format, const Args&... args)
{
    return FormatListe(format, {ArgumentFormat(args)...});
}

template <typename... Args>
QString Format(const ReglagesFormat& reglages, const char* format, const Args&... args)
{
    return FormatListe(QString::fromUtf8(format), {ArgumentFormat(args)...}, reglages);
}

} // namespace korvan
