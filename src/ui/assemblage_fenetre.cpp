#include "ui/assemblage_fenetre.h"

#include "commands/chmodule.h"
#include "integration/plugins.h"
#include "pipelines/presence_filtres.h"
#include "platform/preferences.h"
#include "platform/traductions_qt.h"
#include "ui/ligne_commande_fenetre.h"
#include "ui/main.h"

#include <QApplication>
#include <QScreen>

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
        const QScreen* ecran = fenetre.screen() ? fenetre.screen() : QGuiApplication::primaryScreen();
        const QRect zone = ecran ? ecran->availableGeometry() : QRect();
        // A window larger than the screen is brought down to it first, so
        // that its default place, centred, is on the screen.
        const QSize cadre = fenetre.frameGeometry().size();
        if (zone.isValid() && (cadre.width() > zone.width() || cadre.height() > zone.height())) {
            const QSize bords = cadre - fenetre.size();
            fenetre.resize(std::min(fenetre.width(), zone.width() - bords.width()),
                           std::min(fenetre.height(), zone.height() - bords.height()));
        }
        ChargerPreferences({zone.size(), fenetre.frameGeometry().size()});
        QPoint place(prefLeft, prefTop);
        // A place saved on a screen that is gone (a monitor unplugged) would
        // leave the window out of reach: it comes back centred.
        if (zone.isValid() && !SurUnEcran(place)) {
            place = zone.topLeft() + QPoint(positionCentree(zone.width(), fenetre.frameGeometry().width()),
                                            positionCentree(zone.height(), fenetre.frameGeometry().height()));
        }
        fenetre.move(place);
        fenetre.AppliquerPreferencesApercu();
    }
    void RecueillirPreferences(TUIForm& fenetre) override
    {
        prefLeft = fenetre.x();
        prefTop = fenetre.y();
        fenetre.RecueillirPreferencesApercu();
        etatActions = fenetre.table().RecueillirChoix();
        SauverPreferences();
    }

private:
    // Whether the title bar's corner at that place lies on a screen.
    static bool SurUnEcran(QPoint place)
    {
        const QPoint coin = place + QPoint(16, 8);
        for (const QScreen* e : QGuiApplication::screens())
            if (e->availableGeometry().contains(coin))
                return true;
        return false;
    }
};

class CommandesIntegrees : public PieceCommandes {
public:
    void EnregistrerCommandes(Tch& module) override
    {
        module.TextesCommandes();
        korvan::EnregistrerCommandes(module);
        // After the built-ins: on a name clash the built-in command is found first.
        ChargerPlugins();
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
    pieces.apercu = std::make_unique<Tviewdm>();
    return pieces;
}

std::unique_ptr<TUIForm> AssemblerFenetre(QStringList arguments)
{
    static const bool traductions = qApp && ChargerTraductionsQt(*qApp);
    (void)traductions;
    return std::make_unique<TUIForm>(PiecesLivrees(std::move(arguments)));
}

} // namespace korvan
