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
    void AfficherApropos(int page) override
    {
        f_.montrerPanneaux(false, true);
        if (f_.crochets.afficherPageApropos)
            f_.crochets.afficherPageApropos(f_, page);
    }
    void FermerFenetre() override { f_.close(); }
    bool prendrePlaylistEnAttente() override { return f_.prendrePlaylistEnAttente(); }
    void LirePlaylistParDefaut() override { f_.LirePlaylist(prefDossierPlayList + kNomPlaylistDefaut); }

private:
    TUIForm& f_;
};

} // namespace

struct LigneCommandeFenetre::Etat {
    QStringList arguments;
    std::optional<IssueDemarrage> issue;
};

LigneCommandeFenetre::LigneCommandeFenetre(TUIForm& fenetre, QStringList arguments)
    : etat_(std::make_shared<Etat>())
{
    etat_->arguments = std::move(arguments);
    auto etat = etat_;
    fenetre.crochets.construireSwitches = [](TUIForm& f) {
        ConstruireSwitches(f.table());
        tableLigneCommande = LignesTableSwitches(f.table());
    };
    fenetre.crochets.ligneCommande = [etat](TUIForm& f) {
        if (DecisionDemarrage(etat->arguments) == ModeLigneCommande::Cache)
            if (auto* boite = dynamic_cast<BoiteMessageQt*>(&f.boite()))
                boite->surSortieErreur = true;
        FenetreQt fenetreQt(f);
        etat->issue = DemarrerLigneCommande(fenetreQt, etat->arguments);
        return *etat->issue == IssueDemarrage::EnAttente;
    };
    fenetre.crochets.ligneCommandePendante = [etat](TUIForm& f) {
        FenetreQt fenetreQt(f);
        LigneCommandePremierePeinture(fenetreQt, etat->arguments);
    };
    fenetre.crochets.libererSwitches = [](TUIForm&) { LibererSwitches(); };
}

std::optional<IssueDemarrage> LigneCommandeFenetre::issue() const
{
    return etat_->issue;
}

} // namespace korvan
