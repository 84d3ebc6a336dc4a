#include "commands/actions_fenetre.h"

#include "analysis/chemins.h"
#include "commands/interfaces_fenetre.h"
#include "commands/raccourcis.h"
#include "commands/registre_commandes.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace korvan {

namespace {

struct Ligne {
    const char* nom;
    const char* categorie;
    const char* caption;
    const char* raccourci;
    const char* secondaire;
    bool checkable;
    RunnerAction runner = RunnerAction::Aucun;
};

constexpr auto Cour = RunnerAction::SurCourante;
constexpr auto Sel = RunnerAction::SurSelection;
constexpr auto Long = RunnerAction::LongSurSelection;

// The action list, in its order. An empty shortcut on an "am" action is
// taken from its command when the commands are joined.
const Ligne kActions[] = {
    {"afQuitter", "permanent", "Quitter", "Alt+F4", "Ctrl+Q", false},
    {"afCollerFichiers", "vide", "Coller", "Ctrl+V", "", false},
    {"afOuvrirFichiers", "vide", "Ouvrir...", "Ctrl+O", "", false},
    {"afBasculerListe", "permanent", "Masquer la liste", "F6", "", false},
    {"afInterrompre", "permanent", "Interrompre", "Echap", "", false},
    {"afOrdreAlpha", "liste", "Ordre Alphabétique", "Alt+A", "", false},
    {"afOuvrirDossierPrefere", "vide", "Ouvrir le dossier préféré", "F7", "", false},
    {"afApropos", "permanent", "A propos...", "F1", "", true},
    {"amDossierParent", "mono", "Dossier parent", "Ctrl+F", "", false, Cour},
    {"amSupprimerFichier", "multi", "Supprimer le fichier", "Shift+Suppr", "", false, Sel},
    {"amOterFichier", "multi", "Oter le fichier", "Suppr", "", false, Sel},
    {"afViderListe", "liste", "Vider la Liste", "Ctrl+Suppr", "", false},
    {"afSelectionnerTout", "liste", "Sélectionner Tout", "Ctrl+A", "", false},
    {"avPlayStop", "mono", "Play ", "Barre d'Espace", "", false},
    {"avanceLow", "mono", "Avancer d'une image", "Ctrl+Right", "", false},
    {"reculeLow", "mono", "Reculer d'une image", "Ctrl+Left", "", false},
    {"avanceMedium", "mono", "Avancer d'une seconde", "Ctrl+Down", "", false},
    {"ReculeMedium", "mono", "Reculer d'une seconde", "Ctrl+Up", "", false},
    {"avanceHigh", "mono", "Avancer d'une minute", "Ctrl+PgDn", "", false},
    {"ReculeHigh", "mono", "Reculer d'une minute", "Ctrl+PgUp", "", false},
    {"AvanceScene", "mono", "Avancer d'une Scene", "F9", "ctrl+F9", false},
    {"ReculeScene", "mono", "Reculer d'une scène", "F8", "ctrl+F8", false},
    {"avFullscreen", "mono", "Plein écran", "Alt+Entrée", "", false},
    {"avMute", "mono", "Couper le son", "Ctrl+M", "", false},
    {"avAvanceFin", "mono", "Avancer à la Fin", "Ctrl+Fin", "", false},
    {"avReculeDebut", "mono", "Reculer au Début", "Ctrl+Home", "", false},
    {"afOuvrirTout", "vide", "Ouvrir Tout", "Ctrl+F7", "", false},
    {"afOuvrirunDossier", "vide", "Ouvrir un Dossier...", "Ctrl+L", "", false},
    {"amRiffHeader", "mono", "Lire l'en-tête RIFF", "Ctrl+H", "", false, Cour},
    {"amDefaultPlayer", "mono", "Lire dans le player par défaut", "F5", "", false, Cour},
    {"amAjouterDatecode", "multi", "Ajouter le datecode", "Ctrl+D", "", false, Sel},
    {"amAjouterTimecode", "multi", "Ajouter le timecode", "Ctrl+T", "", false, Sel},
    {"amPurgerNom", "multi", "Raccourcir le nom", "", "", false, Sel},
    {"amFileDate", "multi", "Modifier la date du fichier", "", "", false, Sel},
    {"amRenameScAn", "multi", "Renommer", "Ctrl+R", "", false, Sel},
    {"amDVType1", "multi", "Convertir en DV type 1", "", "", false, Long},
    {"amDVType2", "multi", "Convertir en DV type 2", "", "", false, Long},
    {"amNTSC", "multi", "Convertir en NTSC", "Ctrl+N", "", false, Long},
    {"amPal", "multi", "Convertir en Pal", "Ctrl+P", "", false, Long},
    {"amIncrusterDatecode", "multi", "Incruster le datecode", "Ctrl+I", "", false, Long},
    {"amConvertirDV", "multi", "Recompresser en DV type 2", "Ctrl+G", "", false, Long},
    {"amCreerScenes", "multi", "Créer un fichier scn", "Ctrl+S", "", false, Long},
    {"amSupprimerScenes", "multi", "Supprimer le fichier scn", "", "", false, Sel},
    {"amExtraireAudio", "multi", "Extraire l'audio", "Ctrl+W", "", false, Long},
    {"amCorrigerFps", "multi", "Corriger la fréquence vidéo", "Ctrl+Y", "", false, Long},
    {"afOptions", "permanent", "Options", "F10", "", true},
    {"amScenesText", "multi", "Exporter les scènes en texte", "", "", false, Long},
    {"afInterrompreTous", "permanent", "Interrompre tout", "Shift+Echap", "", false},
    {"afSauverListe", "liste", "Enregistrer la liste sous...", "Ctrl+J", "", false},
    {"afOuvrirPlayList", "vide", "Ouvrir une Playlist...", "Ctrl+U", "", false},
    {"afOuvrirDefaultPlayList", "vide", "Ouvrir la playlist par défaut", "Shift+F7", "", false},
    {"afStillex", "mono", "Ouvrir avec Stillex", "F2", "", false, Cour},
    {"alTriDatecode", "liste", "Trier selon datecode", "Alt+D", "", false},
    {"alTriTaille", "liste", "Trier selon la taille", "Alt+S", "", false},
    {"alTrierModify", "liste", "Trier selon la date du fichier", "Alt+F", "", false},
    {"amAfficherDatecode", "mono", "Afficher le datecode", "F12", "", false, Cour},
    {"amAfficherSliders", "mono", "Modifier la position de l'incrustation", "", "", false, Cour},
    {"amDecalerHoraire", "multi", "Corriger le décalage horaire", "", "", false, Long},
    {"amCorrigerCodec", "multi", "Modifier le codec", "Ctrl+K", "", false, Long},
};

bool commencePar(const QString& nom, const char* prefixe)
{
    return nom.startsWith(QLatin1String(prefixe), Qt::CaseInsensitive);
}

} // namespace

