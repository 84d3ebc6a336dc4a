#include "scenes/texte_scenes.h"

#include "analysis/chemins.h"
#include "analysis/dateheure.h"
#include "analysis/file_io.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "analysis/texte_court.h"
#include "platform/identite_programme.h"

#include <QStringList>
#include <optional>

namespace korvan {

namespace {

const QString kLigneTirets = QStringLiteral("//--------------------------------------------------");

// The text export under way (one run at a time).
struct EcritureTexte {
    std::optional<BinaryFile> fichier;
    int64_t position = 0;
};

EcritureTexte ecriture;
QString derniereErreur;

void ecrireLignes(const QStringList& lignes)
{
    QByteArray octets;
    for (const QString& ligne : lignes)
        octets += ligne.toLocal8Bit() + "\r\n";
    try {
        ecriture.fichier->writeAt(ecriture.position, octets.constData(), size_t(octets.size()));
    } catch (const FileError& e) {
        derniereErreur = QString::fromLocal8Bit(e.what());
        throw;
    }
    ecriture.position += octets.size();
}

} // namespace

QString CheminTexteScenes(const QString& cheminClip)
{
    return ChangerExtension(cheminClip, QStringLiteral("_scn.txt"));
}

QString LigneSceneTexte(int32_t numero, const TSceneInfo& scene)
{
    const QChar virgule = QLatin1Char(',');
    return QStringLiteral("  ") + QString::number(numero) + virgule + scene.texteDebut + virgule + scene.texteFin
        + virgule + scene.texteDatecodeScene + virgule + scene.texteTimecodeScene + virgule + scene.texteDureeScene;
}

void OuvrirTexteScenes(const TAfficherFichier& entree, bool& ok)
{
    ok = false;
    ecriture = EcritureTexte{};
    derniereErreur.clear();
    try {
        ecriture.fichier.emplace(CheminLocal(CheminTexteScenes(entree.chemin)), BinaryFile::Mode::Create);
        ecrireLignes({
            kLigneTirets,
            QStringLiteral("// Liste des scènes du fichier vidéo:"),
            QStringLiteral("//"),
            QStringLiteral("// ***   ") + entree.chemin.toLower() + QStringLiteral("   ***"),
            QStringLiteral("//"),
            Format("// exportée par %s version %s %s", "Korvan", versionProgramme, "Fr"),
            QStringLiteral("// sous la forme:"),
            QStringLiteral("// numéro de scène, début, fin, datecode, timecode, durée"),
            QStringLiteral("//"),
            kLigneTirets,
            QString(),
        });
    } catch (const FileError& e) {
        derniereErreur = QString::fromLocal8Bit(e.what());
        ecriture = EcritureTexte{};
        return;
    }
    compteurScenes = 0;
    ok = true;
}

void EcrireSceneTexte(const TSceneInfo& scene)
{
    if (!ecriture.fichier)
        return;
    ++compteurScenes;
    ecrireLignes({LigneSceneTexte(compteurScenes, scene)});
}

void FermerTexteScenes()
{
    if (!ecriture.fichier)
        return;
    try {
        ecrireLignes({
            QString(),
            kLigneTirets,
            QStringLiteral("// Terminé le ") + FormatDateTime(QStringLiteral("dddddd 'à' hh:mm:ss"), Maintenant()),
            QStringLiteral("// Visitez mon site web ") + kAdresseSiteWeb,
            QStringLiteral("//"),
        });
    } catch (const FileError&) {
        // Already recorded for the command; the file is closed all the same.
    }
    ecriture = EcritureTexte{};
}

QString ErreurTexteScenes()
{
    return derniereErreur;
}

QString ScenesTextConfirmation(const TAfficherFichier& entree)
{
    const QString cible = CheminTexteScenes(entree.chemin);
    if (!fileExists(CheminLocal(cible)))
        return {};
    return QuestionCourte({Format("Voulez-vous remplacer le fichier %s déjà existant?", cible),
                           QStringLiteral("Voulez-vous remplacer le fichier déjà existant?")});
}

} // namespace korvan
