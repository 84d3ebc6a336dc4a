// Korvan start-up. Until the main window exists, a plain window lists the
// clips given on the command line with their container verdict and codec.
#include "analysis/aviinfo.h"

#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Brannoc");
    QApplication::setApplicationName("Korvan");

    QMainWindow fenetre;
    fenetre.setWindowTitle(QStringLiteral("Korvan " KORVAN_VERSION));
    auto* liste = new QListWidget(&fenetre);
    fenetre.setCentralWidget(liste);
    for (const QString& chemin : QApplication::arguments().mid(1)) {
        QString ligne = QFileInfo(chemin).fileName();
        try {
            const korvan::TFriendlyAviParam avi(chemin.toStdString());
            ligne += avi.valide ? QStringLiteral("  —  %1").arg(QString::fromStdString(avi.CodecVideo().str()))
                                : QStringLiteral("  —  Erreur");
        } catch (const std::exception&) {
            ligne += QStringLiteral("  —  Erreur");
        }
        liste->addItem(ligne);
    }
    fenetre.statusBar()->showMessage(QStringLiteral("Prêt"));
    fenetre.resize(800, 500);
    fenetre.show();
    return QApplication::exec();
}
