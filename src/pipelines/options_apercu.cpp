#include "pipelines/options_apercu.h"

#include "analysis/texte_court.h"
#include "pipelines/superposer.h"
#include "pipelines/viewgraph.h"
#include "platform/preferences.h"

namespace korvan {

bool EnvoyerReglageApercu(ReglageApercu reglage, int dureeIncrust, ISuperposerParam3* superposer,
                          IDatecoderConfig* datecoder)
{
    switch (reglage) {
    case ReglageApercu::Police:
        if (!superposer)
            return false;
        EnvoyerPolice(*superposer, prefIncrustFont);
        return true;
    case ReglageApercu::TailleAuto:
        if (!superposer)
            return false;
        superposer->SetAutoFontSize(prefAutoFontSize);
        return true;
    case ReglageApercu::IncrustAuto:
        if (!datecoder)
            return false;
        datecoder->SetAutoInlay(prefAutoIncrust);
        datecoder->SetAutoDuration(dureeIncrust);
        return true;
    case ReglageApercu::Decalage:
        if (!datecoder)
            return false;
        datecoder->SetHourOffset(prefDecalageHoraire);
        return true;
    case ReglageApercu::Format:
        if (!datecoder)
            return false;
        datecoder->SetFormat(ChaineCourte(prefFormatAfficher));
        return true;
    }
    return false;
}

void MajApercuOptions(Tviewdm& apercu, ReglageApercu reglage, int dureeIncrust)
{
    if (EnvoyerReglageApercu(reglage, dureeIncrust, apercu.superposer(), apercu.datecoder()))
        apercu.RafraichirApercu();
}

} // namespace korvan
