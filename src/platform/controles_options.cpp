#include "platform/controles_options.h"

#include "platform/dossiers_utilisateur.h"
#include "platform/envoyer_vers.h"
#include "platform/preferences.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace korvan {

namespace {

const QString programme = QStringLiteral("Korvan");

using C = ControleOptions;
using G = GenreControle;
using M = MomentEffet;
using P = PageOptions;

constexpr DescripteurControle descripteurs[] = {
    {C::cbPrefsQuittant, "cbPrefsQuittant", P::Preferences, G::Case, "Sauver les préférences en quittant", M::AuClic, false},
    {C::cbSendTo, "cbSendTo", P::Preferences, G::Case, "Raccourci dans Envoyer Vers...", M::AuClic, false},
    {C::cbSelection, "cbSelection", P::Preferences, G::Case, "Sélectionner à l'ouverture", M::ALaLecture, false},
    {C::cbListe, "cbListe", P::Preferences, G::Case, "Sauver la liste en quittant", M::AuRecueil, false},
    {C::rgStandard, "rgStandard", P::Preferences, G::Choix, "Standard par défaut", M::AuRecueil, false},
    {C::feFichierStillex, "feFichierStillex", P::Preferences, G::Fichier, "", M::AuRecueil, false},
    {C::cbAutoIncrust, "cbAutoIncrust", P::Preferences, G::Case, "auto", M::AuClic, true},
    {C::edDureeIncrust, "edDureeIncrust", P::Preferences, G::Entier, "durée en secondes", M::EnQuittant, true},
    {C::RxSpinEdit1, "RxSpinEdit1", P::Preferences, G::Decalage, "Décalage horaire", M::EnQuittantOuClic, true},
    {C::sbIncrustFont, "sbIncrustFont", P::Preferences, G::Police, "Choisir la police", M::ApresDialogue, true},
    {C::cbAutoFontSize, "cbAutoFontSize", P::Preferences, G::Case, "taille automatique", M::AuClic, true},
    {C::edAjouter, "edAjouter", P::Formats, G::Texte, "Format pour ajouter datecode", M::EnQuittant, false},
    {C::edAfficher, "edAfficher", P::Formats, G::Texte, "Format pour afficher le datecode", M::EnQuittant, false},
    {C::edRacine, "edRacine", P::Formats, G::Texte, "Racine pour renommer", M::EnQuittant, false},
    {C::edRenommer, "edRenommer", P::Formats, G::Texte, "Format pour renommer", M::EnQuittant, false},
    {C::edDossierOuvrir, "edDossierOuvrir", P::Dossiers, G::Dossier, "Dossier par défaut pour ouvrir des vidéos",
     M::EnQuittantOuDialogue, false},
    {C::edDossierAuto, "edDossierAuto", P::Dossiers, G::Dossier, "Dossier préféré ( ouvert avec F7)", M::EnQuittant, false},
    {C::edDossierPlayList, "edDossierPlayList", P::Dossiers, G::Dossier, "Dossier par défaut pour PlayList ", M::AuRecueil,
     false},
    {C::cbsameFolder, "cbsameFolder", P::Dossiers, G::Case, "Convertir dans le même dossier", M::AuClic, false},
    {C::edDossierSave, "edDossierSave", P::Dossiers, G::Dossier, "Convertir dans le dossier suivant:",
     M::EnQuittantOuDialogue, false},
};

// The table is indexed by the enumeration.
constexpr bool tableDansLOrdre()
{
    for (size_t i = 0; i < std::size(descripteurs); ++i)
        if (size_t(descripteurs[i].controle) != i)
            return false;
    return true;
}
static_assert(tableDansLOrdre());

constexpr EtapeAppliquer etapesAppliquer[] = {
    EtapeAppliquer::Charger,         EtapeAppliquer::PlacerFenetre,        EtapeAppliquer::SeparateursDossiers,
    EtapeAppliquer::PositionIncrustation, EtapeAppliquer::Son,             EtapeAppliquer::LegendeDatecode,
    EtapeAppliquer::BarresIncrustation, EtapeAppliquer::RemplirPanneau,
};

constexpr EtapeRecueillir etapesRecueillir[] = {
    EtapeRecueillir::Panneau, EtapeRecueillir::PositionFenetre, EtapeRecueillir::Commandes,
    EtapeRecueillir::PositionIncrustation, EtapeRecueillir::Sauver,
};

// A whole number written in the box, signs and surrounding blanks allowed.
std::optional<int> entier(const QString& texte)
{
    bool ok = false;
    const int n = texte.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace

std::span<const DescripteurControle> descripteursOptions()
{
    return descripteurs;
}

const DescripteurControle& descripteur(ControleOptions controle)
{
    const size_t i = size_t(controle);
    if (i >= std::size(descripteurs))
        throw std::out_of_range("descripteur: unknown control");
    return descripteurs[i];
}

std::span<const EtapeAppliquer> etapesAppliquerPreferences()
{
    return etapesAppliquer;
}

std::span<const EtapeRecueillir> etapesRecueillirPreferences()
{
    return etapesRecueillir;
}

QString dossierSaisi(const QString& texte)
{
    return avecSeparateurFinal(texte.isEmpty() ? DossierPersonnel() : texte);
}

int dureeSaisie(const QString& texte)
{
    return entier(texte).value_or(prefDefaut::dureeIncrust);
}

int decalageSaisi(double valeur)
{
    if (!std::isfinite(valeur))
        return 0;
    return int(std::clamp(std::lround(valeur), -23L, 23L));
}

void EvenementOptions(ControleOptions controle, ControlesOptions& ui)
{
    switch (controle) {
    case C::cbPrefsQuittant:
        prefSauverPrefsEnQuittant = ui.coche(controle);
        break;
    case C::cbSendTo:
        // The entry follows the box at once; the setting is stored with the others.
        if (ui.coche(controle)) {
            CreerRaccourciEnvoyerVers(programme);
            prefSendTo = true;
        } else {
            SupprimerRaccourciEnvoyerVers(programme);
            prefSendTo = false;
        }
        break;
    case C::cbsameFolder:
        prefMemeDossier = ui.coche(controle);
        ui.activer(C::edDossierSave, !prefMemeDossier);
        break;
    case C::edDossierOuvrir:
        prefDossierOuvrir = dossierSaisi(ui.texte(controle));
        break;
    case C::edDossierAuto:
        prefDossierAuto = dossierSaisi(ui.texte(controle));
        break;
    case C::edDossierSave:
        prefDossierSave = dossierSaisi(ui.texte(controle));
        break;
    case C::edAjouter:
        prefFormatAjouter = ui.texte(controle);
        break;
    case C::edRacine:
        prefRacineRenommer = ui.texte(controle);
        break;
    case C::edRenommer:
        prefFormatRenommer = ui.texte(controle);
        break;
    case C::edAfficher:
        prefFormatAfficher = ui.texte(controle);
        ui.majApercu(ReglageApercu::Format, prefDureeIncrust);
        break;
    case C::cbAutoIncrust:
        prefAutoIncrust = ui.coche(controle);
        ui.activer(C::edDureeIncrust, prefAutoIncrust);
        ui.majApercu(ReglageApercu::IncrustAuto, dureeSaisie(ui.texte(C::edDureeIncrust)));
        break;
    case C::edDureeIncrust:
        prefDureeIncrust = dureeSaisie(ui.texte(controle));
        // The box shows the number kept, not a text that was refused.
        if (entier(ui.texte(controle)) != prefDureeIncrust)
            ui.ecrireTexte(controle, QString::number(prefDureeIncrust));
        ui.majApercu(ReglageApercu::IncrustAuto, prefDureeIncrust);
        break;
    case C::RxSpinEdit1:
        prefDecalageHoraire = decalageSaisi(ui.valeur(controle));
        ui.majApercu(ReglageApercu::Decalage, prefDureeIncrust);
        break;
    case C::sbIncrustFont:
        ui.majApercu(ReglageApercu::Police, prefDureeIncrust);
        break;
    case C::cbAutoFontSize:
        prefAutoFontSize = ui.coche(controle);
        ui.majApercu(ReglageApercu::TailleAuto, prefDureeIncrust);
        break;
    case C::cbSelection:
    case C::cbListe:
    case C::rgStandard:
    case C::feFichierStillex:
    case C::edDossierPlayList:
        break;
    }
}

void AjouterSeparateursDossiers()
{
    for (QString* dossier : {&prefDossierOuvrir, &prefDossierAuto, &prefDossierSave, &prefDossierPlayList})
        *dossier = avecSeparateurFinal(*dossier);
}

void RemplirPanneauOptions(ControlesOptions& ui)
{
    ui.ecrireTexte(C::edDossierOuvrir, prefDossierOuvrir);
    ui.dossierDepart(C::edDossierOuvrir, prefDossierOuvrir);
    ui.ecrireTexte(C::edDossierAuto, prefDossierAuto);
    ui.dossierDepart(C::edDossierAuto, prefDossierAuto);
    ui.ecrireTexte(C::edDossierPlayList, prefDossierPlayList);
    ui.cocher(C::cbPrefsQuittant, prefSauverPrefsEnQuittant);
    ui.cocher(C::cbSelection, prefSelectionOuverture);
    ui.cocher(C::cbListe, prefSauverListeEnQuittant);
    ui.cocher(C::cbsameFolder, prefMemeDossier);
    ui.activer(C::edDossierSave, !prefMemeDossier);
    // Converted files go beside their sources rather than nowhere; the box
    // keeps the stored choice, which the next save writes back.
    if (!QFileInfo(prefDossierSave).isDir())
        prefMemeDossier = true;
    ui.ecrireTexte(C::edDossierSave, prefDossierSave);
    ui.ecrireTexte(C::feFichierStillex, prefFichierStillex);
    ui.ecrireValeur(C::rgStandard, prefStandard - 1);
    ui.ecrireTexte(C::edAjouter, prefFormatAjouter);
    ui.ecrireTexte(C::edAfficher, prefFormatAfficher);
    ui.ecrireTexte(C::edRenommer, prefFormatRenommer);
    ui.ecrireTexte(C::edRacine, prefRacineRenommer);
    ui.ecrireTexte(C::edDureeIncrust, QString::number(prefDureeIncrust));
    ui.cocher(C::cbAutoIncrust, prefAutoIncrust);
    ui.activer(C::edDureeIncrust, prefAutoIncrust);
    ui.cocher(C::cbAutoFontSize, prefAutoFontSize);
    ui.cocher(C::cbSendTo, prefSendTo);
    // Every start creates or removes the entry as the setting says, so an
    // entry deleted by hand comes back while the setting is on.
    EvenementOptions(C::cbSendTo, ui);
    ui.ecrireValeur(C::RxSpinEdit1, prefDecalageHoraire);
}

void RecueillirPanneauOptions(const ControlesOptions& ui)
{
    prefDossierOuvrir = dossierSaisi(ui.texte(C::edDossierOuvrir));
    prefDossierAuto = dossierSaisi(ui.texte(C::edDossierAuto));
    prefDossierSave = dossierSaisi(ui.texte(C::edDossierSave));
    prefDossierPlayList = dossierSaisi(ui.texte(C::edDossierPlayList));
    prefFichierStillex = ui.texte(C::feFichierStillex);

    prefSauverPrefsEnQuittant = ui.coche(C::cbPrefsQuittant);
    prefSelectionOuverture = ui.coche(C::cbSelection);
    prefSauverListeEnQuittant = ui.coche(C::cbListe);
    prefMemeDossier = ui.coche(C::cbsameFolder);
    prefStandard = ui.valeur(C::rgStandard) >= 1 ? standardNtsc : standardPal;

    prefFormatAjouter = ui.texte(C::edAjouter);
    prefFormatAfficher = ui.texte(C::edAfficher);
    prefFormatRenommer = ui.texte(C::edRenommer);
    prefRacineRenommer = ui.texte(C::edRacine);

    prefAutoFontSize = ui.coche(C::cbAutoFontSize);
    prefAutoIncrust = ui.coche(C::cbAutoIncrust);
    // A text that is not a number gets what leaving the box would have given it.
    prefDureeIncrust = dureeSaisie(ui.texte(C::edDureeIncrust));
    prefDecalageHoraire = decalageSaisi(ui.valeur(C::RxSpinEdit1));
    prefSendTo = ui.coche(C::cbSendTo);
}

void EffacerPreferencesOptions(ControlesOptions& ui, BoiteMessage& boite)
{
    ui.cocher(C::cbPrefsQuittant, false);
    EffacerPreferences(boite);
    prefSauverPrefsEnQuittant = false;
}

QString TexteSansIncrustation()
{
    return QStringLiteral("\nLes filtres de Brannoc pour l'incrustation ne sont pas installés sur votre sytème, donc vous "
                          "ne pourrez pas faire d'incrustations dans l'image.")
           + QStringLiteral("\nPour installer ces filtres, téléchargez la dernière version de Korvan sur mon site web et "
                            "faites une installation complète. ");
}

} // namespace korvan
