#include "commands/executeur.h"

#include "platform/etat_programme.h"
#include "analysis/format_texte.h"
#include "commands/registre_commandes.h"
#include "pipelines/ConvertirDVunit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <vector>

namespace korvan {

namespace {

// Shows the progress around one execution when the command has a status text.
class ProgressionAffichee {
public:
    ProgressionAffichee(ExecuteurCommandes& x, const QString& format, const TAfficherFichier* entree)
        : x_(x), active_(!format.isEmpty())
    {
        if (active_)
            x_.AfficherProgression(format, entree);
    }
    ~ProgressionAffichee()
    {
        if (active_)
            x_.MasquerProgression();
    }
    ProgressionAffichee(const ProgressionAffichee&) = delete;
    ProgressionAffichee& operator=(const ProgressionAffichee&) = delete;

private:
    ExecuteurCommandes& x_;
    bool active_;
};

QString demandeConfirmation(tFileAction& commande, const TAfficherFichier* entree)
{
    QString question;
    commande.OnConfirmation(commande.Param, entree, question);
    return ChaineCourte(question);
}

// The file condition's enabled answer; true without a condition. A condition
// that fails keeps the entry out.
bool conditionFichier(tFileAction& commande, const TAfficherFichier* entree)
{
    if (!commande.OnFileCondition)
        return true;
    bool visible = true;
    bool enabled = true;
    try {
        commande.OnFileCondition(commande.Param, entree, visible, enabled);
    } catch (...) {
        return false;
    }
    return enabled;
}

} // namespace

ExecuteurCommandes::ExecuteurCommandes(ListeFichiers& liste, FenetreCommandes& fenetre, BoiteMessage& boite,
                                       AffichageProgression& progression, ControleApercu& apercu)
    : liste_(liste), fenetre_(fenetre), boite_(boite), progression_(progression), apercu_(apercu)
{
    pomper = [](bool attendre) {
        QCoreApplication::processEvents(attendre ? QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents
                                                 : QEventLoop::AllEvents);
    };
    // The program's conversion module, which the commands run unless told otherwise.
    arreterConversion = [] { moduleConversion().DesactiverGraphe(); };
    convertTimer_.setInterval(250);
    QObject::connect(&convertTimer_, &QTimer::timeout, &convertTimer_, [this] { convertTimerTimer(); });
}

ExecuteurCommandes::~ExecuteurCommandes() = default;

void ExecuteurCommandes::ExecuterAction(const QString& nomAction, const QString& categorie)
{
    tFileAction* commande = CommandeDeAction(nomAction);
    if (!commande)
        return;
    const QString cat = categorie.toLower();
    if (cat == u"liste")
        return;
    const int selectionnees = liste_.nombreSelectionnees();
    if (selectionnees == 0 && cat != u"vide" && cat != u"permanent")
        return;
    if (selectionnees > 1 && cat != u"mono")
        boucleSelection(*commande, Variante::Action);
    else
        etapesUneEntree(*commande, liste_.entreeCourante(), true);
}

void ExecuteurCommandes::Executer(const ActionFenetre& action)
{
    const TravailEnCours travail;
    switch (action.runner) {
    case RunnerAction::Aucun:
        break;
    case RunnerAction::SurCourante:
        ExecuterSurCourante(CommandeDuRunner(action));
        break;
    case RunnerAction::SurSelection:
        ExecuterSurSelection(CommandeDuRunner(action));
        break;
    case RunnerAction::LongSurSelection:
        ExecuterLongSurSelection(CommandeDuRunner(action));
        break;
    case RunnerAction::Action:
        ExecuterAction(action.nom, action.categorie);
        break;
    }
}

void ExecuteurCommandes::ExecuterSurCourante(tFileAction* commande)
{
    if (!commande || liste_.nombreSelectionnees() == 0)
        return;
    etapesUneEntree(*commande, liste_.entreeCourante(), false);
}

void ExecuteurCommandes::ExecuterSurSelection(tFileAction* commande)
{
    if (commande)
        boucleSelection(*commande, Variante::Selection);
}

void ExecuteurCommandes::ExecuterLongSurSelection(tFileAction* commande)
{
    if (commande)
        boucleSelection(*commande, Variante::Long);
}

void ExecuteurCommandes::etapesUneEntree(tFileAction& commande, const EntreePtr& entree, bool modeAction)
{
    try {
        confirmerEtExecuter(commande, entree);
    } catch (...) {
        // A handler that lets an error escape ends the run; the closing steps still follow.
    }
    if (modeAction) {
        fenetre_.SelectionChangee();
    } else {
        fenetre_.MajStatut();
        fenetre_.MajCommandes();
    }
    abandonDemande = false;
    abandonTout = false;
}

void ExecuteurCommandes::confirmerEtExecuter(tFileAction& commande, const EntreePtr& entree)
{
    if (commande.OnConfirmation && !sansConfirmation) {
        const QString question = demandeConfirmation(commande, entree.get());
        if (!question.isEmpty() && demander(question, false) != Reponse::Oui)
            return;
    }
    ProgressionAffichee progression(*this, commande.MonoMessage(), entree.get());
    ExecuterSurFichier(commande, entree);
}

void ExecuteurCommandes::ExecuterEntreeLigneCommande(tFileAction& commande, const EntreePtr& entree)
{
    const TravailEnCours travail;
    liste_.imposerEntreeCourante(entree);
    if (!conditionFichier(commande, entree.get()))
        return;
    try {
        confirmerEtExecuter(commande, entree);
    } catch (...) {
        // A handler that lets an error escape loses its own entry only.
    }
}

void ExecuteurCommandes::boucleSelection(tFileAction& commande, Variante variante)
{
    if (liste_.nombreSelectionnees() == 0)
        return;
    liste_.activerListe(false);
    if (variante == Variante::Long)
        fenetre_.desactiverActionsListeEtMulti();
    if (variante == Variante::Action)
        apercu_.libererFichier();

    std::vector<EntreePtr> travail;
    for (int i = 0; i < liste_.nombreLignes(); ++i)
        if (liste_.estSelectionnee(i))
            travail.push_back(liste_.entree(i));
    for (int i = 0; i < liste_.nombreLignes(); ++i)
        liste_.selectionner(i, false);

    try {
        parcourir(commande, variante, travail);
    } catch (...) {
        // As in etapesUneEntree: the run ends, the list is given back below.
    }

    travail.clear();
    liste_.activerListe(true);
    if (variante == Variante::Action)
        apercu_.reprendreFichiers();
    fenetre_.SelectionChangee();
    abandonTout = false;
    if (variante == Variante::Selection)
        abandonDemande = false;
}

void ExecuteurCommandes::parcourir(tFileAction& commande, Variante variante, const std::vector<EntreePtr>& travail)
{
    const bool quatreBoutons = variante == Variante::Action || travail.size() >= 2;
    Reponse reponse = Reponse::Aucune;

    for (const EntreePtr& entree : travail) {
        if (variante == Variante::Action) {
            pomper(false);
            if (abandonDemande)
                return;
        }
        // An earlier step of this run may have removed or replaced the entry.
        const int index = liste_.indexDeEntree(entree.get());
        if (index < 0)
            continue;
        liste_.definirFocus(index);
        liste_.selectionner(index, true);
        switch (variante) {
        case Variante::Selection:
            pomper(false);
            if (abandonDemande)
                return;
            fenetre_.MajStatut();
            break;
        case Variante::Long:
            fenetre_.SelectionChangee();
            pomper(false);
            if (abandonDemande)
                return;
            break;
        case Variante::Action:
            fenetre_.MajStatut();
            break;
        }

        if (!conditionFichier(commande, entree.get()))
            continue;

        if (!commande.OnConfirmation || sansConfirmation)
            reponse = Reponse::Tous;
        if (reponse != Reponse::Tous) {
            const QString question = demandeConfirmation(commande, entree.get());
            reponse = question.isEmpty() ? Reponse::Oui : demander(question, quatreBoutons);
            if (reponse == Reponse::Annuler)
                return;
            if (reponse == Reponse::Non)
                continue;
        }

        {
            ProgressionAffichee progression(*this, commande.MonoMessage(), entree.get());
            ExecuterSurFichier(commande, entree);
        }

        abandonDemande = false;
        if (abandonTout)
            return;
    }
}

ExecuteurCommandes::Reponse ExecuteurCommandes::demander(const QString& question, bool quatreBoutons)
{
    if (!quatreBoutons) {
        // A box closed without an answer does nothing.
        return boite_.montrer(GenreMessage::Avertissement, question, BoutonsMessage::OuiNon) == ReponseMessage::Oui
                   ? Reponse::Oui
                   : Reponse::Non;
    }
    const QString texte = question + QStringLiteral("\r\n") + kLigneTous;
    switch (boite_.montrer(GenreMessage::Avertissement, texte, BoutonsMessage::OuiNonAnnulerTous)) {
    case ReponseMessage::Oui:
        return Reponse::Oui;
    case ReponseMessage::Non:
        return Reponse::Non;
    case ReponseMessage::Tous:
        return Reponse::Tous;
    default:
        // Closing the box (Esc, the window's close button) stops the run, as Cancel does.
        return Reponse::Annuler;
    }
}

void ExecuteurCommandes::ExecuterSurFichier(tFileAction& commande, const EntreePtr& entree)
{
    if (!commande.OnExecution)
        return;
    const int position = entree ? liste_.IndexDeChemin(entree->chemin) : -1;
    TParam copie = commande.Param;
    QString newfichier;
    TchUpdateType update = utNone;
    commande.OnExecution(copie, entree.get(), newfichier, update);
    switch (update) {
    case utAdd:
        liste_.RemplacerParNouveau(newfichier);
        break;
    case utDelete:
        if (position >= 0)
            liste_.RetirerEntree(position);
        break;
    case utModify:
        if (position >= 0)
            liste_.RelireEntree(position);
        break;
    case utRename:
        if (position >= 0)
            liste_.RenommerEntree(position, newfichier);
        break;
    default:
        break;
    }
}

void ExecuteurCommandes::AfficherProgression(const QString& format, const TAfficherFichier* entree)
{
    progression_.montrerCurseurPosition(false);
    progression_.definirJauge(0);
    progression_.montrerJauge(true);
    convertTimer_.start();
    progression_.texteStatut(Format(format, entree ? entree->nom : QString()));
}

void ExecuteurCommandes::MasquerProgression()
{
    convertTimer_.stop();
    progression_.montrerCurseurPosition(true);
    progression_.montrerJauge(false);
}

void ExecuteurCommandes::convertTimerTimer()
{
    try {
        if (abandonDemande) {
            conversionTerminee = true;
            if (arreterConversion)
                arreterConversion();
        }
        if (const ISuiviPosition* suivi = progressionConversion.load()) {
            const int64_t position = suivi->positionCourante();
            const int64_t duree = dureeConversion.load();
            if (duree > 0) {
                int pourcent = 0;
                if (position >= duree)
                    pourcent = 100;
                else if (position > 0)
                    pourcent = int(static_cast<__int128>(position) * 100 / duree);
                progression_.definirJauge(pourcent);
                if (position >= duree)
                    conversionTerminee = true;
            }
            if (convertTimer_.interval() != 100)
                convertTimer_.setInterval(100);
            if (!convertTimer_.isActive())
                convertTimer_.start();
        }
    } catch (...) {
        // A tick that fails is forgotten; the next one tries again.
    }
}

void ExecuteurCommandes::attendreFinConversion()
{
    // The tick is what notices the end of a conversion, so it must run during the wait.
    const bool demarree = !convertTimer_.isActive();
    if (demarree)
        convertTimer_.start();
    while (!conversionTerminee && !abandonDemande)
        pomper(true);
    // Esc may have come between two ticks: the conversion is stopped all the same.
    if (abandonDemande && !conversionTerminee)
        convertTimerTimer();
    if (demarree)
        convertTimer_.stop();
}

} // namespace korvan
