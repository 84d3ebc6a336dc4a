#pragma once
// The list of clips every command works on: one line per file entry, kept in
// the order of the current sort key, with its selection and focused line.
// The window shows it; the command runner updates it after each command.
#include "analysis/aviFichier.h"
#include "commands/collation_liste.h"
#include "commands/interfaces_fenetre.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace korvan {

enum TOrdreTri : uint8_t { otDatecode = 0, otAlpha = 1, otTaille = 2, otDateFichier = 3 };

// The order a stored value selects; values outside 0-3 (a hand-edited
// setting) sort by datecode, the default order.
TOrdreTri OrdreValide(int valeur);
// The key of an entry for an order.
const QString& CleSelonOrdre(const TAfficherFichier& entree, TOrdreTri ordre);
// " - tri selon datecode"... and " selon datecode"... for the counter and playlists.
QString SuffixeCompteur(TOrdreTri ordre);
QString PhrasePlaylist(TOrdreTri ordre);

// Accepted extensions, without dot, compared without regard to case.
const QStringList& extensionsVideo();
bool ExtensionAcceptee(const QString& chemin);

// The list of the main window, as an item model the window's list view shows
// directly. Its selection and focused line are a selection model the view
// shares: a click and a command change the same state, nothing is mirrored.
class ListePrincipale : public QAbstractListModel, public ListeFichiers {
    Q_OBJECT
public:
    explicit ListePrincipale(QObject* parent = nullptr);
    ~ListePrincipale() override;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : nombre(); }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The selection and the focused line (its current index), for the view.
    QItemSelectionModel* modeleSelection() { return &selection_; }

    int nombre() const { return int(lignes_.size()); }
    int nombreLignes() const override { return nombre(); }
    EntreePtr entree(int i) const override { return lignes_[size_t(i)]->entree; }
    // The line's text: the file name when the line was made (a replaced entry keeps it).
    const QString& texte(int i) const { return lignes_[size_t(i)]->texte; }
    bool estSelectionnee(int i) const override { return selection_.isSelected(index(i)); }
    // From the selection's ranges, not line by line.
    std::vector<int> selection() const override;
    // Counted as lines change, so the counter text costs nothing on long lists.
    int nombreSelectionnees() const override { return nbSelectionnees_; }
    void selectionner(int i, bool oui) override;
    void selectionnerTout();
    void deselectionnerTout();
    int focus() const { return selection_.currentIndex().isValid() ? selection_.currentIndex().row() : -1; }
    int ligneFocus() const override { return focus(); }
    void focaliser(int i);
    void definirFocus(int i) override { focaliser(i); }
    // The entry of the focused line, or none.
    EntreePtr entreeCourante() const override;
    void imposerEntreeCourante(const EntreePtr& entree) override { courante_ = entree; }
    // The window's list box refuses clicks and keys while a command runs.
    void activerListe(bool active) override;
    bool listeActive() const { return active_; }
    // The focused line is always selected (after every change of list or selection).
    void selectionnerFocus();

    TOrdreTri ordre() const;

    int AjouterFichier(const QString& chemin);
    int IndexDeChemin(const QString& chemin) const override;
    void RetirerEntree(int index) override;
    void RemplacerParNouveau(const QString& chemin) override;
    void RelireEntree(int index) override;
    void RenommerEntree(int index, const QString& nouveauChemin) override;
    // Rebuilds the lines in a new order; false (order unchanged) when the list is empty.
    bool ReconstruireListe(TOrdreTri ordre);
    // Sorts, keeping the selection and the current entry.
    void TrierListe(TOrdreTri ordre);
    void Vider();

    // "3 fichiers sur 10 - tri selon datecode"
    QString texteCompteur() const;
    // The list's tooltip.
    QString texteInfobulle() const;

    // How entries are built (tests replace it); by default with the display date format preference.
    std::function<std::shared_ptr<const TAfficherFichier>(const QString&)> fabrique;
    // Read when a line is added: select new lines ("Sélectionner à l'ouverture").
    std::function<bool()> selectionALOuverture;

signals:
    // The selection or the focused line changed, whoever changed it.
    void selectionModifiee();
    void activationModifiee(bool active);

private:
    struct Cle {
        QString cle;
        QString chemin; // exact path: distinct files never share a key
        // What comparisons keep of cle: each insertion makes a dozen.
        mutable CollationListe::Prefixe tri;
    };
    // A line holds its sort key: an insertion moves one block of pointers.
    struct Ligne {
        std::shared_ptr<const TAfficherFichier> entree;
        QString texte;
        Cle cle;
    };
    // Index of the key equal to c (the same file), or the insertion point with trouve false.
    int chercherCle(const Cle& c, bool& trouve) const;
    bool memeFichier(const QString& a, const QString& b) const;
    int comparer(const Cle& a, const Cle& b) const;
    int comparerTri(const Cle& a, const Cle& b) const { return collation_.comparer(a.tri, a.cle, b.tri, b.cle); }
    Cle cleDe(const TAfficherFichier& e, TOrdreTri ordre) const;
    void inserer(int k, std::shared_ptr<const TAfficherFichier> entree, Cle cle, bool choisie);
    void retirer(int k);
    // Moves the focus without touching the selection; -1 focuses no line.
    void focaliserSansOubli(int i);
    void compterSelection(const QItemSelection& choisies, const QItemSelection& quittees);

    // Owns its elements through plain pointers: an insertion in the middle
    // of a long list then moves a block of pointers at once (one memmove),
    // not strings and sort keys one by one.
    template <class T>
    class Possedes {
    public:
        Possedes() = default;
        Possedes(const Possedes&) = delete;
        Possedes& operator=(const Possedes&) = delete;
        ~Possedes() { clear(); }
        size_t size() const { return v_.size(); }
        bool empty() const { return v_.empty(); }
        T* operator[](size_t i) const { return v_[i]; }
        typename std::vector<T*>::const_iterator begin() const { return v_.begin(); }
        typename std::vector<T*>::const_iterator end() const { return v_.end(); }
        void insert(size_t k, std::unique_ptr<T> p)
        {
            v_.insert(v_.begin() + std::ptrdiff_t(k), p.get());
            p.release();
        }
        void erase(size_t k)
        {
            delete v_[k];
            v_.erase(v_.begin() + std::ptrdiff_t(k));
        }
        void pop_back()
        {
            delete v_.back();
            v_.pop_back();
        }
        void clear()
        {
            for (T* p : v_)
                delete p;
            v_.clear();
        }
        // Every element handed over, the container left empty.
        std::vector<std::unique_ptr<T>> toutPrendre()
        {
            std::vector<std::unique_ptr<T>> tous;
            tous.reserve(v_.size());
            for (T* p : v_)
                tous.emplace_back(p);
            v_.clear();
            return tous;
        }

    private:
        std::vector<T*> v_;
    };
    Possedes<Ligne> lignes_;
    QItemSelectionModel selection_{this};
    EntreePtr courante_; // imposed by a command-line run; wins over the focus while set
    int nbSelectionnees_ = 0;
    bool active_ = true;
    CollationListe collation_;
};

} // namespace korvan
