#pragma once
// The about panel: what the program is, what the system offers it (the
// system report, written once at start-up), the command-line switches and
// the loaded plug-ins, each on its page.
#include "integration/plugins.h"
#include "pipelines/rapport_systeme.h"
#include "ui/panneau_fenetre.h"

class QLabel;
class QTableView;
class QTextBrowser;
class QTextEdit;

namespace korvan {

class BoiteMessage;

class TAproposFrame : public TPanneauFenetre, public SortieRapportSysteme {
    Q_OBJECT
public:
    // Pages, in their order (the switch "?" opens kPageAproposSysteme).
    enum Page { PageApropos = 0, PageSysteme = 1, PageLigneCommande = 2, PagePlugins = 3 };

    explicit TAproposFrame(QWidget* parent = nullptr);

    void internationalize();
    // Before each showing: the title, the about text, the page.
    void AfficherApropos(int page);
    int page() const;

    // The system report: cleared, then every line (start-up).
    void EcrireRapport(const std::vector<LigneRapportSysteme>& lignes, BoiteMessage& boite);
    // SortieRapportSysteme: one line in the current style.
    void vider() override;
    void definirStyle(StyleRapport style) override;
    void ecrire_noir(const QString& texte) override;
    void ecrire_rouge(const QString& texte) override;

    // The command-line table shows tableLigneCommande again (start-up, after it is built).
    void RemplirLigneCommande();

    // The plug-in page: emptied and its tab hidden; the lines of the
    // plug-ins' load (none: the tab stays hidden).
    void ViderPlugins();
    void AfficherPlugins(const std::vector<LignePlugins>& lignes);
    bool pagePluginsVisible() const;

    // The about text, ending with its last-update paragraph.
    static QString texteApropos();
    static QStringList aideLigneCommande();

    QTextBrowser* reAbout = nullptr;
    QTextEdit* reApropos = nullptr;
    QTableView* tableSwitches = nullptr;
    QLabel* labAideLigne = nullptr;
    QTextBrowser* rePlugins = nullptr;

private:
    void ajouterLigne(const QString& texte, bool rouge);

    StyleRapport style_ = StyleRapport::Gras;
    bool rapportVide_ = true;
    class ModeleLigneCommande* modeleLigne_ = nullptr;
};

} // namespace korvan
