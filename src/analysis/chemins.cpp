#include "analysis/chemins.h"

#include <QDir>
#include <QFile>

namespace korvan {

QString ChangerExtension(const QString& chemin, const QString& extension)
{
    const qsizetype slash = chemin.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = chemin.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return chemin.left(dot) + extension;
    return chemin + extension;
}

QString NomDeFichier(const QString& chemin)
{
    return chemin.mid(chemin.lastIndexOf(QLatin1Char('/')) + 1);
}

QString CheminAbsolu(const QString& chemin)
{
    if (chemin.isEmpty())
        return chemin;
    return QDir::cleanPath(QDir::isAbsolutePath(chemin) ? chemin : QDir::current().absoluteFilePath(chemin));
}

std::string CheminLocal(const QString& chemin)
{
    return QFile::encodeName(chemin).toStdString();
}

} // namespace korvan