tFileAction* CommandeDuRunner(const ActionFenetre& action)
{
    if (action.runner == RunnerAction::Aucun)
        return nullptr;
    return action.commande.isEmpty() ? CommandeDeAction(action.nom) : ChercherCommande(action.commande);
}

bool ActionLiee(const ActionFenetre& action, const GereeParFenetre& gereeParFenetre)
{
    if (action.runner == RunnerAction::Aucun)
        return gereeParFenetre && gereeParFenetre(action.nom);
    const tFileAction* commande = CommandeDuRunner(action);
    return commande && commande->OnExecution;
}

int categorieIndex(const QString& c)
{
    if (c == QLatin1String("permanent"))
        return catPermanent;
    if (c == QLatin1String("vide"))
        return catVide;
    if (c == QLatin1String("liste"))
        return catListe;
    if (c == QLatin1String("mono"))
        return catMono;
    if (c == QLatin1String("multi"))
        return catMulti;
    return catAucune;
}

const QSet<int>& CategoriesSelon(bool panneauAffiche, int nombreLignes)
{
    // Shared sets: the state is asked for at every line a load adds.
    static const QSet<int> panneau{catPermanent};
    static const QSet<int> vide{catPermanent, catVide};
    static const QSet<int> une{catPermanent, catVide, catMono, catMulti};
    static const QSet<int> plusieurs{catPermanent, catVide, catListe, catMono, catMulti};
    if (panneauAffiche)
        return panneau;
    if (nombreLignes == 0)
        return vide;
    return nombreLignes < 2 ? une : plusieurs;
}

