// The install tree as a packager gets it: `cmake --install` of this build
// into a DESTDIR under the /usr prefix, every file in its place, the desktop
// entry valid, both manual pages rendered without a warning, and the
// installed programs finding their own parts (plug-in folder, korvan-filtres)
// from where they lie.
#include "chemins_installation.h"
#include "platform/entree_bureau_valide.h"
#include "session_korvan.h"
#include "support/fixtures.h"
#include "version_programme.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

struct Lancement {
    int code = -1; // -1: did not start or did not end by itself
    QByteArray sortie;
    QByteArray erreurs;
};

Lancement lancer(const QString& programme, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(programme, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray contenu(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One install for the whole suite: it is the slow part.
class Installation : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        racine_ = new QTemporaryDir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", racine_->path());
        installation_ = new Lancement(
            lancer(QStringLiteral(KORVAN_CMAKE), {"--install", KORVAN_BINARY_DIR, "--prefix", "/usr"}, env));
    }
    static void TearDownTestSuite()
    {
        delete installation_;
        delete racine_;
    }
    void SetUp() override
    {
        ASSERT_TRUE(racine_->isValid());
        ASSERT_EQ(installation_->code, 0) << installation_->erreurs.toStdString();
    }
    static QString usr(const QString& relatif) { return racine_->path() + "/usr/" + relatif; }
    static QString bin(const QString& programme) { return usr("bin/" + programme); }
    // The folders the programs reach from bin/, as they compute them.
    static QString depuisBin(const char* relatif) { return QDir::cleanPath(usr("bin/") + QLatin1String(relatif)); }

    static inline QTemporaryDir* racine_ = nullptr;

private:
    static inline Lancement* installation_ = nullptr;
};

} // namespace

TEST_F(Installation, EveryFileLiesInItsPlaceWithItsMode)
{
    // The plug-in and helper folders the Debian package documents.
    EXPECT_EQ(depuisBin(KORVAN_PLUGINS_DEPUIS_PROGRAMME), usr("lib/korvan/plugins"));
    EXPECT_EQ(depuisBin(KORVAN_LIBEXEC_DEPUIS_PROGRAMME), usr("libexec/korvan"));

    enum class Genre { Programme, Donnee };
    const struct {
        const char* chemin;
        Genre genre;
        const char* source; // the source file it must equal byte for byte; nullptr: built
    } attendus[] = {
        {"bin/korvan", Genre::Programme, nullptr},
        {"bin/korvan-info", Genre::Programme, nullptr},
        {"libexec/korvan/korvan-filtres", Genre::Programme, nullptr},
        // Loaded, never run: no execute bit.
        {"lib/korvan/plugins/codes_texte.qzp", Genre::Donnee, nullptr},
        {"include/korvan/plugin.h", Genre::Donnee, "include/korvan/plugin.h"},
        {"share/applications/korvan.desktop", Genre::Donnee, "data/korvan.desktop"},
        {"share/icons/hicolor/scalable/apps/korvan.svg", Genre::Donnee, "data/icones/korvan.svg"},
        {"share/icons/hicolor/48x48/apps/korvan.png", Genre::Donnee, "data/icones/48x48/korvan.png"},
        {"share/icons/hicolor/128x128/apps/korvan.png", Genre::Donnee, "data/icones/128x128/korvan.png"},
        {"share/man/fr/man1/korvan.1.gz", Genre::Donnee, nullptr},
        {"share/man/fr/man1/korvan-info.1.gz", Genre::Donnee, nullptr},
        {"share/doc/korvan/copyright", Genre::Donnee, "data/debian/copyright"},
        {"share/doc/korvan/changelog.gz", Genre::Donnee, nullptr},
        {"share/doc/korvan/README.md", Genre::Donnee, "README.md"},
        {"share/doc/korvan/docs/guide_utilisateur.md", Genre::Donnee, "docs/guide_utilisateur.md"},
        {"share/doc/korvan/docs/plugins.md", Genre::Donnee, "docs/plugins.md"},
    };
    for (const auto& a : attendus) {
        const QFileInfo f(usr(a.chemin));
        ASSERT_TRUE(f.isFile()) << a.chemin;
        EXPECT_GT(f.size(), 0) << a.chemin;
        const bool executable = f.permission(QFileDevice::ExeOwner) || f.permission(QFileDevice::ExeOther);
        EXPECT_EQ(executable, a.genre == Genre::Programme) << a.chemin;
        EXPECT_TRUE(f.permission(QFileDevice::ReadOther)) << a.chemin;
        EXPECT_FALSE(f.permission(QFileDevice::WriteOther)) << a.chemin;
        if (a.source) {
            EXPECT_EQ(contenu(f.filePath()), contenu(QStringLiteral(KORVAN_SOURCE_DIR "/") + a.source)) << a.chemin;
        }
    }
    // And nothing else: no test program, benchmark, fuzz target or capture
    // script; the documentation's pictures and pages only beside the guide.
    QStringList enTrop;
    QDirIterator it(racine_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relatif = QDir(usr("")).relativeFilePath(it.next());
        const bool attendu = std::any_of(std::begin(attendus), std::end(attendus),
                                         [&](const auto& a) { return relatif == QLatin1String(a.chemin); });
        const bool document = relatif.startsWith(QLatin1String("share/doc/korvan/docs/"))
                              && (relatif.endsWith(QLatin1String(".png")) || relatif.endsWith(QLatin1String(".md")));
        if (!attendu && !document)
            enTrop << relatif;
    }
    EXPECT_TRUE(enTrop.isEmpty()) << enTrop.join(' ').toStdString();

    // Each icon at the size of its folder.
    for (const int taille : {48, 128}) {
        const QString png = usr(QStringLiteral("share/icons/hicolor/%1x%1/apps/korvan.png").arg(taille));
        EXPECT_EQ(QImageReader(png).size(), QSize(taille, taille)) << png.toStdString();
    }
}

