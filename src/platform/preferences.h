#pragma once
// The program's settings: one global value each, read by every part that
// needs them; loaded at start-up, saved at exit or on request, erased on
// request. They are kept in the maker's settings (MagasinPreferences): the main
// values at the top of the program's file, the command states in the group
// "Actions", the overlay font in the group "IncrustFont".
#include "platform/boite_message.h"
#include "platform/magasin_preferences.h"
#include "platform/police_incrust.h"

#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>
#include <cstdint>

namespace korvan {

// Defaults of the settings that have fixed ones (the options panel falls back
// to them too).
namespace prefDefaut {
inline constexpr char formatAjouter[] = "dd.mm.yyyy_hh.nn.ss";
inline constexpr char formatAfficher[] = "dd/mm/yyyy hh:nn:ss";
inline constexpr char formatRenommer[] = "yyyymmdd_hh.nn.ss";
inline constexpr char racineRenommer[] = "ClipDV_";
inline constexpr int dureeIncrust = 5;
inline constexpr int incrustX = 920;
inline constexpr int incrustY = 120;
} // namespace prefDefaut

// prefStandard values.
inline constexpr uint8_t standardPal = 1;
inline constexpr uint8_t standardNtsc = 2;

extern int prefTop;                        // main window's top edge
extern int prefLeft;                       // main window's left edge
extern uint8_t prefOrdreListe;             // list sort order, 0 to 3
extern bool prefSauverPrefsEnQuittant;
extern bool prefSelectionOuverture;
extern bool prefSauverListeEnQuittant;
extern bool prefMemeDossier;               // convert beside the source
extern QString prefDossierOuvrir;
extern QString prefDossierAuto;
extern QString prefDossierSave;
extern QString prefDossierPlayList;
extern QString prefFichierStillex;
extern uint8_t prefStandard;               // standardPal or standardNtsc
extern QString prefFormatAjouter;
extern QString prefFormatAfficher;
extern QString prefFormatRenommer;
extern QString prefRacineRenommer;
extern bool prefAutoFontSize;
extern bool prefAutoIncrust;
extern int prefDureeIncrust;               // seconds
extern int prefDecalageHoraire;            // hours, -23 to 23
extern bool prefSendTo;
extern int prefIncrustX;                   // 0 to 1000
extern int prefIncrustY;                   // 0 to 1000
extern bool prefMute;
extern bool prefIncrustOn;
extern bool prefSlidersVisible;
extern PoliceIncrust prefIncrustFont;

// A window action's command state: -1 not in the "Commandes" list, 0 switched
// off by the user, 1 left on.
struct EtatAction {
    QString nom;
    int valeur = 0;
    bool operator==(const EtatAction&) const = default;
};
extern QList<EtatAction> etatActions;

// Sizes the default window position is centred from.
struct GeometrieFenetre {
    QSize ecran;
    QSize fenetre;
};
// (ecran - fenetre) / 2, rounded toward zero.
int positionCentree(int ecran, int fenetre);

// The values a save writes that are never read back.
struct EnTeteSauvegarde {
    QString versionProgramme;
    QString exename;   // the program file's full path
    QDateTime moment;  // local time of the save
    // This program, now.
    static EnTeteSauvegarde courante();
};

// Fills every setting, the font and etatActions from the store. Missing
// values, values that cannot be read as their type and numbers outside their
// range take their defaults; nothing is reported. Without any stored settings
// (first run, erased preferences) "Sendto" is on.
void ChargerPreferences(const MagasinPreferences& magasin, const GeometrieFenetre& geometrie = {});
void ChargerPreferences(const GeometrieFenetre& geometrie = {});

// Writes every setting, the font and etatActions (the "Actions" group is
// rewritten from scratch); errors are ignored.
void SauverPreferences(const MagasinPreferences& magasin, const EnTeteSauvegarde& entete);
void SauverPreferences();

// After the user's confirmation, removes the program's settings, and the
// maker's folder when nothing else of the maker remains; tells the user the
// outcome. True when the settings were removed.
bool EffacerPreferences(BoiteMessage& boite, const MagasinPreferences& magasin);
bool EffacerPreferences(BoiteMessage& boite);

// The folder with a path separator at its end (folder settings are used as
// prefixes of file names).
QString avecSeparateurFinal(const QString& dossier);

} // namespace korvan
