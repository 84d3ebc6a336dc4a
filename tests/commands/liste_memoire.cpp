#include "liste_memoire.h"

#include <QFileInfo>
#include <algorithm>

namespace korvan::test {

ListeMemoire::ListeMemoire(ContexteEntree contexte, CleTri cle) : contexte_(std::move(contexte)), cle_(std::move(cle))
{
    if (!cle_)
        cle_ = [](const TAfficherFichier& e) { return e.cleAlpha; };
}

EntreePtr ListeMemoire::construire(const QString& chemin) const
{
    return std::make_shared<const TAfficherFichier>(chemin, contexte_);
}

std::pair<int, bool> ListeMemoire::place(const QString& cle) const
{
    const auto it = std::lower_bound(lignes_.begin(), lignes_.end(), cle, [](const Ligne& l, const QString& c) {
        return QString::compare(l.cle, c, Qt::CaseInsensitive) < 0;
    });
    const bool egal = it != lignes_.end() && QString::compare(it->cle, cle, Qt::CaseInsensitive) == 0;
    return {int(it - lignes_.begin()), egal};
}

int ListeMemoire::AjouterFichier(const QString& chemin)
{
    const QFileInfo info(chemin);
    if (!info.isFile() || info.suffix().compare(QLatin1StringView("avi"), Qt::CaseInsensitive) != 0)
        return -1;
    EntreePtr e = construire(chemin);
    const QString cle = cle_(*e);
    const auto [k, egal] = place(cle);
    if (egal) {
        lignes_[size_t(k)].entree = std::move(e);
    } else {
        lignes_.insert(lignes_.begin() + k, Ligne{std::move(e), cle, false});
        // The focused entry stays the same one; a list that had no line gets its first focus.
        if (focus_ >= k)
            ++focus_;
        else if (focus_ < 0)
            focus_ = 0;
    }
    MajStatut();
    return k;
}

EntreePtr ListeMemoire::entree(int index) const
{
    return index >= 0 && index < nombreLignes() ? lignes_[size_t(index)].entree : nullptr;
}

bool ListeMemoire::estSelectionnee(int index) const
{
    return index >= 0 && index < nombreLignes() && lignes_[size_t(index)].selectionnee;
}

void ListeMemoire::selectionner(int index, bool selectionnee)
{
    if (index >= 0 && index < nombreLignes())
        lignes_[size_t(index)].selectionnee = selectionnee;
}

void ListeMemoire::definirFocus(int index)
{
    focus_ = index >= 0 && index < nombreLignes() ? index : -1;
}

void ListeMemoire::activerListe(bool active)
{
    active_ = active;
    journal << QStringLiteral("activerListe(%1)").arg(active ? 1 : 0);
}

int ListeMemoire::IndexDeChemin(const QString& chemin) const
{
    for (int i = 0; i < nombreLignes(); ++i)
        if (lignes_[size_t(i)].entree->chemin == chemin)
            return i;
    return -1;
}

void ListeMemoire::RetirerEntree(int index)
{
    if (index < 0 || index >= nombreLignes())
        return;
    const int f = focus_;
    lignes_.erase(lignes_.begin() + index);
    if (f >= index) {
        if (f > 0)
            focus_ = f - 1;
        else
            focus_ = lignes_.empty() ? -1 : 0;
    }
}

void ListeMemoire::RemplacerParNouveau(const QString& chemin)
{
    RetirerEntree(IndexDeChemin(chemin));
    AjouterFichier(chemin);
}

void ListeMemoire::RelireEntree(int index)
{
    if (index >= 0 && index < nombreLignes())
        lignes_[size_t(index)].entree = construire(lignes_[size_t(index)].entree->chemin);
}

void ListeMemoire::RenommerEntree(int index, const QString& nouveauChemin)
{
    if (index < 0 || index >= nombreLignes())
        return;
    const bool etaitFocus = focus_ == index;
    const EntreePtr entreeFocus = focus_ >= 0 ? lignes_[size_t(focus_)].entree : nullptr;

    Ligne ligne = lignes_[size_t(index)];
    lignes_.erase(lignes_.begin() + index);
    ligne.entree = construire(nouveauChemin);
    ligne.cle = cle_(*ligne.entree);
    ligne.selectionnee = true;
    // A line that already names the new path holds an entry of a file that is
    // no longer there (the name was free): the renamed file takes its place.
    auto [k, egal] = place(ligne.cle);
    if (egal)
        lignes_.erase(lignes_.begin() + k);
    lignes_.insert(lignes_.begin() + k, std::move(ligne));

    if (etaitFocus) {
        focus_ = k;
    } else {
        focus_ = indexDeEntree(entreeFocus.get());
        if (focus_ < 0 && entreeFocus)
            focus_ = k;
    }
}

void ListeMemoire::MajStatut()
{
    journal << QStringLiteral("MajStatut");
    courante_ = entree(focus_);
    selectionner(focus_, true);
}

void ListeMemoire::MajCommandes()
{
    journal << QStringLiteral("MajCommandes");
    if (active_)
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
    for (const Ligne& ligne : lignes_)
        l << ligne.entree->nom;
    return l;
}

QStringList ListeMemoire::nomsSelectionnes() const
{
    QStringList l;
    for (const Ligne& ligne : lignes_)
        if (ligne.selectionnee)
            l << ligne.entree->nom;
    return l;
}

void ListeMemoire::toutSelectionner(bool selectionnee)
{
    for (Ligne& l : lignes_)
        l.selectionnee = selectionnee;
}

} // namespace korvan::test
