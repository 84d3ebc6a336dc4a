#include "ui/ligne_commande_fenetre.h"

#include "commands/playlist.h"
#include "platform/preferences.h"
#include "ui/boite_message_qt.h"
#include "ui/main.h"

namespace korvan {

namespace {

class FenetreQt : public FenetreLigneCommande {
public:
    explicit FenetreQt(TUIForm& f) : f_(f) {}

    ListeFichiers& listeFichiers() override { return f_.liste(); }
    ExecuteurCommandes& executeurCommandes() override { return f_.executeur(); }
    BoiteMessage& boiteMessage() override { return f_.boite(); }
    void DebutOperation(const QString& texte) override { f_.DebutOperation(texte); }
    int AjouterFichier(const QString& chemin) override { return f_.AjouterFichier(chemin); }
    void FinOperation() override { f_.FinOperation(); }
    void MajStatut() override { f_.MajStatut(); }
    void AfficherApropos(int page) override { f_.montrerApropos(page); }
    void FermerFenetre() override { f_.close(); }
    bool prendrePlaylistEnAttente() override { return f_.prendrePlaylistEnAttente(); }
    void LirePlaylistParDefaut() override { f_.LirePlaylist(prefDossierPlayList + kNomPlaylistDefaut); }

private:
    TUIForm& f_;
};

} // namespace

void LigneCommandeFenetre::ConstruireSwitches(TUIForm& f)
{
    korvan::ConstruireSwitches(f.table());
    tableLigneCommande = LignesTableSwitches(f.table());
}

bool LigneCommandeFenetre::Demarrer(TUIForm& f)
{
    // Nobody can answer a box in hidden mode: its messages go to stderr.
    if (DecisionDemarrage(arguments_) == ModeLigneCommande::Cache)
        if (auto* boite = dynamic_cast<BoiteMessageQt*>(&f.boite()))
            boite->surSortieErreur = true;
    FenetreQt fenetreQt(f);
    issue_ = DemarrerLigneCommande(fenetreQt, arguments_);
    return *issue_ == IssueDemarrage::EnAttente;
}

void LigneCommandeFenetre::PremierePeinture(TUIForm& f)
{
    FenetreQt fenetreQt(f);
    echecsFenetre_ = LigneCommandePremierePeinture(fenetreQt, arguments_);
}

void LigneCommandeFenetre::Liberer(TUIForm&)
{
    LibererSwitches();
}

} // namespace korvan
