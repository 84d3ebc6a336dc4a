#include "ui/assemblage_fenetre.h"

#include "commands/chmodule.h"
#include "integration/plugins.h"
#include "pipelines/presence_filtres.h"
#include "platform/controles_options.h"
#include "platform/preferences.h"
#include "platform/traductions_qt.h"
#include "ui/ligne_commande_fenetre.h"
#include "ui/main.h"
#include "ui/options_frame.h"

#include <QApplication>
#include <QScreen>

namespace korvan {

namespace {

class FiltresDuSysteme : public PieceFiltres {
public:
    void VerifierFiltres() override { korvan::VerifierFiltres(); }
};

// The bridge between the settings and the window with its panels, step by
// step in the fixed orders.
class PreferencesFenetre : public PiecePreferences {
public:
    void AppliquerPreferences(TUIForm& fenetre) override
    {
        for (const EtapeAppliquer etape : etapesAppliquerPreferences()) {
            switch (etape) {
            case EtapeAppliquer::Charger:
                Charger(fenetre);
                break;
            case EtapeAppliquer::PlacerFenetre:
                Placer(fenetre);
                break;
            case EtapeAppliquer::SeparateursDossiers:
                AjouterSeparateursDossiers();
                break;
            case EtapeAppliquer::RemplirPanneau:
                RemplirPanneauOptions(*fenetre.options());
                break;
            case EtapeAppliquer::PositionIncrustation:
            case EtapeAppliquer::Son:
            case EtapeAppliquer::LegendeDatecode:
            case EtapeAppliquer::BarresIncrustation:
                fenetre.AppliquerPreferencesApercu(etape);
                break;
            }
        }
    }
    void RecueillirPreferences(TUIForm& fenetre) override
    {
        for (const EtapeRecueillir etape : etapesRecueillirPreferences()) {
            switch (etape) {
            case EtapeRecueillir::Panneau:
                RecueillirPanneauOptions(*fenetre.options());
                break;
            case EtapeRecueillir::PositionFenetre:
                prefLeft = fenetre.x();
                prefTop = fenetre.y();
                break;
            case EtapeRecueillir::Commandes:
                etatActions = fenetre.table().RecueillirChoix();
                break;
            case EtapeRecueillir::PositionIncrustation:
                fenetre.RecueillirPreferencesApercu();
                break;
            case EtapeRecueillir::Sauver:
                SauverPreferences();
                break;
            }
        }
    }

private:
    static QRect zoneEcran(const TUIForm& fenetre)
    {
        const QScreen* ecran = fenetre.screen() ? fenetre.screen() : QGuiApplication::primaryScreen();
        return ecran ? ecran->availableGeometry() : QRect();
    }
    // The window's default place is centred on the screen, so the window is
    // first brought down to the screen's size.
    static void Charger(TUIForm& fenetre)
    {
        const QRect zone = zoneEcran(fenetre);
        const QSize cadre = fenetre.frameGeometry().size();
        if (zone.isValid() && (cadre.width() > zone.width() || cadre.height() > zone.height())) {
            const QSize bords = cadre - fenetre.size();
            fenetre.resize(std::min(fenetre.width(), zone.width() - bords.width()),
                           std::min(fenetre.height(), zone.height() - bords.height()));
        }
        ChargerPreferences({zone.size(), fenetre.frameGeometry().size()});
    }
    static void Placer(TUIForm& fenetre)
    {
        const QRect zone = zoneEcran(fenetre);
        QPoint place(prefLeft, prefTop);
        // A place saved on a screen that is gone (a monitor unplugged) would
        // leave the window out of reach: it comes back centred.
        if (zone.isValid() && !SurUnEcran(place)) {
            place = zone.topLeft() + QPoint(positionCentree(zone.width(), fenetre.frameGeometry().width()),
                                            positionCentree(zone.height(), fenetre.frameGeometry().height()));
        }
        fenetre.move(place);
    }
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
