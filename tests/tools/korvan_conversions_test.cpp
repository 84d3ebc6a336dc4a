// The conversion and scene letters of korvan as a batch user runs them
// (+h1, +h2, +hn, +hp, +hi, +hg, +hw, +hs, +hx, +hz and a window run), their outputs read by
// ffprobe and MediaInfo; and a full disk or a read-only folder as the
// destination (a small tmpfs mounted in a namespace of its own), which fail
// the run with their message, leave no output and never touch the source.
#include "session_korvan.h"
#include "support/oracles.h"

#include <QFileInfo>
#include <QJsonArray>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvan::test;

namespace {

class KorvanConversions : public ::testing::Test, public SessionKorvan {
protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_FIXTURES();
        ASSERT_TRUE(preparer());
        copier("pal_t2_43.avi", "mariage.avi");
        copier("pal_t1_43.avi", "anniversaire.avi");
        copier("ntsc_t1_32k.avi", "plage.avi");
    }
    std::string chemin(const QString& nom) const { return (clips() + '/' + nom).toStdString(); }

    // A hidden run under a new mount namespace where `dossier` is a tmpfs
    // of that size ("ro" read-only); the folder's listing after the run
    // follows the program's output. Empty when no namespace can be made here.
    std::optional<Sortie> surDisque(const QString& dossier, const QString& options, const QStringList& args)
    {
        QProcess essai;
        essai.start("unshare", {"-rm", "true"});
        if (!essai.waitForFinished(10000) || essai.exitCode() != 0)
            return std::nullopt;
        QDir().mkpath(dossier);
        const QString script = QStringLiteral("mount -t tmpfs -o %1 tmpfs \"$0\" || exit 99; \"$@\"; r=$?; echo LISTE; ls -A \"$0\"; exit $r")
                                   .arg(options);
        return korvan(args, {}, {"unshare", "-rm", "sh", "-c", script, dossier});
    }
};

QString ligneErreur(const Sortie& s)
{
    const QString err = QString::fromLocal8Bit(s.err);
    const qsizetype i = err.indexOf("Erreur: ");
    return i < 0 ? QString() : err.mid(i).section('\n', 0, 0);
}

} // namespace

