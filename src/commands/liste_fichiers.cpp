#include "commands/liste_fichiers.h"

#include "analysis/chemins.h"
#include "platform/preferences.h"

#include <QFileInfo>
#include <QLocale>
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
    const QString nom = NomDeFichier(chemin);
    const qsizetype point = nom.lastIndexOf(QLatin1Char('.'));
    if (point < 0)
        return false;
    const QString ext = nom.mid(point + 1);
    for (const QString& e : extensionsVideo())
        if (ext.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ListePrincipale::ListePrincipale(QObject* parent) : QObject(parent), collateur_(QLocale(QLocale::French, QLocale::France))
{
    collateur_.setCaseSensitivity(Qt::CaseInsensitive);
    fabrique = [](const QString& chemin) {
        ContexteEntree ctx;
        ctx.formatAfficher = prefFormatAfficher;
        return std::make_shared<const TAfficherFichier>(chemin, ctx);
    };
    selectionALOuverture = [] { return prefSelectionOuverture; };
}

ListePrincipale::~ListePrincipale() = default;

TOrdreTri ListePrincipale::ordre() const
{
    return OrdreValide(prefOrdreListe);
}

int ListePrincipale::comparer(const Cle& a, const Cle& b) const
{
    const int c = collateur_.compare(a.cle, b.cle);
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
    auto parCle = [this](const Cle& x, const Cle& y) { return collateur_.compare(x.cle, y.cle) < 0; };
    const auto debut = std::lower_bound(clesTri_.begin(), clesTri_.end(), c, parCle);
    const auto fin = std::upper_bound(debut, clesTri_.end(), c, parCle);
    for (auto it = debut; it != fin; ++it) {
        if (memeFichier(it->chemin, c.chemin)) {
            trouve = true;
            return int(it - clesTri_.begin());
        }
    }
    const auto place = std::lower_bound(debut, fin, c, [this](const Cle& x, const Cle& y) { return comparer(x, y) < 0; });
    return int(place - clesTri_.begin());
}

ListePrincipale::Cle ListePrincipale::cleDe(const TAfficherFichier& e, TOrdreTri o) const
{
    return Cle{CleSelonOrdre(e, o), e.chemin};
}

void ListePrincipale::inserer(int k, std::shared_ptr<const TAfficherFichier> entree, Cle cle)
{
    Ligne l;
    l.texte = entree->nom;
    l.entree = std::move(entree);
    clesTri_.insert(clesTri_.begin() + k, std::move(cle));
    lignes_.insert(lignes_.begin() + k, std::move(l));
    if (focus_ >= k)
        ++focus_; // the same entry stays current
    else if (focus_ < 0)
        focus_ = 0;
    emit ligneInseree(k);
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
        inserer(k, std::move(entree), std::move(cle));
        lignes_[size_t(k)].selectionnee = choisir;
        nbSelectionnees_ += choisir ? 1 : 0;
    } else {
        // The newer entry wins; the line keeps its text and place.
        lignes_[size_t(k)].entree = std::move(entree);
        emit ligneModifiee(k);
    }
    selectionnerFocus();
    return k;
}

int ListePrincipale::IndexDeChemin(const QString& chemin) const
{
    for (int i = 0; i < nombre(); ++i)
        if (lignes_[size_t(i)].entree->chemin == chemin)
            return i;
    return -1;
}

void ListePrincipale::RetirerEntree(int index)
{
    if (index < 0 || index >= nombre())
        return;
    const int f = focus_;
    if (lignes_[size_t(index)].selectionnee)
        --nbSelectionnees_;
    lignes_.erase(lignes_.begin() + index);
    clesTri_.erase(clesTri_.begin() + index);
    if (f >= index)
        focus_ = f > 0 ? f - 1 : (lignes_.empty() ? -1 : 0);
    emit ligneRetiree(index);
}

void ListePrincipale::RemplacerParNouveau(const QString& chemin)
{
    const int i = IndexDeChemin(chemin);
    if (i >= 0)
        RetirerEntree(i);
    AjouterFichier(chemin);
}

void ListePrincipale::RelireEntree(int index)
{
    if (index < 0 || index >= nombre())
        return;
    lignes_[size_t(index)].entree = fabrique(lignes_[size_t(index)].entree->chemin);
    emit ligneModifiee(index);
}

