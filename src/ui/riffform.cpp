#include "ui/riffform.h"

#include "analysis/chemins.h"
#include "analysis/format_texte.h"
#include "analysis/riffunit.h"
#include "platform/boite_message.h"
#include "platform/identite_programme.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace korvan {

namespace {

// Columns line up in a font whose narrowest and widest letters and digits
// advance alike: Courier New where installed, else the first font found so
// (fontconfig's "monospace" may be one that Qt does not call fixed pitch
// although its Latin letters are, or one that is not at all).
QFont PoliceColonnes()
{
    const auto alignee = [](const QFont& f) {
        const QFontMetricsF m(f);
        return m.horizontalAdvance(QLatin1Char('i')) == m.horizontalAdvance(QLatin1Char('M'))
            && m.horizontalAdvance(QLatin1Char('1')) == m.horizontalAdvance(QLatin1Char('W'));
    };
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setFixedPitch(true);
    QList<QFont> candidates{courier, QFontDatabase::systemFont(QFontDatabase::FixedFont)};
    for (const char* famille : {"DejaVu Sans Mono", "Liberation Mono", "Nimbus Mono PS", "Noto Sans Mono"})
        candidates << QFont(QString::fromLatin1(famille));
    for (const QFont& f : candidates)
        if (alignee(f))
            return f;
    return candidates[1];
}

} // namespace

// The lines of one report go to the list while that report is the one
// shown. Before the first chunk, then every 10 ms at most, the window
// handles its events, so that "Fermer" and a newer report are heard.
class TRiffForm::Sortie : public SortieRapportRiff {
public:
    Sortie(TRiffForm& f, int generation) : f_(f), generation_(generation) {}

    void ajouterLigne(const QString& ligne) override
    {
        if (generation_ != f_.generation_)
            return;
        const int n = f_.modele_.rowCount();
        f_.modele_.insertRows(n, 1);
        f_.modele_.setData(f_.modele_.index(n), ligne);
    }
    bool annuleRapport() override
    {
        if (!depuis_.isValid() || depuis_.elapsed() >= 10) {
            QCoreApplication::processEvents();
            depuis_.start();
        }
        return f_.annuleRapport_ || generation_ != f_.generation_;
    }

private:
    TRiffForm& f_;
    int generation_;
    QElapsedTimer depuis_;
};

TRiffForm::TRiffForm(BoiteMessage& boite, QWidget* parent) : QWidget(parent, Qt::Window), boite_(boite)
{
    setObjectName(QStringLiteral("RiffForm"));
    setWindowTitle(QStringLiteral("Analyser un fichier AVI"));
    auto* v = new QVBoxLayout(this);
    lb = new QListView(this);
    lb->setObjectName(QStringLiteral("lb"));
    lb->setModel(&modele_);
    lb->setUniformItemSizes(true);
    lb->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lb->setFont(PoliceColonnes());
    v->addWidget(lb, 1);

    auto* boutons = new QHBoxLayout;
    btnSauver = new QPushButton(QStringLiteral("Sauver"), this);
    btnSauver->setObjectName(QStringLiteral("btnSauver"));
    btnSauver->setToolTip(QStringLiteral("Enregistrer l'en-tête dans un fichier LOG."));
    btnSauver->setEnabled(false);
    btnFermer = new QPushButton(QStringLiteral("Fermer"), this);
    btnFermer->setObjectName(QStringLiteral("btnFermer"));
    btnFermer->setToolTip(QStringLiteral("Fermer la fenêtre  de l'en-tête RIFF ."));
    boutons->addStretch(1);
    boutons->addWidget(btnSauver);
    boutons->addWidget(btnFermer);
    v->addLayout(boutons);
    resize(560, 640);

    connect(btnFermer, &QPushButton::clicked, this, &QWidget::close);
    connect(btnSauver, &QPushButton::clicked, this, &TRiffForm::Sauver);
    choisirFichier = [this](const QString& propose, const QString& filtres) {
        return QFileDialog::getSaveFileName(this, QString(), propose, filtres);
    };
}

void TRiffForm::AfficherRapportRiff(const QString& chemin)
{
    const int generation = ++generation_;
    annuleRapport_ = false;
    chemin_ = chemin;
    btnSauver->setEnabled(false);
    setWindowTitle(Format("En-tête du fichier %s", chemin));
    show();
    raise();
    activateWindow();
    modele_.setStringList({});
    const std::string local = CheminLocal(chemin);
    if (!fileExists(local))
        return;
    const BinaryFile fichier(local, BinaryFile::Mode::Read);
    const EnteteRapportRiff entete{versionProgramme, kAdresseSiteWeb, Maintenant()};
    Sortie sortie(*this, generation);
    ++enCours_;
    IssueRapportRiff issue;
    try {
        issue = EcrireRapportRiff(fichier, chemin, entete, sortie);
    } catch (...) {
        --enCours_;
        throw;
    }
    --enCours_;
    if (generation != generation_)
        return; // a newer report has the window
    if (issue.annule) {
        close();
        return;
    }
    btnSauver->setEnabled(true);
}

void TRiffForm::Sauver()
{
    const QString chemin = choisirFichier(ChangerExtension(chemin_, QStringLiteral(".log")),
                                          QStringLiteral("Fichiers Log (*.log);;Fichiers Txt (*.txt);;Tous (*.*)"));
    if (chemin.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Written whole or not at all: a failed save leaves no half report.
    QSaveFile f(chemin);
    bool ecrit = f.open(QIODevice::WriteOnly);
    if (ecrit) {
        QByteArray octets;
        for (const QString& l : modele_.stringList())
            octets += l.toUtf8() + "\r\n";
        ecrit = f.write(octets) == octets.size() && f.commit();
    }
    QApplication::restoreOverrideCursor();
    if (!ecrit)
        boite_.montrer(GenreMessage::Erreur,
                       QStringLiteral("Impossible d'enregistrer ") + chemin + QStringLiteral("\r\n") + f.errorString(),
                       BoutonsMessage::OK);
}

void TRiffForm::closeEvent(QCloseEvent* e)
{
    annuleRapport_ = true;
    QWidget::closeEvent(e);
}

} // namespace korvan
