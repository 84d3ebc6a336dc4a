#include "integration/arguments_switches.h"

#include <QFileInfo>

namespace korvan {

bool EstArgumentSwitch(const QString& argument)
{
    const QString bas = argument.toLower();
    if (bas.isEmpty() || bas.contains(QLatin1Char('.')))
        return false;
    if (bas.front() == QLatin1Char('+'))
        return true;
    if (bas.front() != QLatin1Char('/'))
        return false;
    if (bas.indexOf(QLatin1Char('/'), 1) >= 0)
        return false;
    // The argument as typed: on this file system letter case matters.
    return !QFileInfo::exists(argument);
}

bool ContientSwitch(const QString& argument, const QString& switchTexte)
{
    return !switchTexte.isEmpty() && EstArgumentSwitch(argument) && argument.toLower().contains(switchTexte);
}

bool ModeCacheDemande(const QStringList& arguments)
{
    for (const QString& a : arguments)
        if (ContientSwitch(a, kSwitchCache))
            return true;
    return false;
}

ModeLigneCommande DecisionDemarrage(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return ModeLigneCommande::SansArguments;
    return ModeCacheDemande(arguments) ? ModeLigneCommande::Cache : ModeLigneCommande::Fenetre;
}

LettresFenetre AnalyserLettresFenetre(const QStringList& arguments)
{
    LettresFenetre l;
    for (const QString& a : arguments) {
        if (!EstArgumentSwitch(a))
            continue;
        // "?" is tested first: "+c?" shows the help and does not close.
        if (ContientSwitch(a, kSwitchAide)) {
            l.aide = true;
            l.sansConfirmation = false;
            return l;
        }
        if (ContientSwitch(a, kSwitchSansConfirmation))
            l.sansConfirmation = true;
        if (ContientSwitch(a, kSwitchFermer))
            l.fermer = true;
    }
    return l;
}

} // namespace korvan
