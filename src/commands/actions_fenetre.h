#pragma once
// The window's actions as data: the fixed action table with categories,
// captions and shortcuts, the joining of file commands to actions and menus,
// the "Commandes" check list and the user's choices, and the rule that makes
// each action visible and enabled from the window state (MajCommandes).
// The window mirrors this state onto its QActions and menus.
#include "commands/FileAction.h"
#include "platform/preferences.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace korvan {

class ListeFichiers;

// Category numbers; any other name gives 0.
enum CategorieAction { catAucune = 0, catPermanent = 1, catVide = 2, catListe = 3, catMono = 4, catMulti = 5 };
int categorieIndex(const QString& categorie);
// The categories the window state allows.
const QSet<int>& CategoriesSelon(bool panneauAffiche, int nombreLignes);

// The runner an action's command goes through (the command catalogue names
// one per action); Aucun for the actions the window handles itself.
enum class RunnerAction : uint8_t { Aucun, SurCourante, SurSelection, LongSurSelection, Action };

struct ActionFenetre {
    QString nom;
    QString categorie;
    QString caption;
    uint16_t raccourci = 0;
    QList<uint16_t> raccourcisSecondaires;
    bool checkable = false;
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    int tag = -1;           // index of its item in the "Commandes" list, -1 when not listed
    int image = -1;
    RunnerAction runner = RunnerAction::Aucun;
    // The command its runner treats when the action's name does not lead to
    // it (afStillex); empty: CommandeDeAction of the name.
    QString commande;
};

// The command an action's runner treats, or null (no runner, no such command).
tFileAction* CommandeDuRunner(const ActionFenetre& action);
// Whether running the action does something: the window handles it, or its
// runner has a command with an execution.
using GereeParFenetre = std::function<bool(const QString& nomAction)>;
bool ActionLiee(const ActionFenetre& action, const GereeParFenetre& gereeParFenetre);

// A menu entry made for a command without an action of its own ("mm" + name).
struct EntreeMenuCommande {
    QString nom;
    QString action; // "pm" + name
    int menu = 0;   // top-level menu index (the command's Tag)
};

struct ItemCommande {
    QString texte;
    QString action;
    bool coche = true;
    bool fixe = false; // "af" actions cannot be switched off
};

// The fixed menus: action names, "-" for separators, ">" before the sort submenu's entries.
struct MenuPrincipal {
    QString titre;
    QStringList entrees;
};
const std::vector<MenuPrincipal>& MenusPrincipaux();

inline constexpr int kImageCommandeDefaut = 0;

class TableActions {
public:
    TableActions();

    std::vector<ActionFenetre> actions; // in action-list order
    std::vector<EntreeMenuCommande> menusCommandes;
    std::vector<ItemCommande> itemsCommandes; // sorted by text, ignoring case
    QSet<int> etatCategories{catPermanent, catVide};

    ActionFenetre* chercher(const QString& nom);
    const ActionFenetre* chercher(const QString& nom) const;

    // For each registered command in order: model, general condition, action or new "pm" action and "mm" entry.
    void JoindreCommandes();
    // An action that runs nothing is never offered: hidden and disabled for
    // good, and left out of the "Commandes" list (call before RemplirCommandes).
    void RetirerNonLiees(const GereeParFenetre& gereeParFenetre);
    void RemplirCommandes();
    // The saved choices, then the Stillex item checked exactly when its program exists.
    void RestaurerChoix(const QList<EtatAction>& choix, const QString& fichierStillex);
    QList<EtatAction> RecueillirChoix() const;

    struct EtatFenetre {
        bool listeVisible = false;
        bool listeActive = true;
        bool panneauAffiche = false; // options or about panel
    };
    void MajCommandes(const EtatFenetre& etat, const ListeFichiers& liste);
    // The keys that trigger the action now: its shortcut and secondary ones,
    // except a secondary key that an offered action holds as its own
    // shortcut (Ctrl+Q quits unless "Raccourcir le nom" is offered).
    QList<uint16_t> RaccourcisEffectifs(const ActionFenetre& action) const;
    // Whether a top-level menu shows (after MajCommandes).
    bool MenuVisible(int index, bool panneauAffiche) const;

    // Caption of afStillex: "Ouvrir avec " and the program's name without extension.
    static QString CaptionStillex(const QString& fichierStillex);

private:
    bool itemCoche(const ActionFenetre& a) const;
};

} // namespace korvan
