#include "analysis/reglages_format.h"

#include "analysis/format_date.h"

namespace korvan {

namespace {

// First separator character of a Qt format, outside quotes and blanks.
QString premierSeparateur(const QString& formatQt, const QString& parDefaut)
{
    const auto estLettre = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    };
    bool entreQuotes = false;
    for (QChar c : formatQt) {
        if (c == u'\'')
            entreQuotes = !entreQuotes;
        else if (!entreQuotes && !estLettre(c) && !c.isSpace())
            return QString(c);
    }
    return parDefaut;
}

ReglagesFormat& courants()
{
    static ReglagesFormat reglages = ReglagesFormat::utilisateur();
    return reglages;
}

} // namespace

ReglagesFormat ReglagesFormat::depuisLocale(const QLocale& locale)
{
    ReglagesFormat r;
    for (int k = 0; k < 7; ++k) {
        const int jourQt = k == 0 ? 7 : k; // Qt counts from Monday = 1 to Sunday = 7
        r.nomsJoursCourts[k] = locale.dayName(jourQt, QLocale::ShortFormat);
        r.nomsJoursLongs[k] = locale.dayName(jourQt, QLocale::LongFormat);
    }
    for (int k = 0; k < 12; ++k) {
        r.nomsMoisCourts[k] = locale.monthName(k + 1, QLocale::ShortFormat);
        r.nomsMoisLongs[k] = locale.monthName(k + 1, QLocale::LongFormat);
    }
    const QString dateCourtQt = locale.dateFormat(QLocale::ShortFormat);
    const QString heureCourtQt = locale.timeFormat(QLocale::ShortFormat);
    r.separateurDate = premierSeparateur(dateCourtQt, QStringLiteral("/"));
    r.separateurHeure = premierSeparateur(heureCourtQt, QStringLiteral(":"));
    r.formatDateCourt = FormatDepuisQt(dateCourtQt);
    r.formatDateLong = FormatDepuisQt(locale.dateFormat(QLocale::LongFormat));
    r.formatHeureCourt = FormatDepuisQt(heureCourtQt);
    r.formatHeureLong = FormatDepuisQt(locale.timeFormat(QLocale::LongFormat));
    r.texteAM = locale.amText();
    r.textePM = locale.pmText();
    r.separateurMilliers = locale.groupSeparator();
    r.separateurDecimal = locale.decimalPoint();
    return r;
}

ReglagesFormat ReglagesFormat::francais()
{
    // Built once: every date text of a listing asks for it, and reading a
    // locale's names costs more than the formatting.
    static const ReglagesFormat reglages = depuisLocale(QLocale(QLocale::French, QLocale::France));
    return reglages;
}

ReglagesFormat ReglagesFormat::utilisateur()
{
    const QLocale systeme = QLocale::system();
    if (systeme.language() == QLocale::C)
        return francais();
    return depuisLocale(systeme);
}

const ReglagesFormat& reglagesFormatCourants()
{
    return courants();
}

void definirReglagesFormat(const ReglagesFormat& reglages)
{
    courants() = reglages;
}

} // namespace korvan
