#include "ui/assemblage_fenetre.h"

#include "commands/chmodule.h"
#include "pipelines/presence_filtres.h"
#include "platform/preferences.h"
#include "ui/ligne_commande_fenetre.h"
#include "ui/main.h"

namespace korvan {

namespace {

class FiltresDuSysteme : public PieceFiltres {
public:
    void VerifierFiltres() override { korvan::VerifierFiltres(); }
};

// What the window itself keeps of the settings: its position and the
// choices of the "Commandes" list. The options panel adds its controls here.
class PreferencesFenetre : public PiecePreferences {
public:
    void AppliquerPreferences(TUIForm& fenetre) override
    {
        ChargerPreferences();
        fenetre.move(prefLeft, prefTop);
    }
    void RecueillirPreferences(TUIForm& fenetre) override
    {
        prefLeft = fenetre.x();
        prefTop = fenetre.y();
        etatActions = fenetre.table().RecueillirChoix();
        SauverPreferences();
    }
};

class CommandesIntegrees : public PieceCommandes {
public:
    void EnregistrerCommandes(Tch& module) override
    {
        module.TextesCommandes();
        korvan::EnregistrerCommandes(module);
    }
};

} // namespace

PiecesFenetre PiecesLivrees(QStringList arguments)
{
    PiecesFenetre pieces;
    pieces.filtres = std::make_unique<FiltresDuSysteme>();
    pieces.preferences = std::make_unique<PreferencesFenetre>();
    pieces.commandes = std::make_unique<CommandesIntegrees>();
    pieces.ligneCommande = std::make_unique<LigneCommandeFenetre>(std::move(arguments));
    return pieces;
}

std::unique_ptr<TUIForm> AssemblerFenetre(QStringList arguments)
{
    return std::make_unique<TUIForm>(PiecesLivrees(std::move(arguments)));
}

} // namespace korvan