TEST_F(KorvanConversions, HiddenRunsConvertExtractAndManageScenes)
{
    // DV type 1 from the type 2 clip only, type 2 from the two type 1 clips.
    Sortie s = korvan({"+h1", "mariage.avi", "anniversaire.avi", "plage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    s = korvan({"+h2", "mariage.avi", "anniversaire.avi", "plage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_EQ(fichiers(), QStringList({"anniversaire.avi", "anniversaire_type2.avi", "mariage.avi", "mariage_type1.avi",
                                       "plage.avi", "plage_type2.avi"}));
    struct Type {
        const char* nom;
        int flux;
        const char* muxage; // MediaInfo's muxing mode of the sound: "DV" in a type 1 file
        int hauteur;
        int images;
    };
    for (const Type t : {Type{"mariage_type1.avi", 2, "DV", 576, 30}, Type{"anniversaire_type2.avi", 2, "", 576, 25},
                         Type{"plage_type2.avi", 2, "", 480, 30}}) {
        SCOPED_TRACE(t.nom);
        const QJsonArray flux = fluxFfprobe(ffprobe(chemin(t.nom)));
        ASSERT_EQ(flux.size(), t.flux);
        EXPECT_EQ(flux[0].toObject().value("codec_name").toString(), "dvvideo");
        EXPECT_EQ(flux[0].toObject().value("height").toInt(), t.hauteur);
        EXPECT_EQ(flux[0].toObject().value("nb_read_packets").toString().toInt(), t.images);
        EXPECT_EQ(pisteMediaInfo(chemin(t.nom), "Audio").value("MuxingMode").toString(), QLatin1String(t.muxage));
    }
    EXPECT_TRUE(sonFFmpeg(chemin("mariage_type1.avi")) == sonFFmpeg(chemin("mariage.avi")));
    EXPECT_TRUE(sonFFmpeg(chemin("plage_type2.avi")) == sonFFmpeg(chemin("plage.avi")));

    // The sound of the three sources as WAV files, which stay out of the list.
    s = korvan({"+hw", "mariage.avi", "anniversaire.avi", "plage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    for (const char* nom : {"mariage", "anniversaire", "plage"}) {
        SCOPED_TRACE(nom);
        EXPECT_TRUE(sonFFmpeg(chemin(QString(nom) + ".wav")) == sonFFmpeg(chemin(QString(nom) + ".avi")));
    }

    // Scene files, their text export, then their removal.
    s = korvan({"+hs", "mariage.avi", "plage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(clips() + "/mariage.scn"));
    EXPECT_TRUE(QFileInfo::exists(clips() + "/plage.scn"));
    s = korvan({"+hx", "mariage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(clips() + "/mariage_scn.txt"));
    s = korvan({"+hz", "mariage.avi", "plage.avi"});
    ASSERT_TRUE(s.normale && s.code == 0) << s.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(clips() + "/mariage.scn"));
    EXPECT_FALSE(QFileInfo::exists(clips() + "/plage.scn"));
}

TEST_F(KorvanConversions, HiddenRunsReencode)
{
    copier("mjpeg_pcm.avi", "film.avi");
    // n takes the PAL clip only, p the NTSC one; i keeps the standard; g the MJPEG clip only.
    for (const QStringList& args : {QStringList{"+hn", "mariage.avi", "plage.avi"}, QStringList{"+hp", "mariage.avi", "plage.avi"},
                                    QStringList{"+hi", "mariage.avi"}, QStringList{"+hg", "film.avi", "mariage.avi"}}) {
        const Sortie s = korvan(args);
        ASSERT_TRUE(s.normale && s.code == 0) << args.join(' ').toStdString() << ": " << s.err.toStdString();
    }
    EXPECT_EQ(fichiers(), QStringList({"anniversaire.avi", "film.avi", "film_dvtype2.avi", "mariage.avi", "mariage_in.avi",
                                       "mariage_ntsc.avi", "plage.avi", "plage_pal.avi"}));
    struct Attendu {
        const char* nom;
        const char* standard;
        int hauteur;
        const char* muxage; // "DV": the sound is in the frames only (type 1)
    };
    for (const Attendu a : {Attendu{"mariage_ntsc.avi", "NTSC", 480, ""}, Attendu{"plage_pal.avi", "PAL", 576, "DV"},
                            Attendu{"mariage_in.avi", "PAL", 576, ""}, Attendu{"film_dvtype2.avi", "PAL", 576, ""}}) {
        SCOPED_TRACE(a.nom);
        const QJsonObject video = fluxFfprobe(ffprobe(chemin(a.nom)))[0].toObject();
        EXPECT_EQ(video.value("codec_name").toString(), "dvvideo");
        EXPECT_EQ(video.value("height").toInt(), a.hauteur);
        EXPECT_EQ(pisteMediaInfo(chemin(a.nom), "Video").value("Standard").toString(), QLatin1String(a.standard));
        EXPECT_EQ(pisteMediaInfo(chemin(a.nom), "Audio").value("MuxingMode").toString(), QLatin1String(a.muxage));
    }
}

TEST_F(KorvanConversions, AWindowRunConvertsAndCloses)
{
    const Sortie s = korvan({"+mc1", "mariage.avi"}, "offscreen");
    ASSERT_TRUE(s.normale) << s.err.toStdString();
    EXPECT_EQ(s.code, 0) << s.err.toStdString();
    EXPECT_EQ(fluxFfprobe(ffprobe(chemin("mariage_type1.avi")))[0].toObject().value("nb_read_packets").toString().toInt(), 30);
}

TEST_F(KorvanConversions, AFullDiskOrAReadOnlyFolderFailsTheRunAndLeavesNothing)
{
    const QString empreinte = sha256(chemin("mariage.avi"));
    const QString destination = racine() + "/destination";
    regler("Sauver dans le même dossier", 0);
    regler("Dossier pour Sauver", destination + '/');
    struct Cas {
        const char* options;
        const char* quoi;
        int erreur;
    };
    // 1 MiB takes a part of the 4 MB output; a read-only folder takes none.
    for (const Cas c : {Cas{"size=1m", "Impossible d'écrire le fichier ", ENOSPC},
                        Cas{"ro", "Impossible de créer le fichier ", EROFS}}) {
        SCOPED_TRACE(c.options);
        const auto s = surDisque(destination, c.options, {"+h1", "mariage.avi"});
        if (!s)
            GTEST_SKIP() << "no mount namespace can be made here";
        ASSERT_TRUE(s->normale) << s->err.toStdString();
        ASSERT_NE(s->code, 99) << "the tmpfs could not be mounted";
        EXPECT_EQ(s->code, 1);
        EXPECT_EQ(ligneErreur(*s), "Erreur: " + QString::fromUtf8(c.quoi) + destination + "/mariage_type1.avi : " +
                                       QString::fromLocal8Bit(std::strerror(c.erreur)));
        // Nothing left on the disk after the run; the source as it was.
        EXPECT_TRUE(s->out.endsWith("LISTE\n")) << s->out.toStdString();
        EXPECT_EQ(sha256(chemin("mariage.avi")), empreinte);
    }
}
