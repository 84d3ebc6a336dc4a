#pragma once
// Where the maker's settings live: one settings file per program of the maker
// ("Brannoc"), in INI form, under a configuration folder. The program uses
// the user's configuration folder ($XDG_CONFIG_HOME, the place QSettings uses
// for organisation "Brannoc"); tests use a temporary folder.
#include <QSettings>
#include <QString>
#include <memory>

namespace korvan {

class MagasinPreferences {
public:
    // Settings under <dossierConfiguration>/Brannoc/.
    explicit MagasinPreferences(QString dossierConfiguration);
    // The user's own settings, at the configuration folder of the session.
    static MagasinPreferences utilisateur();

    // The maker's folder, holding one file per program.
    QString dossierFabricant() const;
    // The settings file of one program of the maker ("Korvan", "Stillex").
    QString fichier(const QString& programme) const;
    bool existe(const QString& programme) const;
    // Opens a program's settings; the file is only created by a write.
    std::unique_ptr<QSettings> ouvrir(const QString& programme) const;

private:
    QString dossierConfiguration_;
};

} // namespace korvan
