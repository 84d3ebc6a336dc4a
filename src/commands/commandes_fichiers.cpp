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
    if (EnvoyerCorbeilleOuSignaler(services, fichier->chemin,
                                   QStringLiteral("Il sans doute utilisé actuellement ou en lecture seule")))
        update = utDelete;
}

bool EnvoyerCorbeilleOuSignaler(const ServicesCommandes& services, const QString& chemin, const QString& raison)
{
    bool supprime = false;
    try {
        supprime = services.envoyerCorbeille(chemin);
    } catch (...) {
    }
    if (!supprime)
        services.signalerErreur(QStringLiteral("Impossible de supprimer ") + chemin + QStringLiteral("\r\n") + raison);
    return supprime;
}

namespace {

// Hands the entry to another program; a failure to start it changes nothing.
template <class Ouvrir>
void ouvrirEntree(const TAfficherFichier* fichier, TchUpdateType& update, Ouvrir&& ouvrir)
{
    update = utNone;
    if (!fichier)
        return;
    try {
        ouvrir(*fichier);
    } catch (...) {
    }
}

} // namespace

void DossierParentExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                            TchUpdateType& update)
{
    ouvrirEntree(fichier, update, [&](const TAfficherFichier& f) {
        services.ouvreurEffectif().ouvrirAvecBureau(DossierDeChemin(f.chemin));
    });
}

void DefaultPlayerExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                            TchUpdateType& update)
{
    ouvrirEntree(fichier, update, [&](const TAfficherFichier& f) { services.ouvreurEffectif().ouvrirAvecBureau(f.chemin); });
}

void StillexGeneralCondition(TParam&, bool& visible)
{
    const QFileInfo programme(prefFichierStillex);
    visible = !prefFichierStillex.isEmpty() && programme.exists() && !programme.isDir();
}

void StillexExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                      TchUpdateType& update)
{
    ouvrirEntree(fichier, update, [&](const TAfficherFichier& f) {
        services.ouvreurEffectif().demarrerProgramme(prefFichierStillex, {f.chemin});
    });
}

} // namespace korvan
