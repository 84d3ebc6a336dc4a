#include "commands/services_commandes.h"

#include "commands/renommer_sans_ecraser.h"
#include "platform/corbeille.h"

namespace korvan {

OuvreurExterne& ServicesCommandes::ouvreurEffectif() const
{
    return ouvreur ? *ouvreur : ouvreurSysteme();
}

bool ServicesCommandes::envoyerCorbeille(const QString& chemin) const
{
    return corbeille ? corbeille(chemin) : SupprimerVersCorbeille(chemin);
}

bool ServicesCommandes::renommerFichier(const QString& source, const QString& cible) const
{
    return renommer ? renommer(source, cible) : RenommerSansEcraser(source, cible);
}

} // namespace korvan