void ListePrincipale::RenommerEntree(int index, const QString& nouveauChemin)
{
    if (index < 0 || index >= nombre())
        return;
    // A line already showing the new path gives way, so one file has one line.
    const int autre = IndexDeChemin(CheminAbsolu(nouveauChemin));
    if (autre >= 0 && autre != index) {
        RetirerEntree(autre);
        if (autre < index)
            --index;
    }
    const int f = focus_;
    std::shared_ptr<const TAfficherFichier> entree = fabrique(nouveauChemin);
    Ligne ligne = std::move(lignes_[size_t(index)]);
    lignes_.erase(lignes_.begin() + index);
    clesTri_.erase(clesTri_.begin() + index);
    Cle cle = cleDe(*entree, ordre());
    bool existe = false;
    const int k = chercherCle(cle, existe);
    ligne.texte = entree->nom;
    ligne.entree = std::move(entree);
    if (!ligne.selectionnee)
        ++nbSelectionnees_;
    ligne.selectionnee = true;
    clesTri_.insert(clesTri_.begin() + k, std::move(cle));
    lignes_.insert(lignes_.begin() + k, std::move(ligne));
    if (f == index) {
        focus_ = k;
    } else if (f >= 0) {
        // Lines between the old and the new place shift by one.
        int g = f > index ? f - 1 : f;
        focus_ = g >= k ? g + 1 : g;
    }
    emit ligneDeplacee(index, k);
}

bool ListePrincipale::ReconstruireListe(TOrdreTri o)
{
    if (lignes_.empty())
        return false;
    const EntreePtr courante = entreeCourante();
    std::vector<Ligne> anciennes = std::move(lignes_);
    lignes_.clear();
    clesTri_.clear();
    prefOrdreListe = o;
    for (Ligne& l : anciennes) {
        Cle cle = cleDe(*l.entree, o);
        bool existe = false;
        const int k = chercherCle(cle, existe);
        clesTri_.insert(clesTri_.begin() + k, std::move(cle));
        lignes_.insert(lignes_.begin() + k, std::move(l));
    }
    focus_ = -1;
    for (int i = 0; i < nombre(); ++i)
        if (lignes_[size_t(i)].entree == courante)
            focus_ = i;
    emit listeReinitialisee();
    return true;
}

void ListePrincipale::TrierListe(TOrdreTri o)
{
    // Selection flags and the focused entry travel with their lines.
    if (ReconstruireListe(o))
        selectionnerFocus();
}

void ListePrincipale::Vider()
{
    // Entries are freed from the last line to the first.
    while (!lignes_.empty())
        lignes_.pop_back();
    clesTri_.clear();
    nbSelectionnees_ = 0;
    focus_ = -1;
    emit listeReinitialisee();
}


std::vector<int> ListePrincipale::selection() const
{
    std::vector<int> s;
    for (int i = 0; i < nombre(); ++i)
        if (lignes_[size_t(i)].selectionnee)
            s.push_back(i);
    return s;
}

void ListePrincipale::selectionner(int i, bool oui)
{
    if (i < 0 || i >= nombre() || lignes_[size_t(i)].selectionnee == oui)
        return;
    lignes_[size_t(i)].selectionnee = oui;
    nbSelectionnees_ += oui ? 1 : -1;
    emit selectionModifiee();
}

void ListePrincipale::selectionnerTout()
{
    for (Ligne& l : lignes_)
        l.selectionnee = true;
    nbSelectionnees_ = nombre();
    emit selectionModifiee();
}

void ListePrincipale::deselectionnerTout()
{
    for (Ligne& l : lignes_)
        l.selectionnee = false;
    nbSelectionnees_ = 0;
    emit selectionModifiee();
}

void ListePrincipale::focaliser(int i)
{
    courante_.reset();
    focus_ = (i >= 0 && i < nombre()) ? i : (lignes_.empty() ? -1 : focus_);
    emit selectionModifiee();
}

EntreePtr ListePrincipale::entreeCourante() const
{
    if (courante_)
        return courante_;
    return focus_ >= 0 && focus_ < nombre() ? lignes_[size_t(focus_)].entree : nullptr;
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
    if (focus_ >= 0 && focus_ < nombre())
        selectionner(focus_, true);
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