TEST_F(Installation, TheGuideFindsEveryPictureAndDocumentItLinks)
{
    const QString docs = usr("share/doc/korvan/docs/");
    for (const char* document : {"guide_utilisateur.md", "plugins.md", "README.md"}) {
        const QString texte = QString::fromUtf8(contenu(docs + document));
        ASSERT_FALSE(texte.isEmpty()) << document;
        // Markdown links and pictures to files of the tree: (name.png), (other.md).
        static const QRegularExpression lien(QStringLiteral(R"(\]\(([A-Za-z0-9_./-]+\.(?:png|md))(?:#[^)]*)?\))"));
        int liens = 0;
        for (auto m = lien.globalMatch(texte); m.hasNext(); ++liens) {
            const QString cible = m.next().captured(1);
            EXPECT_TRUE(QFileInfo::exists(docs + cible)) << document << " links " << cible.toStdString();
        }
        if (QLatin1String(document) == QLatin1String("guide_utilisateur.md")) {
            EXPECT_GE(liens, 15); // a picture of each panel and menu
        }
    }
    // The top README's links into docs/ hold from its installed place too.
    EXPECT_TRUE(QFileInfo::exists(usr("share/doc/korvan/docs/guide_utilisateur.md")));
}

TEST_F(Installation, TheDesktopEntryIsValidAndNamesInstalledFiles)
{
    const QString entree = usr("share/applications/korvan.desktop");
    verifierEntreeValide(entree);
    const QString texte = QString::fromUtf8(contenu(entree));
    const auto valeur = [&texte](const char* cle) {
        const QRegularExpression r(QStringLiteral("^%1=(.*)$").arg(QLatin1String(cle)), QRegularExpression::MultilineOption);
        return r.match(texte).captured(1);
    };
    EXPECT_EQ(valeur("Name"), "Korvan");
    EXPECT_EQ(valeur("GenericName"), QString::fromUtf8("Gestionnaire de clips DV"));
    EXPECT_EQ(valeur("Categories"), "AudioVideo;Video;");
    for (const char* type : {"video/x-msvideo", "video/avi", "video/msvideo"})
        EXPECT_TRUE(valeur("MimeType").split(';').contains(QLatin1String(type))) << type;
    // The entry's program and icon are the ones installed beside it.
    EXPECT_EQ(valeur("Exec"), "korvan %F");
    EXPECT_TRUE(QFileInfo(bin(valeur("TryExec"))).isExecutable());
    EXPECT_TRUE(QFileInfo::exists(usr("share/icons/hicolor/scalable/apps/" + valeur("Icon") + ".svg")));
    // Not the user's Send To entry, which the program writes as Korvan.desktop.
    EXPECT_FALSE(QFileInfo::exists(usr("share/applications/Korvan.desktop")));
}

