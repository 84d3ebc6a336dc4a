#include "commands/commandes_fichiers.h"

#include "analysis/SRFichier.h"
#include "commands/noms_fichiers.h"
#include "platform/preferences.h"

#include <QFileInfo>

namespace korvan {

void oterfichierExecution(TParam&, const TAfficherFichier*, QString&, TchUpdateType& update)
{
    update = utDelete;
}

void SupprimerFichierFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && (fichier->attributs & faReadOnly) == 0;
}

void SupprimerFichierConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    const QString suite = QStringLiteral("\r\nSi oui, il sera envoyé à la corbeille.");
    const QString court = QStringLiteral("Voulez-vous vraiment supprimer ce fichier?") + suite;
    if (!fichier) {
        confirmMsg = court;
        return;
    }
    confirmMsg = QuestionCourte(
        {QStringLiteral("Voulez-vous vraiment supprimer le fichier ") + fichier->nom + QStringLiteral(" ?") + suite,
         court});
}

void SupprimerFichierExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                               QString&, TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    bool supprime = false;
    try {
        supprime = services.envoyerCorbeille(fichier->chemin);
    } catch (...) {
        supprime = false;
    }
    if (supprime) {
        update = utDelete;
        return;
    }
    if (services.boite) {
        try {
            services.boite->montrer(GenreMessage::Erreur,
                                    QStringLiteral("Impossible de supprimer ") + fichier->chemin +
                                        QStringLiteral("\r\nIl sans doute utilisé actuellement ou en lecture seule"),
                                    BoutonsMessage::OK);
        } catch (...) {
        }
    }
}

void DossierParentExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                            TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    try {
        services.ouvreurEffectif().ouvrirAvecBureau(DossierDeChemin(fichier->chemin));
    } catch (...) {
    }
}

void DefaultPlayerExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                            TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    try {
        services.ouvreurEffectif().ouvrirAvecBureau(fichier->chemin);
    } catch (...) {
    }
}

void StillexGeneralCondition(TParam&, bool& visible)
{
    const QFileInfo programme(prefFichierStillex);
    visible = !prefFichierStillex.isEmpty() && programme.exists() && !programme.isDir();
}

void StillexExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                      TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    try {
        services.ouvreurEffectif().demarrerProgramme(prefFichierStillex, {fichier->chemin});
    } catch (...) {
    }
}

} // namespace korvan
