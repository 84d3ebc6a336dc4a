#include "commands/services_commandes.h"

#include "commands/renommer_sans_ecraser.h"
#include "pipelines/ConvertirDVunit.h"
#include "platform/corbeille.h"
#include "platform/erreur_systeme.h"
#include "platform/etat_programme.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace korvan {

OuvreurExterne& ServicesCommandes::ouvreurEffectif() const
{
    return ouvreur ? *ouvreur : ouvreurSysteme();
}

TCdm& ServicesCommandes::conversionEffective() const
{
    return conversion ? *conversion : moduleConversion();
}

void ServicesCommandes::attendreFinConversion() const
{
    if (attendreConversion) {
        attendreConversion();
        return;
    }
    const TCdm& cdm = conversionEffective();
    while (!conversionTerminee && !abandonDemande) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        // The run's end is queued to this thread: once it is over, one more turn delivers it.
        if (cdm.fini() && !QCoreApplication::instance())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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
