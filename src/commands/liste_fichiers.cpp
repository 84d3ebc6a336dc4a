#include "commands/liste_fichiers.h"

#include "analysis/chemins.h"
#include "platform/preferences.h"

#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace korvan {

TOrdreTri OrdreValide(int valeur)
{
    return valeur >= otDatecode && valeur <= otDateFichier ? TOrdreTri(valeur) : otDatecode;
}

const QString& CleSelonOrdre(const TAfficherFichier& e, TOrdreTri ordre)
{
    switch (ordre) {
    case otAlpha: return e.cleAlpha;
    case otTaille: return e.cleTaille;
    case otDateFichier: return e.cleDateFichier;
    case otDatecode: break;
    }
    return e.cleDatecodeNom;
}

QString SuffixeCompteur(TOrdreTri ordre)
{
    switch (ordre) {
    case otAlpha: return QStringLiteral(" - tri alphabétique");
    case otTaille: return QStringLiteral(" - tri selon taille");
    case otDateFichier: return QStringLiteral(" - tri selon date du fichier");
    case otDatecode: break;
    }
    return QStringLiteral(" - tri selon datecode");
}

QString PhrasePlaylist(TOrdreTri ordre)
{
    switch (ordre) {
    case otAlpha: return QStringLiteral(" par ordre alphabétique");
    case otTaille: return QStringLiteral(" selon la taille");
    case otDateFichier: return QStringLiteral(" selon la date du fichier");
    case otDatecode: break;
    }
    return QStringLiteral(" selon datecode");
}

const QStringList& extensionsVideo()
{
    static const QStringList extensions{QStringLiteral("avi")};
    return extensions;
}

