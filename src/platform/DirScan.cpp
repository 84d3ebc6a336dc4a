#include "platform/DirScan.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace korvan {

namespace {

unsigned long long appareilDe(const QString& dossier)
{
    struct stat st {};
    return ::stat(QFile::encodeName(dossier).constData(), &st) == 0 ? (unsigned long long)st.st_dev : 0;
}

} // namespace

void TDirscan::setDirectory(const QString& dossier)
{
    directory_ = dossier;
    if (!directory_.isEmpty() && !directory_.endsWith(QLatin1Char('/')))
        directory_ += QLatin1Char('/');
}

void TDirscan::Scan()
{
    if (directory_.isEmpty() || !QDir(directory_).exists())
        return;
    active_ = true;
    if (OnStartScan)
        OnStartScan(*this, directory_, Masque, recursive);
    parcourir(directory_, appareilDe(directory_));
    if (active_ && OnEndScan)
        OnEndScan(*this, directory_, Masque, recursive);
    active_ = false;
}

void TDirscan::parcourir(const QString& dossier, unsigned long long appareil)
{
    if (OnStartFolder)
        OnStartFolder(*this, dossier);
    // "*.*" matches every name, with or without a dot, as on the desktop the program comes from.
    const QString masque = Masque == QLatin1String("*.*") ? QStringLiteral("*") : Masque;
    const QDir d(dossier, masque, QDir::Name | QDir::IgnoreCase, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const QFileInfoList entrees = d.entryInfoList();
    if (!entrees.isEmpty() && OnDirWithFiles)
        OnDirWithFiles(*this, dossier);
    for (const QFileInfo& e : entrees) {
        if (!e.isDir()) {
            if (!active_)
                return;
            if (OnFileFound)
                OnFileFound(*this, dossier + e.fileName());
        } else if (recursive) {
            if (pomper)
                pomper();
            if (!active_)
                return;
            // Linked folders are not followed: a link back up would never end.
            if (e.isSymLink())
                continue;
            const QString sous = dossier + e.fileName() + QLatin1Char('/');
            if (nonParcourus.contains(sous) || (memeSystemeFichiers && appareilDe(sous) != appareil))
                continue;
            parcourir(sous, appareil);
            if (!active_)
                return;
        }
    }
    if (OnEndFolder)
        OnEndFolder(*this, dossier);
}

} // namespace korvan
