#pragma once
// The main window as the command line sees it, without a display: the real
// file list and command runner, message boxes answered from a script, and a
// journal of the window steps the command line asks for. The built-in
// commands are registered and joined to the window's actions as at start-up.
#include "platform/etat_programme.h"
#include "analysis/reglages_format.h"
#include "commands/actions_fenetre.h"
#include "commands/chmodule.h"
#include "commands/doubles_fenetre.h"
#include "commands/executeur.h"
#include "commands/liste_fichiers.h"
#include "commands/registre_commandes.h"
#include "platform/preferences.h"
#include "integration/switches.h"
#include "pipelines/presence_filtres.h"

#include <QFileInfo>
#include <QStringList>
#include <functional>
#include <ostream>

// Readable lists in failure messages.
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i)
        *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
    *os << '}';
}

namespace korvan::test {

class FenetreEssai : public FenetreLigneCommande, public FenetreCommandes {
public:
    FenetreEssai() : executeur(liste, *this, boite, progression, apercu)
    {
        executeur.pomper = [this](bool) {
            if (pendantPompe)
                pendantPompe();
        };
        tch.services.boite = &boite;
        tch.services.apercu = &apercu;
        tch.services.corbeille = [this](const QString& c) {
            corbeille << QFileInfo(c).fileName();
            return true;
        };
    }

    // Checks the filters, registers the commands and builds the window's actions, the "Commandes"
    // list with the given choices, and the switch table, as at start-up. The
    // window's own actions count as handled; a command runs something only
    // once its execution is set, before this call.
    void demarrer(const QList<EtatAction>& choix = {})
    {
        // The filters this machine offers decide the commands that need them.
        VerifierFiltres();
        tch.TextesCommandes();
        EnregistrerCommandes(tch);
        table.JoindreCommandes();
        table.RetirerNonLiees([](const QString&) { return true; });
        table.RemplirCommandes();
        table.RestaurerChoix(choix, QString());
        ConstruireSwitches(table);
    }

    // FenetreLigneCommande
    ListeFichiers& listeFichiers() override { return liste; }
    ExecuteurCommandes& executeurCommandes() override { return executeur; }
    BoiteMessage& boiteMessage() override { return boite; }
    void DebutOperation(const QString& texte) override { journal << QStringLiteral("DebutOperation ") + texte; }
    int AjouterFichier(const QString& chemin) override
    {
        const int k = liste.AjouterFichier(chemin);
        if (k >= 0)
            journal << QStringLiteral("AjouterFichier ") + QFileInfo(chemin).fileName();
        return k;
    }
    void FinOperation() override { journal << QStringLiteral("FinOperation"); }
    void MajStatut() override { journal << QStringLiteral("MajStatut"); }
    void AfficherApropos(int page) override { journal << QStringLiteral("AfficherApropos %1").arg(page); }
    void FermerFenetre() override
    {
        journal << QStringLiteral("FermerFenetre");
        // As the window's close request does.
        abandonDemande = true;
        abandonTout = true;
        LibererSwitches();
    }
    bool prendrePlaylistEnAttente() override
    {
        const bool p = playlistEnAttente;
        playlistEnAttente = false;
        return p;
    }
    void LirePlaylistParDefaut() override
    {
        journal << QStringLiteral("LirePlaylistParDefaut");
        for (const QString& c : playlist)
            liste.AjouterFichier(c);
    }

    // FenetreCommandes (the runner's refresh calls)
    void MajCommandes() override {}
    void SelectionChangee() override {}
    void desactiverActionsListeEtMulti() override {}

    QStringList noms() const
    {
        QStringList n;
        for (int i = 0; i < liste.nombre(); ++i)
            n << liste.entree(i)->nom;
        return n;
    }

    ListePrincipale liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes executeur;
    Tch tch;
    TableActions table;
    QStringList journal;
    QStringList corbeille;
    bool playlistEnAttente = false;
    QStringList playlist;
    std::function<void()> pendantPompe; // runs at each event pump of a run
};

// Program-wide state a command-line test changes, put back afterwards.
class EtatProgrammeSauve {
public:
    EtatProgrammeSauve()
        : ordre_(prefOrdreListe), ajouter_(prefFormatAjouter), afficher_(prefFormatAfficher),
          renommer_(prefFormatRenommer), racine_(prefRacineRenommer), selection_(prefSelectionOuverture),
          reglages_(reglagesFormatCourants())
    {
        prefOrdreListe = otDatecode;
        prefFormatAjouter = QString::fromLatin1(prefDefaut::formatAjouter);
        prefFormatAfficher = QString::fromLatin1(prefDefaut::formatAfficher);
        prefFormatRenommer = QString::fromLatin1(prefDefaut::formatRenommer);
        prefRacineRenommer = QString::fromLatin1(prefDefaut::racineRenommer);
        prefSelectionOuverture = false;
        definirReglagesFormat(ReglagesFormat::francais());
        abandonDemande = abandonTout = sansConfirmation = false;
    }
    ~EtatProgrammeSauve()
    {
        prefOrdreListe = ordre_;
        prefFormatAjouter = ajouter_;
        prefFormatAfficher = afficher_;
        prefFormatRenommer = renommer_;
        prefRacineRenommer = racine_;
        prefSelectionOuverture = selection_;
        definirReglagesFormat(reglages_);
        abandonDemande = abandonTout = sansConfirmation = false;
        registreCommandes.clear();
        LibererSwitches();
        tableLigneCommande.clear();
    }
    EtatProgrammeSauve(const EtatProgrammeSauve&) = delete;
    EtatProgrammeSauve& operator=(const EtatProgrammeSauve&) = delete;

private:
    uint8_t ordre_;
    QString ajouter_, afficher_, renommer_, racine_;
    bool selection_;
    ReglagesFormat reglages_;
};

} // namespace korvan::test
