#pragma once
// The RIFF report window: the report's lines in a fixed-pitch list, written
// as the walk goes (the window stays responsive and "Fermer" stops it), and
// "Sauver" to keep them in a text file.
#include "commands/commandes_entetes.h"

#include <QStringListModel>
#include <QWidget>
#include <functional>

class QListView;
class QPushButton;

namespace korvan {

class BoiteMessage;

class TRiffForm : public QWidget, public IRiffForm {
    Q_OBJECT
public:
    explicit TRiffForm(BoiteMessage& boite, QWidget* parent = nullptr);

    // A new report replaces the one shown, and stops it if it is still being written.
    void AfficherRapportRiff(const QString& chemin) override;
    void fermer() override { close(); }

    QStringList lignes() const { return modele_.stringList(); }
    bool rapportEnCours() const { return enCours_ > 0; }
    // "Sauver": the analysed path with ".log" proposed; nothing written when the dialog is cancelled.
    void Sauver();

    // The save dialog, given the proposed path and the filters; an empty
    // answer means cancelled. The program's is Qt's file dialog.
    std::function<QString(const QString& propose, const QString& filtres)> choisirFichier;

    QListView* lb = nullptr;
    QPushButton* btnFermer = nullptr;
    QPushButton* btnSauver = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    class Sortie;

    BoiteMessage& boite_;
    QStringListModel modele_;
    QString chemin_;
    bool annuleRapport_ = false;
    int generation_ = 0; // which report the lines arriving belong to
    int enCours_ = 0;
};

} // namespace korvan
