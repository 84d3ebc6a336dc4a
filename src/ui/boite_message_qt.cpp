#include "ui/boite_message_qt.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <cstdio>

namespace korvan {

ReponseMessage BoiteMessageQt::afficher(GenreMessage genre, const QString& texte, BoutonsMessage boutons)
{
    if (surSortieErreur) {
        const char* titre = genre == GenreMessage::Erreur ? "Erreur" : genre == GenreMessage::Information ? "Information" : "Avertissement";
        const QString ligne = texte.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)
                                  .join(QStringLiteral(" : "));
        std::fprintf(stderr, "%s: %s\n", titre, ligne.toLocal8Bit().constData());
        std::fflush(stderr);
        return boutons == BoutonsMessage::OK ? ReponseMessage::OK : ReponseMessage::Fermee;
    }
    QMessageBox boite(parent_);
    switch (genre) {
    case GenreMessage::Avertissement:
        boite.setIcon(QMessageBox::Warning);
        boite.setWindowTitle(QStringLiteral("Avertissement"));
        break;
    case GenreMessage::Information:
        boite.setIcon(QMessageBox::Information);
        boite.setWindowTitle(QStringLiteral("Information"));
        break;
    case GenreMessage::Erreur:
        boite.setIcon(QMessageBox::Critical);
        boite.setWindowTitle(QStringLiteral("Erreur"));
        break;
    }
    boite.setText(texte);
    QAbstractButton *oui = nullptr, *non = nullptr, *annuler = nullptr, *tous = nullptr, *ok = nullptr;
    switch (boutons) {
    case BoutonsMessage::OuiNon:
        oui = boite.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
        non = boite.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
        break;
    case BoutonsMessage::OuiNonAnnulerTous:
        oui = boite.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
        non = boite.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
        annuler = boite.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        tous = boite.addButton(QStringLiteral("&Tous"), QMessageBox::YesRole);
        break;
    case BoutonsMessage::OK:
        ok = boite.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    }
    boite.exec();
    const QAbstractButton* clic = boite.clickedButton();
    if (clic && clic == oui)
        return ReponseMessage::Oui;
    if (clic && clic == non)
        return ReponseMessage::Non;
    if (clic && clic == annuler)
        return ReponseMessage::Annuler;
    if (clic && clic == tous)
        return ReponseMessage::Tous;
    if (clic && clic == ok)
        return ReponseMessage::OK;
    return ReponseMessage::Fermee;
}

} // namespace korvan
