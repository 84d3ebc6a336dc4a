#include "platform/magasin_preferences.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace korvan {

MagasinPreferences::MagasinPreferences(QString dossierConfiguration)
    : dossierConfiguration_(std::move(dossierConfiguration))
{
}

MagasinPreferences MagasinPreferences::utilisateur()
{
    return MagasinPreferences(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString MagasinPreferences::dossierFabricant() const
{
    return dossierConfiguration_ + QStringLiteral("/Brannoc");
}

QString MagasinPreferences::fichier(const QString& programme) const
{
    return dossierFabricant() + u'/' + programme + QStringLiteral(".conf");
}

bool MagasinPreferences::existe(const QString& programme) const
{
    return QFileInfo(fichier(programme)).isFile();
}

std::unique_ptr<QSettings> MagasinPreferences::ouvrir(const QString& programme) const
{
    return std::make_unique<QSettings>(fichier(programme), QSettings::IniFormat);
}

} // namespace korvan
