#include "integration/switches.h"

#include "platform/etat_programme.h"
#include "commands/actions_fenetre.h"
#include "commands/executeur.h"
#include "commands/registre_commandes.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace korvan {

namespace {

bool itemCoche(const TableActions& table, const ActionFenetre& a)
{
    return a.tag >= 0 && size_t(a.tag) < table.itemsCommandes.size() && table.itemsCommandes[size_t(a.tag)].coche;
}

QString ligneTable(const QString& fonction, const QString& lettre)
{
    return fonction + QStringLiteral("= +") + lettre;
}

enum class Suite { Continuer, FinPassage, FinTout };

// One switch over the entries listed when it starts.
Suite passage(FenetreLigneCommande& f, tFileAction& commande)
{
    ListeFichiers& liste = f.listeFichiers();
    std::vector<EntreePtr> travail;
    travail.reserve(size_t(std::max(0, liste.nombreLignes())));
    for (int i = 0; i < liste.nombreLignes(); ++i)
        travail.push_back(liste.entree(i));

    for (const EntreePtr& entree : travail) {
        f.executeurCommandes().pomper(false);
        if (abandonTout)
            return Suite::FinTout;
        if (abandonDemande) {
            abandonDemande = false;
            return Suite::FinPassage;
        }
        // An earlier step may have removed, renamed or replaced it.
        if (!entree || liste.indexDeEntree(entree.get()) < 0)
            continue;
        f.executeurCommandes().ExecuterEntreeLigneCommande(commande, entree);
        // Esc during the work stopped that work only.
        abandonDemande = false;
        if (abandonTout)
            return Suite::FinTout;
    }
    return Suite::Continuer;
}

void ajouterArguments(FenetreLigneCommande& f, const QStringList& arguments)
{
    f.DebutOperation(kTexteChargementLigneCommande);
    for (const QString& a : arguments)
        f.AjouterFichier(a);
    f.FinOperation();
}

} // namespace

void ConstruireSwitches(const TableActions& table)
{
    tableSwitches.clear();
    for (const ActionFenetre& a : table.actions) {
        const tFileAction* commande = CommandeDeAction(a.nom);
        if (!commande || commande->Switch().isEmpty())
            continue;
        // Actions with a switch go through a runner; the window's own handlers own none.
        const bool liee = ActionLiee(a, {});
        if (liee && !itemCoche(table, a))
            continue;
        tableSwitches.append({commande->Switch(), a.nom, liee, a.caption});
    }
}

QString TexteSwitchNonDisponible(const PaireSwitch& paire)
{
    return QStringLiteral("Commande non disponible dans cette version : ") +
           (paire.caption.isEmpty() ? paire.action : paire.caption) + QStringLiteral(" (+") + paire.texte +
           QLatin1Char(')');
}

void LibererSwitches()
{
    tableSwitches.clear();
}

QList<LigneTableSwitches> LignesTableSwitches(const TableActions& table)
{
    QStringList lignes;
    for (const PaireSwitch& p : tableSwitches) {
        if (!p.disponible)
            continue;
        const ActionFenetre* a = table.chercher(p.action);
        if (a && !a->caption.isEmpty())
            lignes << ligneTable(a->caption, p.texte);
    }
    lignes << ligneTable(QStringLiteral("Fermer après les commandes"), kSwitchFermer)
           << ligneTable(QStringLiteral("Masquer la fenêtre"), kSwitchCache)
           << ligneTable(QStringLiteral("Pas de confirmation"), kSwitchSansConfirmation)
           << ligneTable(QStringLiteral("Aide"), kSwitchAide);
    QCollator tri(QLocale(QLocale::French, QLocale::France));
    tri.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(lignes.begin(), lignes.end(), [&tri](const QString& x, const QString& y) { return tri.compare(x, y) < 0; });

    QList<LigneTableSwitches> table2;
    for (const QString& l : lignes) {
        const qsizetype egal = l.indexOf(QLatin1Char('='));
        table2.append({l.left(egal), l.mid(egal + 1)});
    }
    return table2;
}

int ExecuterSwitches(FenetreLigneCommande& f, const QStringList& arguments)
{
    BoiteMessage& boite = f.boiteMessage();
    const int erreursAvant = boite.erreursSignalees();
    // Closing the window frees the table while a command may still run: work on a copy.
    const QList<PaireSwitch> table = tableSwitches;
    // The entries made current one by one give the focused line back at the end.
    struct FinCourante {
        ListeFichiers& liste;
        ~FinCourante() { liste.imposerEntreeCourante(nullptr); }
    } finCourante{f.listeFichiers()};
    for (const QString& argument : arguments) {
        if (!EstArgumentSwitch(argument))
            continue;
        for (const PaireSwitch& paire : table) {
            if (!ContientSwitch(argument, paire.texte))
                continue;
            if (!paire.disponible) {
                boite.montrer(GenreMessage::Erreur, TexteSwitchNonDisponible(paire), BoutonsMessage::OK);
                continue;
            }
            tFileAction* commande = CommandeDeAction(paire.action);
            if (!commande)
                continue;
            if (passage(f, *commande) == Suite::FinTout) {
                abandonDemande = false;
                abandonTout = false;
                return boite.erreursSignalees() - erreursAvant;
            }
        }
    }
    return boite.erreursSignalees() - erreursAvant;
}

IssueDemarrage DemarrerLigneCommande(FenetreLigneCommande& f, const QStringList& arguments)
{
    switch (DecisionDemarrage(arguments)) {
    case ModeLigneCommande::SansArguments:
        f.MajStatut();
        return IssueDemarrage::SansArguments;
    case ModeLigneCommande::Fenetre:
        return IssueDemarrage::EnAttente;
    case ModeLigneCommande::Cache:
        break;
    }
    // "c", "m" and "?" are not looked at: no question is ever asked and the window always closes.
    sansConfirmation = true;
    const bool playlist = f.prendrePlaylistEnAttente();
    ajouterArguments(f, arguments);
    const int echecs = ExecuterSwitches(f, arguments);
    if (playlist)
        f.LirePlaylistParDefaut();
    f.FermerFenetre();
    return echecs > 0 ? IssueDemarrage::CacheeAvecEchecs : IssueDemarrage::CacheeTerminee;
}

int LigneCommandePremierePeinture(FenetreLigneCommande& f, const QStringList& arguments)
{
    ajouterArguments(f, arguments);
    const LettresFenetre lettres = AnalyserLettresFenetre(arguments);
    if (lettres.aide) {
        f.AfficherApropos(kPageAproposSysteme);
        sansConfirmation = false;
        if (lettres.fermer)
            f.FermerFenetre();
        return 0;
    }
    sansConfirmation = lettres.sansConfirmation;
    const int echecs = ExecuterSwitches(f, arguments);
    f.MajStatut();
    sansConfirmation = false;
    if (lettres.fermer)
        f.FermerFenetre();
    return echecs;
}

} // namespace korvan
