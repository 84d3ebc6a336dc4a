#include "ui/apropos_frame.h"

#include "integration/switches.h"
#include "platform/identite_programme.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace korvan {

// The command-line rows as the switch table leaves them: one source, shown.
class ModeleLigneCommande : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(tableLigneCommande.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= tableLigneCommande.size())
            return {};
        const LigneTableSwitches& l = tableLigneCommande[index.row()];
        if (role == Qt::DisplayRole)
            return index.column() == 0 ? l.fonction : l.touches;
        if (role == Qt::ToolTipRole)
            return kInfobulleTableSwitches;
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? kTitreColonneFonction : kTitreColonneTouches;
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    void recharger()
    {
        beginResetModel();
        endResetModel();
    }
};

namespace {

QFont arial(int points = 10)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    return f;
}

} // namespace

TAproposFrame::TAproposFrame(QWidget* parent) : TPanneauFenetre(QStringLiteral("AproposFrame"), parent)
{
    reAbout = new QTextBrowser(pages);
    reAbout->setObjectName(QStringLiteral("reAbout"));
    reAbout->setOpenExternalLinks(true);
    reAbout->document()->setDefaultFont(arial());

    reApropos = new QTextEdit(pages);
    reApropos->setObjectName(QStringLiteral("reApropos"));
    reApropos->setReadOnly(true);
    reApropos->document()->setDefaultFont(arial());

    auto* ligne = new QWidget(pages);
    auto* h = new QHBoxLayout(ligne);
    modeleLigne_ = new ModeleLigneCommande(this);
    tableSwitches = new QTableView(ligne);
    tableSwitches->setObjectName(QStringLiteral("tableSwitches"));
    tableSwitches->setModel(modeleLigne_);
    tableSwitches->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableSwitches->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableSwitches->verticalHeader()->hide();
    tableSwitches->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tableSwitches->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tableSwitches->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    labAideLigne = new QLabel(ligne);
    labAideLigne->setObjectName(QStringLiteral("labAideLigne"));
    labAideLigne->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    h->addWidget(tableSwitches, 1);
    h->addWidget(labAideLigne);

    rePlugins = new QTextBrowser(pages);
    rePlugins->setObjectName(QStringLiteral("rePlugins"));
    QFont italique = arial();
    italique.setItalic(true);
    rePlugins->document()->setDefaultFont(italique);

    pages->addTab(reAbout, QString());
    pages->addTab(reApropos, QString());
    pages->addTab(ligne, QString());
    pages->addTab(rePlugins, QString());
    pages->setTabVisible(PagePlugins, false);
}

void TAproposFrame::internationalize()
{
    labTitre->setText(texteTitre());
    pages->setTabText(PageApropos, QStringLiteral("A propos..."));
    pages->setTabText(PageSysteme, QStringLiteral("Système"));
    pages->setTabText(PageLigneCommande, QStringLiteral("Ligne de commande"));
    pages->setTabText(PagePlugins, QStringLiteral("Plugs-in"));
    tableSwitches->setToolTip(kInfobulleTableSwitches);
    labAideLigne->setText(aideLigneCommande().join(u'\n'));
    btnFermer->setText(QStringLiteral("Fermer"));
    btnFermer->setToolTip(QStringLiteral("Quitter la fenêtre \"A propos\" et revenir au programme."));
}

QStringList TAproposFrame::aideLigneCommande()
{
    return {QString(), QString(), QStringLiteral("On peut lancer"), QStringLiteral("le programme"), QStringLiteral("avec des"),
            QStringLiteral("options de"), QStringLiteral("ligne de"), QStringLiteral("commande."), QString(),
            QStringLiteral("Bien respecter"), QStringLiteral("les blancs. (Le"), QStringLiteral("signe + peut"),
            QStringLiteral("être remplacé par / )")};
}

