#pragma once
// printf-style Format, in the manner of Delphi's.
#include "analysis/reglages_format.h"

#include <QString>
#include <QStringView>

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>

namespace korvan {

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

// The shortest decimal text that reads back as the same number, with the
// settings' decimal separator (29.97 -> "29,97" in French).
QString FloatToStr(double valeur, const ReglagesFormat& reglages = reglagesFormatCourants());

// A number typed by the user: optional blanks around, an optional sign,
// digits with at most one decimal separator (the settings' one only: "29.97"
// is no number in French), an optional exponent. None for anything else,
// infinities and NaN included.
std::optional<double> StrToFloat(const QString& texte, const ReglagesFormat& reglages = reglagesFormatCourants());

} // namespace korvan
