#pragma once
// The runners: how a command reaches the current or selected entries, with
// its conditions, questions, progress display, abort keys and list updates.
// Everything runs on the window's thread; the window stays responsive
// because the runners pump its event queue between entries.
#include "commands/FileAction.h"
#include "commands/actions_fenetre.h"
#include "commands/interfaces_fenetre.h"
#include "platform/boite_message.h"

#include <QTimer>
#include <functional>

namespace korvan {

// The line added under a question asked in a run over several entries.
inline const QString kLigneTous =
    QStringLiteral("Si vous répondez \"Tous\", alors plus aucune confirmation ne sera demandée.");

class ExecuteurCommandes {
public:
    ExecuteurCommandes(ListeFichiers& liste, FenetreCommandes& fenetre, BoiteMessage& boite,
                       AffichageProgression& progression, ControleApercu& apercu);
    ~ExecuteurCommandes();
    ExecuteurCommandes(const ExecuteurCommandes&) = delete;
    ExecuteurCommandes& operator=(const ExecuteurCommandes&) = delete;

    // The handler of the window actions joined to commands: the action's
    // command (CommandeDeAction) on the selection, or on the current entry
    // for a single selected entry or an action of the category "mono".
    void ExecuterAction(const QString& nomAction, const QString& categorie);
    // An action's command through the runner the action names (nothing
    // without runner or command).
    void Executer(const ActionFenetre& action);
    void ExecuterSurCourante(tFileAction* commande);
    void ExecuterSurSelection(tFileAction* commande);
    // As ExecuterSurSelection, for commands that take long: the info panel
    // and preview follow each entry, and the list and multi actions are off.
    void ExecuterLongSurSelection(tFileAction* commande);
    // One execution on one entry, then the list update it asks for.
    void ExecuterSurFichier(tFileAction& commande, const EntreePtr& entree);
    // What a command-line switch does with one listed entry: it becomes the
    // current entry (focus and selection stay), its file condition is asked,
    // and when it allows the entry, the single-entry steps follow (question
    // unless sansConfirmation, progress, execution, list update).
    void ExecuterEntreeLigneCommande(tFileAction& commande, const EntreePtr& entree);

    void AfficherProgression(const QString& format, const TAfficherFichier* entree);
    void MasquerProgression();
    // The tick of convertTimer: follows the running conversion's position,
    // ends its wait when it reaches the duration, stops it on Esc.
    void convertTimerTimer();
    // The wait of a long command: pumps events until the running conversion
    // has finished (conversionTerminee) or Esc was pressed.
    void attendreFinConversion();

    const QTimer& convertTimer() const { return convertTimer_; }

    // Handles pending window events; attendre: block until at least one
    // arrives (a timer tick at the latest). Tests replace it with a script.
    std::function<void(bool attendre)> pomper;
    // Stops the running conversion graph, empties and deactivates it (the
    // program's conversion module unless replaced).
    std::function<void()> arreterConversion;

private:
    enum class Variante { Selection, Long, Action };
    enum class Reponse { Aucune, Oui, Non, Annuler, Tous };

    void boucleSelection(tFileAction& commande, Variante variante);
    void parcourir(tFileAction& commande, Variante variante, const std::vector<EntreePtr>& travail);
    void etapesUneEntree(tFileAction& commande, const EntreePtr& entree, bool modeAction);
    // Question (Yes/No) unless sansConfirmation, progress, execution.
    void confirmerEtExecuter(tFileAction& commande, const EntreePtr& entree);
    Reponse demander(const QString& question, bool quatreBoutons);

    ListeFichiers& liste_;
    FenetreCommandes& fenetre_;
    BoiteMessage& boite_;
    AffichageProgression& progression_;
    ControleApercu& apercu_;
    QTimer convertTimer_;
};

} // namespace korvan