QString TAproposFrame::texteApropos()
{
    const QString site = kAdresseSiteWeb.toHtmlEscaped();
    return QStringLiteral("<p><b>%1</b> de Brannoc</p>").arg(texteTitre().toHtmlEscaped())
           + QStringLiteral("<p>Korvan est fait pour ceux qui filment avec un caméscope DV et gardent leurs séquences en "
                            "fichiers AVI. Pour chaque fichier, il lit la date et l'heure d'enregistrement que le caméscope a "
                            "inscrites dans chaque image (le datecode), le timecode de la cassette, le codec, la taille "
                            "d'image, le standard (Pal ou Ntsc), les durées et le format du son.</p>")
           + QStringLiteral("<p>Il renomme les fichiers d'après leur datecode ou leur timecode, les convertit entre DV type 1 "
                            "et DV type 2 ou entre Pal et Ntsc, incruste le datecode dans l'image, corrige le décalage "
                            "horaire, crée les fichiers de scènes et extrait le son.</p>")
           + QStringLiteral("<p>Les commandes sont dans les menus, dans la barre d'outils et au clavier ; leur liste avec "
                            "leurs raccourcis est dans les Options (F10). La page « Système » dit pourquoi certaines "
                            "commandes manquent sur votre ordinateur.</p>")
           + QStringLiteral("<p>Site web : <a href=\"%1\">%1</a></p>").arg(site)
           + QStringLiteral("<p>%1</p>").arg(QStringLiteral("Sa dernière mise à jour date du %1.").arg(QStringLiteral("20/11/2005")));
}

void TAproposFrame::AfficherApropos(int page)
{
    labTitre->setText(texteTitre());
    reAbout->setHtml(texteApropos());
    if (page >= 0 && page < pages->count() && pages->isTabVisible(page))
        pages->setCurrentIndex(page);
    raise();
}

int TAproposFrame::page() const
{
    return pages->currentIndex();
}

void TAproposFrame::EcrireRapport(const std::vector<LigneRapportSysteme>& lignes, BoiteMessage& boite)
{
    EcrireRapportSysteme(*this, lignes, boite);
}

void TAproposFrame::vider()
{
    reApropos->clear();
    reApropos->document()->setDefaultFont(arial());
    rapportVide_ = true;
}

void TAproposFrame::definirStyle(StyleRapport style)
{
    style_ = style;
}

void TAproposFrame::ajouterLigne(const QString& texte, bool rouge)
{
    QTextCursor c(reApropos->document());
    c.movePosition(QTextCursor::End);
    if (!rapportVide_)
        c.insertBlock();
    rapportVide_ = false;
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial")});
    f.setForeground(rouge ? QColor(Qt::red) : QColor(Qt::black));
    f.setFontItalic(style_ == StyleRapport::Italique);
    f.setFontWeight(style_ == StyleRapport::Gras ? QFont::Bold : QFont::Normal);
    c.setBlockCharFormat(f);
    c.setCharFormat(f);
    c.insertText(texte);
}

void TAproposFrame::ecrire_noir(const QString& texte)
{
    ajouterLigne(texte, false);
}

void TAproposFrame::ecrire_rouge(const QString& texte)
{
    ajouterLigne(texte, true);
}

void TAproposFrame::RemplirLigneCommande()
{
    modeleLigne_->recharger();
    tableSwitches->resizeColumnToContents(1);
}

void TAproposFrame::ViderPlugins()
{
    rePlugins->clear();
    pages->setTabVisible(PagePlugins, false);
}

void TAproposFrame::AfficherPlugins(const std::vector<LignePlugins>& lignes)
{
    ViderPlugins();
    if (lignes.empty())
        return;
    pages->setTabVisible(PagePlugins, true);
    QTextCursor c(rePlugins->document());
    for (const LignePlugins& l : lignes) {
        QTextCharFormat f;
        f.setFontFamilies({QStringLiteral("Arial")});
        f.setFontWeight(l.style == LignePlugins::Style::GrasSouligne ? QFont::Bold : QFont::Normal);
        f.setFontUnderline(l.style == LignePlugins::Style::GrasSouligne);
        f.setFontItalic(l.style == LignePlugins::Style::Italique);
        c.setCharFormat(f);
        c.insertText(l.texte);
        c.insertBlock();
    }
}

bool TAproposFrame::pagePluginsVisible() const
{
    return pages->isTabVisible(PagePlugins);
}

} // namespace korvan
