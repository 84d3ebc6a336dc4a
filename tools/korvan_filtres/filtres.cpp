#include "filtres.h"

#include "pipelines/presence_filtres.h"

#include <cstdio>

// Tab-separated, so a user or a script can pick out why a command is missing:
//   filtre  présent|absent  category  friendly name  implementation or reason
//   groupe  présent|absent  flag      report line
int afficherFiltres()
{
    using namespace korvan;
    const RegistreFiltres registre = RegistreFiltres::machine();
    const auto etat = [](bool present) { return present ? "présent" : "absent"; };
    for (const ConstatFiltre& c : registre.constats())
        std::printf("filtre\t%s\t%s\t%s\t%s\n", etat(c.present), qPrintable(nomCategorie(c.categorie)),
                    qPrintable(c.nomConvivial), qPrintable(c.detail));
    CatalogueFiltres catalogue;
    for (const LigneRapportFiltres& l : RapportFiltres(VerifierFiltres(registre, catalogue)))
        std::printf("groupe\t%s\t%s\t%s\n", etat(l.present), l.drapeau, qPrintable(l.texte));
    return 0;
}
