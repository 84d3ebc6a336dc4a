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
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>

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

// From this many files in one folder, listing it costs less than a stat each.
constexpr int kFichiersPourLister = 16;

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

    // Folders that hold many of the files are listed once: their clips'
    // scene files are then looked up in memory instead of one stat each.
    // Relative names are made absolute here, with the working folder asked once.
    const QDir ici = QDir::current();
    for (QString& f : fichiers)
        if (!f.isEmpty() && !QDir::isAbsolutePath(f))
            f = QDir::cleanPath(ici.absoluteFilePath(f));
    std::map<std::string, int> parDossier;
    for (const QString& f : fichiers) {
        const std::string local = korvan::CheminLocal(korvan::CheminAbsolu(f));
        const size_t barre = local.rfind('/');
        ++parDossier[barre == 0 ? "/" : local.substr(0, barre)];
    }
    auto dossiers = std::make_shared<korvan::NomsDossiers>();
    for (const auto& [dossier, nombre] : parDossier)
        if (nombre >= kFichiersPourLister)
            dossiers->lister(dossier);
    contexte.dossiers = dossiers;
    // Entries are written in large blocks, not one system call per 4 KiB.
    static char tampon[1 << 16];
    std::setvbuf(stdout, tampon, _IOFBF, sizeof tampon);

    // Every file gets its entry; the status says whether any could not be read.
    int code = 0;
    if (tableau)
        std::fputc('[', stdout);
    for (qsizetype i = 0; i < fichiers.size(); ++i) {
        const korvan::TAfficherFichier entree(fichiers[i], contexte);
        if (!entree.erreurOuverture.empty()) {
            std::fprintf(stderr, "korvan-info: %s\n", entree.erreurOuverture.c_str());
            code = 1;
        }
        const QByteArray o = korvan::EntreeVersJsonCompact(entree);
        if (tableau && i > 0)
            std::fputc(',', stdout);
        std::fwrite(o.constData(), 1, size_t(o.size()), stdout);
        if (!tableau)
            std::fputc('\n', stdout);
    }
    if (tableau)
        std::fputs("]\n", stdout);
    return code;
}