const std::vector<MenuPrincipal>& MenusPrincipaux()
{
    static const std::vector<MenuPrincipal> menus{
        {QStringLiteral("Fichiers"),
         {"afOuvrirFichiers", "afCollerFichiers", "afOuvrirunDossier", "afOuvrirDossierPrefere", "afOuvrirTout", "-",
          "afOuvrirPlayList", "afSauverListe", "afOuvrirDefaultPlayList", "-", "afBasculerListe", ">afOrdreAlpha",
          ">alTriDatecode", ">alTriTaille", ">alTrierModify", "-", "afQuitter"}},
        {QStringLiteral("Vidéo"),
         {"avPlayStop", "avFullscreen", "avMute", "-", "amDefaultPlayer", "afStillex", "amRiffHeader", "amCorrigerFps",
          "amCorrigerCodec", "-", "amDossierParent", "amOterFichier", "amSupprimerFichier"}},
        {QStringLiteral("Renommer"), {"amAjouterDatecode", "amAjouterTimecode", "amRenameScAn", "-", "amPurgerNom", "amFileDate"}},
        {QStringLiteral("Convertir"),
         {"amDVType1", "amDVType2", "amConvertirDV", "-", "amNTSC", "amPal", "-", "amIncrusterDatecode", "amDecalerHoraire",
          "amExtraireAudio"}},
        {QStringLiteral("Scènes"), {"amCreerScenes", "amSupprimerScenes", "amScenesText"}},
        {QStringLiteral("?"), {"afOptions", "afApropos"}},
    };
    return menus;
}

TableActions::TableActions()
{
    for (const Ligne& l : kActions) {
        ActionFenetre a;
        a.nom = QString::fromUtf8(l.nom);
        a.categorie = QString::fromUtf8(l.categorie);
        a.caption = QString::fromUtf8(l.caption);
        a.raccourci = TextToShortCut(QString::fromUtf8(l.raccourci));
        if (*l.secondaire)
            a.raccourcisSecondaires << TextToShortCut(QString::fromUtf8(l.secondaire));
        a.checkable = l.checkable;
        a.runner = l.runner;
        actions.push_back(a);
    }
    // The frame-grab action does not lead to its command by name.
    chercher(QStringLiteral("afStillex"))->commande = QStringLiteral("stillex");
    // The two DV type conversions use Ctrl with the numeric keypad's 1 and 2.
    chercher(QStringLiteral("amDVType1"))->raccourci = scCtrl | 97;
    chercher(QStringLiteral("amDVType2"))->raccourci = scCtrl | 98;
}

ActionFenetre* TableActions::chercher(const QString& nom)
{
    for (ActionFenetre& a : actions)
        if (a.nom == nom)
            return &a;
    return nullptr;
}

const ActionFenetre* TableActions::chercher(const QString& nom) const
{
    return const_cast<TableActions*>(this)->chercher(nom);
}

void TableActions::JoindreCommandes()
{
    for (const CommandeEnregistree& r : registreCommandes) {
        tFileAction& c = *r.commande;
        if (!AppliquerModele(c))
            continue; // its model names no command: left out of the window
        const QString nomAction = QStringLiteral("am") + c.Name.toLower();
        ActionFenetre* a = nullptr;
        for (ActionFenetre& x : actions)
            if (x.nom.toLower() == nomAction) {
                a = &x;
                break;
            }
        if (a) {
            const bool offerte = ConditionGenerale(c);
            a->visible = a->enabled = offerte;
            if (a->raccourci == 0)
                a->raccourci = c.codeRaccourci();
            if (a->caption.isEmpty())
                a->caption = c.Caption();
            if (a->categorie.isEmpty())
                a->categorie = QStringLiteral("multi");
            if (a->image < 0)
                a->image = kImageCommandeDefaut;
        } else if (!c.Caption().isEmpty()) {
            ActionFenetre n;
            n.nom = QStringLiteral("pm") + c.Name;
            n.categorie = QStringLiteral("multi");
            n.image = kImageCommandeDefaut;
            n.caption = c.Caption();
            n.raccourci = c.codeRaccourci();
            n.runner = RunnerAction::Action;
            n.visible = n.enabled = ConditionGenerale(c);
            actions.push_back(n);
            menusCommandes.push_back({QStringLiteral("mm") + c.Name, n.nom, c.Tag});
        }
    }
}

void TableActions::RetirerNonLiees(const GereeParFenetre& gereeParFenetre)
{
    for (ActionFenetre& a : actions)
        if (!ActionLiee(a, gereeParFenetre))
            a.visible = a.enabled = false;
}

QList<uint16_t> TableActions::RaccourcisEffectifs(const ActionFenetre& action) const
{
    QList<uint16_t> touches;
    if (action.raccourci)
        touches << action.raccourci;
    for (uint16_t s : action.raccourcisSecondaires) {
        const bool prise = std::any_of(actions.begin(), actions.end(), [&](const ActionFenetre& autre) {
            return &autre != &action && autre.raccourci == s && autre.visible && autre.enabled;
        });
        if (!prise)
            touches << s;
    }
    return touches;
}

