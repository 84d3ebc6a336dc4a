#include "platform/traductions_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvan {

bool ChargerTraductionsQt(QCoreApplication& application)
{
    // "qt_fr" gathers the catalogues of every Qt module installed (qtbase,
    // qtmultimedia...); the translator lives as long as the application.
    auto* traducteur = new QTranslator(&application);
    if (!traducteur->load(QStringLiteral("qt_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traducteur;
        return false;
    }
    return QCoreApplication::installTranslator(traducteur);
}

} // namespace korvan
