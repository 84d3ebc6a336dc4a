// korvan-info: prints what Korvan reads from each AVI file given, one JSON
// object per line (or one array with --array), field names as in the code.
#include "analysis/aviFichier.h"
#include "analysis/chemins.h"
#include "analysis/file_io.h"
#include "analysis/entree_json.h"
#include "analysis/riffunit.h"
#include "platform/identite_programme.h"
#include "scenes.h"
#include "chemins_installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <cerrno>
#include <cstdio>

namespace {

const char* const kUsage =
    "usage: korvan-info [--array] [--format FMT] FILE...\n"
    "       korvan-info --scenes [--format FMT] FILE...\n"
    "       korvan-info --riff FILE...\n"
    "       korvan-info --filters\n"
    "       korvan-info --help | --version\n"
    "  --array        print one JSON array instead of one object per line\n"
    "  --format FMT   date format of texteDatecode and of the scene datecodes\n"
    "                 (default \"dd/mm/yyyy hh:nn:ss\")\n"
    "  --scenes       print each clip's scene list as the scene text export lines\n"
    "                 (number, start, end, datecode, time code, length); writes no file\n"
    "  --riff         print each file's RIFF structure report, as the window shows it\n"
    "  --filters      print which media filters this machine offers and the presence\n"
    "                 report (KORVAN_FILTRES_ABSENTS=\"name;name\" marks filters absent)\n";

// korvan-filtres lies beside this program in a build tree, in the program's
// own folder of an installed tree (not on the PATH: it is no user's command).
QByteArray programmeFiltres()
{
    const QString dossier = QCoreApplication::applicationDirPath();
    const QString aCote = dossier + QStringLiteral("/korvan-filtres");
    if (QFileInfo(aCote).isExecutable())
        return QFile::encodeName(aCote);
    return QFile::encodeName(QDir::cleanPath(dossier + u'/' + QStringLiteral(KORVAN_LIBEXEC_DEPUIS_PROGRAMME)
                                             + QStringLiteral("/korvan-filtres")));
}

// The report lines of each file in turn; 1 when a file is missing or unreadable.
int afficherRapportsRiff(const QStringList& fichiers)
{
    int code = 0;
    const korvan::EnteteRapportRiff entete{korvan::versionProgramme, korvan::kAdresseSiteWeb, korvan::Maintenant()};
    for (const QString& chemin : fichiers) {
        try {
            const std::string local = korvan::CheminLocal(chemin);
            if (!korvan::fileExists(local))
                throw korvan::FileError("cannot open " + local, ENOENT);
            const korvan::BinaryFile fichier(local, korvan::BinaryFile::Mode::Read);
            for (const QString& ligne : korvan::RapportRiff(fichier, chemin, entete)) {
                const QByteArray octets = ligne.toUtf8();
                std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
                std::fputc('\n', stdout);
            }
        } catch (const korvan::FileError& e) {
            std::fprintf(stderr, "korvan-info: %s\n", e.what());
            code = 1;
        }
    }
    return code;
}

void ecrire(const QJsonDocument& doc)
{
    const QByteArray texte = doc.toJson(QJsonDocument::Compact);
    std::fwrite(texte.constData(), 1, size_t(texte.size()), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    korvan::ContexteEntree contexte;
    // What is printed for the files: their entries as JSON, or their scenes.
    enum class Vue { Entrees, Scenes, Riff };
    Vue vue = Vue::Entrees;
    bool tableau = false;
    QStringList fichiers;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--array")) {
            tableau = true;
        } else if (a == QLatin1String("--format")) {
            if (++i >= args.size()) {
                std::fputs("korvan-info: --format needs a value\n", stderr);
                std::fputs(kUsage, stderr);
                return 2;
            }
            contexte.formatAfficher = args[i];
        } else if (a == QLatin1String("--scenes")) {
            vue = Vue::Scenes;
        } else if (a == QLatin1String("--riff")) {
            vue = Vue::Riff;
        } else if (a == QLatin1String("--filters")) {
            // The report lives in korvan-filtres, which loads the media libraries.
            const QByteArray programme = programmeFiltres();
            char* const argsFiltres[] = {const_cast<char*>(programme.constData()), nullptr};
            ::execv(programme.constData(), argsFiltres);
            std::fprintf(stderr, "korvan-info: cannot run %s\n", programme.constData());
            return 1;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == QLatin1String("--version")) {
            std::fputs("korvan-info (Korvan) " KORVAN_VERSION "\n", stdout);
            return 0;
        } else if (a == QLatin1String("--")) {
            fichiers += args.mid(i + 1);
            break;
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "korvan-info: unknown option %s\n", qPrintable(a));
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            fichiers += a;
        }
    }

    if (fichiers.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (vue == Vue::Scenes)
        return afficherScenes(fichiers, contexte);
    if (vue == Vue::Riff)
        return afficherRapportsRiff(fichiers);

    // Every file gets its entry; the status says whether any could not be read.
    int code = 0;
    QJsonArray tous;
    for (const QString& chemin : fichiers) {
        const korvan::TAfficherFichier entree(chemin, contexte);
        if (!entree.erreurOuverture.empty()) {
            std::fprintf(stderr, "korvan-info: %s\n", entree.erreurOuverture.c_str());
            code = 1;
        }
        const QJsonObject o = korvan::EntreeVersJson(entree);
        if (tableau)
            tous.append(o);
        else
            ecrire(QJsonDocument(o));
    }
    if (tableau)
        ecrire(QJsonDocument(tous));
    return code;
}
