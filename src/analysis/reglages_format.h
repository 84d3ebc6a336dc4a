#pragma once
// The locale facts that texts built from dates and numbers read: day and
// month names, separators, the locale's date and time formats.
#include <QLocale>
#include <QString>

#include <array>

namespace korvan {

// Locale facts for dates and numbers. The four formats are in this program's
// date notation (see format_date.h), not in Qt's.
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

} // namespace korvan
