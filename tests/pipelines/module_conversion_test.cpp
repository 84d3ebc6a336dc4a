// The conversion module's run contract: a stop between two chunks leaves a
// valid shorter output and the source intact, the end of a run reaches the
// waiting thread as a queued call (an earlier run's end never ends a later
// wait), the position follows the frames up to the duration, and failures
// (a missing folder, the source itself as destination, a full disk, a source
// cut during the run) are told and leave no output behind.
#include "analysis/avi_demuxer.h"
#include "conversion_aide.h"
#include "platform/erreur_systeme.h"
#include "support/oracles.h"
#include "support/sortie_retenue.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <random>
#include <sys/mount.h>
#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

void attendre(const std::atomic<bool>& drapeau)
{
    while (!drapeau)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void attendreFin(const TCdm& cdm)
{
    while (!cdm.fini())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void reglerDecalage(TCdm& cdm)
{
    cdm.DVheader().Reset(1);
    cdm.DVheader().SetHourOffset(3);
    cdm.DVheader().SetCreateDatePacks(false);
    cdm.DVheader().SetSingleInput(true);
}

} // namespace

TEST(ModuleConversion, AStopBetweenChunksLeavesAValidShorterOutputAndTheSource)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        Graphe graphe;
        bool wav;
    };
    const Cas cas[] = {
        {"pal_scenes_merge.avi", &TCdm::GrapheVersType1, false},
        {"pal_t1_43.avi", &TCdm::GrapheVersType2, false},
        {"pal_scenes_merge.avi", &TCdm::GrapheDecalageHoraire, false},
        {"pal_scenes_merge.avi", &TCdm::GrapheExtraireAudio, true},
    };
    // Esc comes at a few points drawn once from a fixed seed, the same in every run.
    std::mt19937 tirage(20);
    std::uniform_int_distribution<int> point(2, 20);
    for (const Cas& c : cas)
    for (int essai = 0; essai < 3; ++essai) {
        const int retenue = point(tirage);
        SCOPED_TRACE(std::string(c.nom) + " Esc at append " + std::to_string(retenue));
        ScratchDir d;
        const std::string source = d.copyFixture(c.nom);
        const QString empreinte = sha256(source);
        const size_t total = tramesDe(source).size();
        const std::string sortie = d.path(c.wav ? "partiel.wav" : "partiel.avi");
        TCdm cdm;
        std::atomic<bool> relache{false};
        RegleSortie regle;
        regle.retenue = retenue;
        regle.liberee = [&] { return relache.load(); };
        cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
        ASSERT_TRUE((cdm.*c.graphe)(QString::fromStdString(source), QString::fromStdString(sortie)));
        if (c.graphe == &TCdm::GrapheDecalageHoraire)
            reglerDecalage(cdm);
        cdm.Lancer();
        attendre(regle.atteinte);
        cdm.DemanderArret();
        relache = true;
        cdm.Arreter();
        EXPECT_EQ(cdm.issue(), IssueConversion::Interrompue);
        EXPECT_TRUE(cdm.texteEchec().isEmpty());
        EXPECT_EQ(sha256(source), empreinte);
        // What was written is a closed file that every reader takes whole.
        ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(sortie)));
        if (c.wav) {
            const double secondes = pisteMediaInfo(sortie, "Audio").value("Duration").toString().toDouble();
            EXPECT_GT(secondes, 0);
            EXPECT_LT(secondes, double(total) * 0.04);
            EXPECT_EQ(sonFFmpeg(sortie).size(), qsizetype(secondes * 48000 * 4 + 0.5));
            continue;
        }
        const AviDemuxer lu = AviDemuxer::ouvrir(sortie);
        EXPECT_FALSE(lu.interrupted());
        const size_t ecrites = lu.frameIndex(0).size();
        // An early Esc may leave no frame at all: still a closed file.
        EXPECT_LT(ecrites, total);
        EXPECT_EQ(fluxFfprobe(ffprobe(sortie))[0].toObject().value("nb_read_packets").toString().toInt(), int(ecrites));
        EXPECT_NEAR(pisteMediaInfo(sortie, "Video").value("Duration").toString().toDouble(), double(ecrites) * 0.04, 0.0011);
    }
}

TEST(ModuleConversion, TheEndOfARunIsAQueuedCallForThatRunOnly)
{
    KORVAN_REQUIRE_FIXTURES();
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    ScratchDir d;
    TCdm cdm;
    conversionTerminee = false;
    ASSERT_TRUE(cdm.GrapheVersType1(QString::fromStdString(fixture("pal_t2_43.avi")), QString::fromStdString(d.path("a.avi"))));
    EXPECT_EQ(progressionConversion.load(), &cdm);
    cdm.Lancer();
    attendreFin(cdm);
    // Finished, but the waiting thread learns it from its event queue.
    EXPECT_FALSE(conversionTerminee);
    QCoreApplication::processEvents();
    EXPECT_TRUE(conversionTerminee);
    EXPECT_EQ(cdm.positionCourante(), cdm.Duree());
    cdm.Arreter();
    EXPECT_EQ(cdm.issue(), IssueConversion::Terminee);

    // A run whose graph was emptied before its end was delivered: the queued
    // end no longer counts, for the next run's wait.
    conversionTerminee = false;
    ASSERT_TRUE(cdm.GrapheVersType1(QString::fromStdString(fixture("pal_t2_43.avi")), QString::fromStdString(d.path("b.avi"))));
    cdm.Lancer();
    attendreFin(cdm);
    cdm.DesactiverGraphe();
    QCoreApplication::processEvents();
    EXPECT_FALSE(conversionTerminee);
    progressionConversion = nullptr;
}

