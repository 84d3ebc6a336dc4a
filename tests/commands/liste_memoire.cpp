#include "liste_memoire.h"

#include "platform/preferences.h"

namespace korvan::test {

ListeMemoire::ListeMemoire(ContexteEntree contexte) : ordreAvant_(prefOrdreListe)
{
    prefOrdreListe = otAlpha;
    liste.fabrique = [contexte](const QString& chemin) { return std::make_shared<const TAfficherFichier>(chemin, contexte); };
    liste.selectionALOuverture = [] { return false; };
}

ListeMemoire::~ListeMemoire()
{
    prefOrdreListe = ordreAvant_;
}

int ListeMemoire::AjouterFichier(const QString& chemin)
{
    const int k = liste.AjouterFichier(chemin);
    MajStatut();
    return k;
}

EntreePtr ListeMemoire::entree(int index) const
{
    return index >= 0 && index < nombreLignes() ? liste.entree(index) : nullptr;
}

bool ListeMemoire::estSelectionnee(int index) const
{
    return index >= 0 && index < nombreLignes() && liste.estSelectionnee(index);
}

void ListeMemoire::activerListe(bool active)
{
    liste.activerListe(active);
    journal << QStringLiteral("activerListe(%1)").arg(active ? 1 : 0);
}

void ListeMemoire::MajStatut()
{
    journal << QStringLiteral("MajStatut");
    liste.selectionnerFocus();
}

void ListeMemoire::MajCommandes()
{
    journal << QStringLiteral("MajCommandes");
    if (liste.listeActive())
        actionsDesactivees_ = false;
}

void ListeMemoire::SelectionChangee()
{
    journal << QStringLiteral("SelectionChangee");
    MajStatut();
    MajCommandes();
}

void ListeMemoire::desactiverActionsListeEtMulti()
{
    journal << QStringLiteral("desactiverActions");
    actionsDesactivees_ = true;
}

QStringList ListeMemoire::noms() const
{
    QStringList l;
    for (int i = 0; i < nombreLignes(); ++i)
        l << liste.entree(i)->nom;
    return l;
}

QStringList ListeMemoire::nomsSelectionnes() const
{
    QStringList l;
    for (int i = 0; i < nombreLignes(); ++i)
        if (liste.estSelectionnee(i))
            l << liste.entree(i)->nom;
    return l;
}

QString ListeMemoire::nomCourant() const
{
    const EntreePtr e = entreeCourante();
    return e ? e->nom : QString();
}

void ListeMemoire::toutSelectionner(bool selectionnee)
{
    if (selectionnee)
        liste.selectionnerTout();
    else
        liste.deselectionnerTout();
}

} // namespace korvan::test
