#pragma once
// A user session of its own for one test: HOME and the XDG base folders point
// inside a temporary folder, so nothing the test does reaches the real user's
// settings, applications or trash. The environment is restored afterwards.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace korvan::test {

class BureauTemporaire {
public:
    BureauTemporaire()
    {
        if (!racine_.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        QDir().mkpath(home());
        poser("HOME", home());
        poser("XDG_CONFIG_HOME", home() + QStringLiteral("/.config"));
        poser("XDG_DATA_HOME", home() + QStringLiteral("/.local/share"));
    }
    ~BureauTemporaire()
    {
        for (auto it = anciens_.rbegin(); it != anciens_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }
    BureauTemporaire(const BureauTemporaire&) = delete;
    BureauTemporaire& operator=(const BureauTemporaire&) = delete;

    QString home() const { return racine_.filePath(QStringLiteral("maison")); }
    QString config() const { return home() + QStringLiteral("/.config"); }
    QString donnees() const { return home() + QStringLiteral("/.local/share"); }

    // Changes (or, with no value, removes) one variable for the rest of the test.
    void poser(const char* nom, const std::optional<QString>& valeur)
    {
        anciens_.emplace_back(QByteArray(nom), qEnvironmentVariableIsSet(nom)
                                                   ? std::optional<QByteArray>(qgetenv(nom))
                                                   : std::nullopt);
        if (valeur)
            qputenv(nom, QFile::encodeName(*valeur));
        else
            qunsetenv(nom);
    }

private:
    QTemporaryDir racine_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> anciens_;
};

inline QByteArray lireFichier(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool ecrireFichier(const QString& chemin, const QByteArray& contenu)
{
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenu) == contenu.size();
}

} // namespace korvan::test