TEST(ModuleConversion, ThePositionFollowsTheFramesUpToTheDuration)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    TCdm cdm;
    std::atomic<bool> relache{false};
    RegleSortie regle;
    regle.retenue = 40;
    regle.liberee = [&] { return relache.load(); };
    cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
    // Before the build there is nothing to run and no duration.
    cdm.Lancer();
    EXPECT_FALSE(cdm.fini());
    EXPECT_EQ(cdm.Duree(), 0);
    ASSERT_TRUE(cdm.GrapheVersType2(QString::fromStdString(fixture("ntsc_t1_32k.avi")), QString::fromStdString(d.path("t2.avi"))));
    // 30 NTSC frames.
    EXPECT_EQ(cdm.Duree(), 30 * 333667);
    cdm.Lancer();
    attendre(regle.atteinte);
    const int64_t enRoute = cdm.positionCourante();
    EXPECT_GT(enRoute, 0);
    EXPECT_LT(enRoute, cdm.Duree());
    EXPECT_EQ(enRoute % 333667, 0);
    relache = true;
    attendreFin(cdm);
    EXPECT_EQ(cdm.positionCourante(), cdm.Duree());
    cdm.Arreter();
    EXPECT_EQ(cdm.issue(), IssueConversion::Terminee);
    // A graph runs once: starting it again leaves its output as it is.
    const QString empreinte = sha256(d.path("t2.avi"));
    cdm.Lancer();
    cdm.Arreter();
    EXPECT_EQ(sha256(d.path("t2.avi")), empreinte);
    EXPECT_EQ(cdm.issue(), IssueConversion::Terminee);
    cdm.DesactiverGraphe();
    EXPECT_FALSE(cdm.actif());
    EXPECT_EQ(cdm.Duree(), 0);
    EXPECT_EQ(cdm.positionCourante(), 0);
    progressionConversion = nullptr;
}

TEST(ModuleConversion, FailuresAreToldAndLeaveNoOutputNorATouchedSource)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string source = d.copyFixture("pal_t2_43.avi");
    const QString empreinte = sha256(source);
    const QString src = QString::fromStdString(source);
    const std::string lien = d.path("lien.avi");
    ASSERT_EQ(::symlink(source.c_str(), lien.c_str()), 0);
    const std::string dur = d.path("meme.avi");
    ASSERT_EQ(::link(source.c_str(), dur.c_str()), 0);
    const std::string coupe = d.copyFixture("pal_t2_43.avi", "coupe.avi");

    struct Cas {
        const char* nom;
        std::string sourceCas;
        std::string sortie;
        int64_t disque;        // bytes the output may take, -1 without limit
        bool couperSource;     // the source is cut once the graph is built
        QString echec;
    };
    const QString creer = QStringLiteral("Impossible de créer le fichier ");
    const Cas cas[] = {
        {"dossier absent", source, d.path("absent/sortie.avi"), -1, false,
         creer + QString::fromStdString(d.path("absent/sortie.avi")) + "\r\n" + TexteErreurSysteme(ENOENT)},
        {"lien vers la source", source, lien, -1, false,
         creer + QString::fromStdString(lien) + QStringLiteral("\r\nC'est le fichier à convertir")},
        {"autre nom de la source", source, dur, -1, false,
         creer + QString::fromStdString(dur) + QStringLiteral("\r\nC'est le fichier à convertir")},
        {"disque plein", source, d.path("plein.avi"), 1 << 20, false,
         QStringLiteral("Impossible d'écrire le fichier ") + QString::fromStdString(d.path("plein.avi")) + "\r\n" +
             TexteErreurSysteme(ENOSPC)},
        {"source coupee", coupe, d.path("depuis_coupe.avi"), -1, true,
         QStringLiteral("Impossible de lire le fichier ") + QString::fromStdString(coupe) + "\r\n" + TexteErreurSysteme(EIO)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        TCdm cdm;
        RegleSortie regle;
        regle.limite = c.disque;
        cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
        ASSERT_TRUE(cdm.GrapheVersType1(QString::fromStdString(c.sourceCas), QString::fromStdString(c.sortie)));
        if (c.couperSource)
            ASSERT_EQ(::truncate(c.sourceCas.c_str(), 2 << 20), 0);
        cdm.Lancer();
        attendreFin(cdm);
        cdm.Arreter();
        EXPECT_EQ(cdm.issue(), IssueConversion::Echec);
        EXPECT_EQ(cdm.texteEchec(), c.echec);
        // Never the source: the links still lead to it, untouched.
        EXPECT_EQ(sha256(source), empreinte);
        if (c.sortie == lien || c.sortie == dur)
            EXPECT_EQ(sha256(c.sortie), empreinte);
        else
            EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(c.sortie)));
        progressionConversion = nullptr;
    }
}

TEST(ModuleConversion, AFullDiskOfTheSystemIsAWriteFailure)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string disque = d.path("disque");
    ASSERT_EQ(::mkdir(disque.c_str(), 0700), 0);
    if (::mount("tmpfs", disque.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string sortie = disque + "/sortie.avi";
    TCdm cdm;
    const Resultat r = convertir(cdm, &TCdm::GrapheVersType1, fixture("pal_t2_43.avi"), sortie);
    const bool reste = QFileInfo::exists(QString::fromStdString(sortie));
    ::umount(disque.c_str());
    EXPECT_EQ(r.issue, IssueConversion::Echec);
    EXPECT_EQ(r.echec, QStringLiteral("Impossible d'écrire le fichier ") + QString::fromStdString(sortie) + "\r\n" +
                           TexteErreurSysteme(ENOSPC));
    EXPECT_FALSE(reste);
}
