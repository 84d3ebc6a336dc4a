#include "commands/registre_commandes.h"

namespace korvan {

void AjouterCommande(tFileAction* commande)
{
    if (commande)
        registreCommandes.append({commande->Name.toLower(), commande});
}

tFileAction* ChercherCommande(const QString& nom)
{
    const QString cle = nom.toLower();
    for (const CommandeEnregistree& e : registreCommandes)
        if (e.cle == cle)
            return e.commande;
    return nullptr;
}

tFileAction* CommandeDeAction(const QString& nomAction)
{
    const QString nom = nomAction.toLower();
    const QString prefixe = nom.left(2);
    if (prefixe != u"am" && prefixe != u"at" && prefixe != u"pm" && prefixe != u"pt")
        return nullptr;
    return ChercherCommande(nom.mid(2));
}

bool AppliquerModele(tFileAction& commande)
{
    if (commande.Modele().isEmpty())
        return true;
    const tFileAction* modele = nullptr;
    for (const CommandeEnregistree& e : registreCommandes) {
        if (e.commande && e.commande->Name == commande.Modele()) {
            modele = e.commande;
            break;
        }
    }
    if (!modele)
        return false;
    if (!commande.OnConfirmation)
        commande.OnConfirmation = modele->OnConfirmation;
    if (!commande.OnExecution)
        commande.OnExecution = modele->OnExecution;
    if (!commande.OnFileCondition)
        commande.OnFileCondition = modele->OnFileCondition;
    if (!commande.OnGeneralCondition)
        commande.OnGeneralCondition = modele->OnGeneralCondition;
    return true;
}

bool ConditionGenerale(tFileAction& commande)
{
    bool visible = true;
    if (commande.OnGeneralCondition) {
        try {
            commande.OnGeneralCondition(commande.Param, visible);
        } catch (...) {
            // A failing condition offers nothing rather than a command that cannot run.
            visible = false;
        }
    }
    return visible;
}

} // namespace korvan