TEST_F(Installation, BothManualPagesRenderWithoutAWarning)
{
    const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
    ASSERT_FALSE(man.isEmpty()) << "man is missing (package man-db)";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("MANWIDTH", "80");
    const struct {
        const char* page;
        const char* titre;
        QStringList mots; // what a reader looks the page up for
    } pages[] = {
        {"korvan", "KORVAN(1)", {"SYNOPSIS", "LETTRES", "EXEMPLES", "FICHIERS", "~/.config/Brannoc/Korvan.conf", "[Actions]",
                                 "[IncrustFont]", "korvan +hd", "Masquer la fenêtre", "/usr/lib/korvan/plugins/"}},
        {"korvan-info", "KORVAN-INFO(1)", {"SYNOPSIS", "OPTIONS", "EXEMPLES", "--scenes", "--riff", "--filters", "--version",
                                           "/usr/libexec/korvan/korvan-filtres"}},
    };
    for (const auto& p : pages) {
        const QString fichier = usr(QStringLiteral("share/man/fr/man1/%1.1.gz").arg(QLatin1String(p.page)));
        const Lancement l = lancer(man, {"--warnings", "-E", "UTF-8", "-l", fichier}, env);
        ASSERT_EQ(l.code, 0) << p.page << ": " << l.erreurs.toStdString();
        EXPECT_TRUE(l.erreurs.isEmpty()) << p.page << ": " << l.erreurs.toStdString();
        const QString texte = QString::fromUtf8(l.sortie);
        EXPECT_TRUE(texte.startsWith(QLatin1String(p.titre))) << p.page;
        // The footer carries the program's version.
        EXPECT_TRUE(texte.contains(QStringLiteral("Korvan " KORVAN_VERSION))) << p.page;
        for (const QString& mot : p.mots)
            EXPECT_TRUE(texte.contains(mot)) << p.page << " lacks " << mot.toStdString();
    }
    // The package's history starts with this version.
    const Lancement changelog = lancer(QStringLiteral("gzip"), {"-dc", usr("share/doc/korvan/changelog.gz")});
    ASSERT_EQ(changelog.code, 0);
    EXPECT_TRUE(changelog.sortie.startsWith("korvan (" KORVAN_VERSION ")")) << changelog.sortie.left(60).toStdString();
}

TEST_F(Installation, InstalledProgramsRunAndFindTheirParts)
{
    KORVAN_REQUIRE_FIXTURES();
    Lancement l = lancer(bin("korvan"), {"--version"});
    EXPECT_EQ(l.code, 0);
    EXPECT_EQ(l.sortie, "Korvan " KORVAN_VERSION "\n");
    l = lancer(bin("korvan-info"), {"--version"});
    EXPECT_EQ(l.code, 0);
    EXPECT_EQ(l.sortie, "korvan-info (Korvan) " KORVAN_VERSION "\n");
    // korvan-filtres is not beside korvan-info here: found in libexec.
    l = lancer(bin("korvan-info"), {"--filters"});
    EXPECT_EQ(l.code, 0) << l.erreurs.toStdString();
    EXPECT_TRUE(l.sortie.contains("groupe\tprésent\tokConversion")) << l.sortie.toStdString();

    // The example plug-in's letter, from the installed plug-in folder only
    // (no plugins/ beside the installed program, an empty user folder).
    SessionKorvan session;
    ASSERT_TRUE(session.preparer());
    session.utiliserProgramme(bin("korvan"));
    session.copier("pal_t2_43.avi", "clip.avi");
    const Sortie s = session.korvan({"+hk", "clip.avi"});
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_EQ(contenu(session.clips() + "/clip_codes.txt"), "datecode: 14/07/2004 10:31:05\ntimecode: 10.20.30.12\n");
    // A hidden run without files ends at once, and well.
    const Sortie vide = session.korvan({"+h"});
    EXPECT_TRUE(vide.normale && vide.code == 0) << vide.err.toStdString();
}
