// Korvan start-up: the application object, then the main window.
#include "ui/main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brannoc"));
    QApplication::setApplicationName(QStringLiteral("Korvan"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvan"));

    korvan::TUIForm fenetre;
    fenetre.show();
    return QApplication::exec();
}
