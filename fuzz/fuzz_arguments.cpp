#include "fuzz_arguments.h"

#include "integration/arguments_switches.h"

#include <QByteArray>
#include <QStringList>

namespace korvan::fuzz {

namespace {

// A few letters of both kinds, and texts the lower-casing changes.
const char* const kSwitches[] = {"c", "h", "m", "?", "d", "1", "x", "é", "ß"};

} // namespace

bool fuzzArguments(const uint8_t* data, size_t size)
{
    const QList<QByteArray> lignes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    QStringList arguments;
    for (const QByteArray& l : lignes) {
        if (arguments.size() >= 64)
            break;
        arguments << QString::fromUtf8(l);
    }
    if (size == 0)
        arguments.clear();

    bool cache = false, aide = false, fermerAvantAide = false;
    bool fermer = false, sansConfirmation = false;
    for (const QString& a : arguments) {
        const bool sw = EstArgumentSwitch(a);
        const QString bas = a.toLower();
        if (sw) {
            if (bas.isEmpty() || bas.contains(QLatin1Char('.')))
                return false;
            if (bas.front() != QLatin1Char('+') && bas.front() != QLatin1Char('/'))
                return false;
            if (bas.front() == QLatin1Char('/') && bas.indexOf(QLatin1Char('/'), 1) >= 0)
                return false;
        }
        for (const char* s : kSwitches) {
            const QString texte = QString::fromUtf8(s);
            if (ContientSwitch(a, texte) != (sw && bas.contains(texte)))
                return false;
        }
        if (!sw)
            continue;
        cache = cache || bas.contains(kSwitchCache);
        if (!aide && bas.contains(kSwitchAide)) {
            aide = true;
            fermerAvantAide = fermer;
        }
        fermer = fermer || bas.contains(kSwitchFermer);
        sansConfirmation = sansConfirmation || bas.contains(kSwitchSansConfirmation);
    }

    const ModeLigneCommande mode = DecisionDemarrage(arguments);
    if (arguments.isEmpty() != (mode == ModeLigneCommande::SansArguments))
        return false;
    if (!arguments.isEmpty() && cache != (mode == ModeLigneCommande::Cache))
        return false;

    const LettresFenetre l = AnalyserLettresFenetre(arguments);
    if (l.aide != aide)
        return false;
    // The help clears "m" whatever came before it, and only a "c" before it closes.
    if (aide)
        return l.fermer == fermerAvantAide && !l.sansConfirmation;
    return l.fermer == fermer && l.sansConfirmation == sansConfirmation;
}

} // namespace korvan::fuzz