bool ExtensionAcceptee(const QString& chemin)
{
    // Views, not copies: every file of a load goes through here.
    const qsizetype point = chemin.lastIndexOf(QLatin1Char('.'));
    if (point < 0 || point < chemin.lastIndexOf(QLatin1Char('/')))
        return false;
    const QStringView ext = QStringView(chemin).mid(point + 1);
    for (const QString& e : extensionsVideo())
        if (ext.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ListePrincipale::ListePrincipale(QObject* parent)
    : QAbstractListModel(parent)
{
    fabrique = [](const QString& chemin) {
        ContexteEntree ctx;
        ctx.formatAfficher = prefFormatAfficher;
        return std::make_shared<const TAfficherFichier>(chemin, ctx);
    };
    selectionALOuverture = [] { return prefSelectionOuverture; };
    connect(&selection_, &QItemSelectionModel::selectionChanged, this, &ListePrincipale::compterSelection);
    connect(&selection_, &QItemSelectionModel::currentChanged, this, [this] {
        courante_.reset();
        emit selectionModifiee();
    });
}

ListePrincipale::~ListePrincipale() = default;

QVariant ListePrincipale::data(const QModelIndex& i, int role) const
{
    if (role != Qt::DisplayRole || !i.isValid() || i.row() >= nombre())
        return {};
    return lignes_[size_t(i.row())]->texte;
}

// The count follows the selection's own changes, so the counter costs nothing on long lists.
void ListePrincipale::compterSelection(const QItemSelection& choisies, const QItemSelection& quittees)
{
    for (const QItemSelectionRange& r : choisies)
        nbSelectionnees_ += r.height();
    for (const QItemSelectionRange& r : quittees)
        nbSelectionnees_ -= r.height();
    emit selectionModifiee();
}

TOrdreTri ListePrincipale::ordre() const
{
    return OrdreValide(prefOrdreListe);
}

int ListePrincipale::comparer(const Cle& a, const Cle& b) const
{
    const int c = comparerTri(a, b);
    return c != 0 ? c : QString::compare(a.chemin, b.chemin, Qt::CaseSensitive);
}

// Two paths differing only in letter case name one file on a case-insensitive
// volume (a camcorder card, a Windows disk) and two files elsewhere.
bool ListePrincipale::memeFichier(const QString& a, const QString& b) const
{
    if (a == b)
        return true;
    struct stat sa {}, sb {};
    return ::stat(CheminLocal(a).c_str(), &sa) == 0 && ::stat(CheminLocal(b).c_str(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int ListePrincipale::chercherCle(const Cle& c, bool& trouve) const
{
    trouve = false;
    // Keys equal but for letter case are neighbours: check them for the same file.
    auto parCle = [this](const Ligne* x, const Cle& y) { return comparerTri(x->cle, y) < 0; };
    const auto debut = std::lower_bound(lignes_.begin(), lignes_.end(), c, parCle);
    // Equal keys are few (the same name but for case): walked, not searched.
    auto fin = debut;
    while (fin != lignes_.end() && comparerTri((*fin)->cle, c) == 0)
        ++fin;
    for (auto it = debut; it != fin; ++it) {
        if (memeFichier((*it)->cle.chemin, c.chemin)) {
            trouve = true;
            return int(it - lignes_.begin());
        }
    }
    const auto place = std::lower_bound(debut, fin, c,
                                        [this](const Ligne* x, const Cle& y) { return comparer(x->cle, y) < 0; });
    return int(place - lignes_.begin());
}

ListePrincipale::Cle ListePrincipale::cleDe(const TAfficherFichier& e, TOrdreTri o) const
{
    const QString& cle = CleSelonOrdre(e, o);
    return Cle{cle, e.chemin, {}};
}

void ListePrincipale::inserer(int k, std::shared_ptr<const TAfficherFichier> entree, Cle cle, bool choisie)
{
    beginInsertRows({}, k, k);
    auto l = std::make_unique<Ligne>();
    l->texte = entree->nom;
    l->entree = std::move(entree);
    l->cle = std::move(cle);
    lignes_.insert(size_t(k), std::move(l));
    endInsertRows(); // the focused line moves with its entry
    if (choisie)
        selection_.select(index(k), QItemSelectionModel::Select);
    if (focus() < 0)
        selection_.setCurrentIndex(index(0), QItemSelectionModel::NoUpdate);
}

void ListePrincipale::retirer(int k)
{
    // Deselected first, so the count never depends on how the view drops a removed line.
    selection_.select(index(k), QItemSelectionModel::Deselect);
    beginRemoveRows({}, k, k);
    lignes_.erase(size_t(k));
    endRemoveRows();
}

int ListePrincipale::AjouterFichier(const QString& chemin)
{
    if (chemin.isEmpty() || !ExtensionAcceptee(chemin))
        return -1;
    // The entry looks the file up itself: a missing file or a folder is not taken.
    std::shared_ptr<const TAfficherFichier> entree = fabrique(chemin);
    if (!entree->existe)
        return -1;
    Cle cle = cleDe(*entree, ordre());
    bool existe = false;
    const int k = chercherCle(cle, existe);
    if (!existe) {
        const bool choisir = selectionALOuverture && selectionALOuverture();
        inserer(k, std::move(entree), std::move(cle), choisir);
    } else {
        // The newer entry wins; the line keeps its text and place.
        lignes_[size_t(k)]->entree = std::move(entree);
        emit dataChanged(index(k), index(k));
    }
    selectionnerFocus();
    return k;
}

int ListePrincipale::IndexDeChemin(const QString& chemin) const
{
    for (int i = 0; i < nombre(); ++i)
        if (lignes_[size_t(i)]->entree->chemin == chemin)
            return i;
    return -1;
}

void ListePrincipale::RetirerEntree(int index)
{
    if (index < 0 || index >= nombre())
        return;
    const int f = focus();
    retirer(index);
    // The focus moves up from a removed line, to the new first line from the first.
    if (f >= index)
        focaliserSansOubli(f > 0 ? f - 1 : (lignes_.empty() ? -1 : 0));
}

void ListePrincipale::RemplacerParNouveau(const QString& chemin)
{
    const int i = IndexDeChemin(chemin);
    if (i >= 0)
        RetirerEntree(i);
    AjouterFichier(chemin);
}

void ListePrincipale::RelireEntree(int i)
{
    if (i < 0 || i >= nombre())
        return;
    lignes_[size_t(i)]->entree = fabrique(lignes_[size_t(i)]->entree->chemin);
    emit dataChanged(index(i), index(i));
}

void ListePrincipale::RenommerEntree(int i, const QString& nouveauChemin)
{
    if (i < 0 || i >= nombre())
        return;
    // A line already showing the new path gives way, so one file has one line.
    const int autre = IndexDeChemin(CheminAbsolu(nouveauChemin));
    if (autre >= 0 && autre != i) {
        RetirerEntree(autre);
        if (autre < i)
            --i;
    }
    // Another focused line follows its entry by itself (the focus is a persistent index).
    const bool etaitFocus = focus() == i;
    std::shared_ptr<const TAfficherFichier> entree = fabrique(nouveauChemin);
    retirer(i);
    Cle cle = cleDe(*entree, ordre());
    bool existe = false;
    const int k = chercherCle(cle, existe);
    inserer(k, std::move(entree), std::move(cle), true);
    if (etaitFocus)
        focaliserSansOubli(k);
}

bool ListePrincipale::ReconstruireListe(TOrdreTri o)
{
    if (lignes_.empty())
        return false;
    // A layout change: the view's selection and focused line follow their entries.
    emit layoutAboutToBeChanged();
    const QModelIndexList avant = persistentIndexList();
    std::vector<const TAfficherFichier*> entreesAvant;
    for (const QModelIndex& i : avant)
        entreesAvant.push_back(lignes_[size_t(i.row())]->entree.get());
    std::vector<std::unique_ptr<Ligne>> anciennes = lignes_.toutPrendre();
    prefOrdreListe = o;
    for (std::unique_ptr<Ligne>& l : anciennes) {
        l->cle = cleDe(*l->entree, o);
        bool existe = false;
        const int k = chercherCle(l->cle, existe);
        lignes_.insert(size_t(k), std::move(l));
    }
    QModelIndexList apres;
    for (const TAfficherFichier* e : entreesAvant)
        apres << index(indexDeEntree(e));
    changePersistentIndexList(avant, apres);
    emit layoutChanged();
    return true;
}

void ListePrincipale::TrierListe(TOrdreTri o)
{
    if (ReconstruireListe(o))
        selectionnerFocus();
}

void ListePrincipale::Vider()
{
    beginResetModel();
    // Entries are freed from the last line to the first.
    while (!lignes_.empty())
        lignes_.pop_back();
    endResetModel();
    selection_.reset();
    nbSelectionnees_ = 0;
    courante_.reset();
    emit selectionModifiee();
}

std::vector<int> ListePrincipale::selection() const
{
    std::vector<int> s;
    for (const QModelIndex& i : selection_.selectedRows())
        s.push_back(i.row());
    std::sort(s.begin(), s.end());
    return s;
}

void ListePrincipale::selectionner(int i, bool oui)
{
    if (i < 0 || i >= nombre() || estSelectionnee(i) == oui)
        return;
    selection_.select(index(i), oui ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void ListePrincipale::selectionnerTout()
{
    if (!lignes_.empty())
        selection_.select(QItemSelection(index(0), index(nombre() - 1)), QItemSelectionModel::Select);
}

void ListePrincipale::deselectionnerTout()
{
    selection_.clearSelection();
}

void ListePrincipale::focaliser(int i)
{
    courante_.reset();
    // -1 (or a line that does not exist) leaves the focus where it is, unless the list is empty.
    if (i >= 0 && i < nombre())
        focaliserSansOubli(i);
    else if (lignes_.empty())
        selection_.clearCurrentIndex();
    emit selectionModifiee();
}

void ListePrincipale::focaliserSansOubli(int i)
{
    if (i < 0)
        selection_.clearCurrentIndex();
    else if (focus() != i)
        selection_.setCurrentIndex(index(i), QItemSelectionModel::NoUpdate);
}

EntreePtr ListePrincipale::entreeCourante() const
{
    if (courante_)
        return courante_;
    const int f = focus();
    return f >= 0 && f < nombre() ? lignes_[size_t(f)]->entree : nullptr;
}

void ListePrincipale::activerListe(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    emit activationModifiee(active);
}

void ListePrincipale::selectionnerFocus()
{
    const int f = focus();
    if (f >= 0 && f < nombre())
        selectionner(f, true);
}

QString ListePrincipale::texteCompteur() const
{
    const int n = nombreSelectionnees();
    return QString::number(n) + QStringLiteral(" fichier") + (n >= 2 ? QStringLiteral("s") : QString()) + QStringLiteral(" sur ")
        + QString::number(nombre()) + SuffixeCompteur(ordre());
}

QString ListePrincipale::texteInfobulle() const
{
    const int n = nombreSelectionnees();
    const QString s = n >= 2 ? QStringLiteral("s") : QString();
    return QString::number(n) + QStringLiteral(" fichier") + s + QStringLiteral(" sélectionné") + s + QStringLiteral(" sur ")
        + QString::number(nombre()) + QStringLiteral("\r\nTapez F6 pour masquer la liste.");
}

} // namespace korvan
