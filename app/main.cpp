// Korvan start-up: the application object, then the main window. Files given
// on the command line are loaded at the window's first paint.
#include "ui/main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brannoc"));
    QApplication::setApplicationName(QStringLiteral("Korvan"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvan"));

    const QStringList arguments = QApplication::arguments().mid(1);
    korvan::TUIForm fenetre;
    fenetre.crochets.ligneCommande = [&arguments](korvan::TUIForm&) { return !arguments.isEmpty(); };
    fenetre.crochets.ligneCommandePendante = [&arguments](korvan::TUIForm& f) {
        f.AjouterFichiers(arguments, QStringLiteral("Chargement des fichiers"));
    };
    fenetre.show();
    return QApplication::exec();
}
