#pragma once
// Recursive folder scanner: walks a folder depth first and reports each
// file through events, pumping the window's events before each subfolder so
// that a long scan stays responsive and can be stopped.
#include <QSet>
#include <QString>
#include <functional>

namespace korvan {

class TDirscan {
public:
    using TdsScanEvent = std::function<void(TDirscan& sender, const QString& directory, const QString& masque, bool recursive)>;
    using TdsFolderEvent = std::function<void(TDirscan& sender, const QString& directory)>;
    using TdsFileEvent = std::function<void(TDirscan& sender, const QString& fichier)>;

    // Setting the folder appends the path separator when missing.
    void setDirectory(const QString& dossier);
    const QString& directory() const { return directory_; }
    bool recursive = true;
    QString Masque = QStringLiteral("*.*");
    // Stay on the filesystem of the starting folder (each disk scanned once).
    bool memeSystemeFichiers = false;
    // Folders never entered, each ending with "/" (another disk's mount
    // point, a system tree); the starting folder is scanned all the same.
    QSet<QString> nonParcourus;
    bool Active() const { return active_; }

    TdsScanEvent OnStartScan, OnEndScan;
    TdsFolderEvent OnStartFolder, OnEndFolder, OnDirWithFiles;
    TdsFileEvent OnFileFound;
    // Runs before each subfolder is entered (the window pumps its events there).
    std::function<void()> pomper;

    void Scan();
    void Stop() { active_ = false; }

private:
    void parcourir(const QString& dossier, unsigned long long appareil);

    QString directory_;
    bool active_ = false;
};

} // namespace korvan