void TableActions::RemplirCommandes()
{
    itemsCommandes.clear();
    for (ActionFenetre& a : actions) {
        a.tag = -1;
        if (!a.visible || a.caption.isEmpty())
            continue;
        ItemCommande item;
        item.texte = a.caption;
        if (a.raccourci != 0)
            item.texte += QStringLiteral(" (") + ShortCutToText(a.raccourci) + QLatin1Char(')');
        item.action = a.nom;
        item.fixe = commencePar(a.nom, "af");
        itemsCommandes.push_back(item);
    }
    QCollator tri(QLocale(QLocale::French, QLocale::France));
    tri.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(itemsCommandes.begin(), itemsCommandes.end(),
                     [&tri](const ItemCommande& x, const ItemCommande& y) { return tri.compare(x.texte, y.texte) < 0; });
    for (size_t i = 0; i < itemsCommandes.size(); ++i)
        chercher(itemsCommandes[i].action)->tag = int(i);
}

QString TableActions::CaptionStillex(const QString& fichierStillex)
{
    return QStringLiteral("Ouvrir avec ") + QFileInfo(fichierStillex).completeBaseName();
}

void TableActions::RestaurerChoix(const QList<EtatAction>& choix, const QString& fichierStillex)
{
    for (const EtatAction& e : choix) {
        const ActionFenetre* a = chercher(e.nom);
        if (a && a->tag >= 0)
            itemsCommandes[size_t(a->tag)].coche = e.valeur != 0;
    }
    if (ActionFenetre* s = chercher(QStringLiteral("afStillex"))) {
        if (s->tag >= 0)
            itemsCommandes[size_t(s->tag)].coche = QFileInfo(fichierStillex).isFile();
        s->caption = CaptionStillex(fichierStillex);
    }
}

QList<EtatAction> TableActions::RecueillirChoix() const
{
    QList<EtatAction> choix;
    for (const ActionFenetre& a : actions)
        choix.append({a.nom, a.tag < 0 ? -1 : (itemsCommandes[size_t(a.tag)].coche ? 1 : 0)});
    return choix;
}

bool TableActions::itemCoche(const ActionFenetre& a) const
{
    return a.tag >= 0 && size_t(a.tag) < itemsCommandes.size() && itemsCommandes[size_t(a.tag)].coche;
}

void TableActions::MajCommandes(const EtatFenetre& etat, const ListeFichiers& liste)
{
    const EntreePtr courante = liste.entreeCourante();
    // The selected lines, looked up once for every multi-file command.
    const std::vector<int> choisies = liste.nombreSelectionnees() > 0 ? liste.selection() : std::vector<int>{};
    for (ActionFenetre& a : actions) {
        const int cat = categorieIndex(a.categorie);
        if (!etat.listeVisible && cat == catListe) {
            a.visible = false;
            continue;
        }
        if (!etat.listeActive && (cat == catListe || cat == catMulti)) {
            a.enabled = false;
            continue;
        }
        if (a.tag < 0 || cat == catPermanent || cat == catVide)
            continue;
        const bool permis = etatCategories.contains(cat);
        tFileAction* commande = CommandeDeAction(a.nom);
        bool visible = false, enabled = false;
        if (permis && cat == catMulti) {
            visible = enabled = true;
            if (commande && commande->OnFileCondition && !choisies.empty()) {
                // Offered when at least one selected file allows it.
                visible = enabled = false;
                for (const int i : choisies) {
                    bool v = true, e = true;
                    commande->OnFileCondition(commande->Param, liste.entree(i).get(), v, e);
                    visible = visible || v;
                    enabled = enabled || e;
                }
            }
        } else {
            bool v = true, e = true;
            if (commande && courante && commande->OnFileCondition)
                commande->OnFileCondition(commande->Param, courante.get(), v, e);
            visible = permis && v;
            enabled = permis && v && e;
        }
        a.visible = visible && itemCoche(a);
        a.enabled = enabled && itemCoche(a);
    }
}

bool TableActions::MenuVisible(int index, bool panneauAffiche) const
{
    if (index < 0 || size_t(index) >= MenusPrincipaux().size())
        return false;
    QStringList entrees = MenusPrincipaux()[size_t(index)].entrees;
    for (const EntreeMenuCommande& m : menusCommandes)
        if (m.menu == index)
            entrees << m.action;
    if (entrees.isEmpty())
        return false;
    if (panneauAffiche)
        return false;
    for (QString nom : entrees) {
        if (nom == QLatin1String("-"))
            continue;
        if (nom.startsWith(QLatin1Char('>')))
            nom = nom.mid(1);
        const ActionFenetre* a = chercher(nom);
        if (a && a->visible)
            return true;
    }
    return false;
}

} // namespace korvan
