#include "commands/services_commandes.h"

#include "commands/renommer_sans_ecraser.h"
#include "platform/corbeille.h"
#include "platform/erreur_systeme.h"

namespace korvan {

OuvreurExterne& ServicesCommandes::ouvreurEffectif() const
{
    return ouvreur ? *ouvreur : ouvreurSysteme();
}

bool ServicesCommandes::envoyerCorbeille(const QString& chemin) const
{
    return corbeille ? corbeille(chemin) : SupprimerVersCorbeille(chemin);
}

int ServicesCommandes::renommerFichier(const QString& source, const QString& cible) const
{
    return renommer ? renommer(source, cible) : RenommerSansEcraser(source, cible);
}

void ServicesCommandes::signalerErreur(const QString& texte) const
{
    if (!boite)
        return;
    try {
        boite->montrer(GenreMessage::Erreur, texte, BoutonsMessage::OK);
    } catch (...) {
        // Telling a failure must not turn it into another one.
    }
}

QString TexteEchec(const QString& quoi, int erreur)
{
    return quoi + QStringLiteral("\r\n") + TexteErreurSysteme(erreur);
}

} // namespace korvan
