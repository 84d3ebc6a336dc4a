// The about panel's system report: its seventeen lines with their styles,
// the filter lines red exactly where a filter or group is missing, the real
// system and media library names, and the writers' failures told to the user.
#include "machine_essai.h"
#include "pipelines/rapport_systeme.h"

#include "commands/doubles_fenetre.h"
#include "pipelines/version_media.h"
#include "platform/version_systeme.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace korvan;
using namespace korvan::test;

namespace {

DrapeauxFiltres sans(const QStringList& absents)
{
    CatalogueFiltres catalogue;
    return VerifierFiltres(RegistreFiltres::integre(machineComplete(), absents), catalogue);
}

// Records each line as "style|colour|text", and fails where it is told to.
class SortieMemoire : public SortieRapportSysteme {
public:
    QStringList lignes;
    int vidages = 0;
    std::set<int> enEchec; // 1-based line numbers
    void vider() override { ++vidages; }
    void definirStyle(StyleRapport s) override { style_ = s; }
    void ecrire_noir(const QString& t) override { ecrire(t, "noir"); }
    void ecrire_rouge(const QString& t) override { ecrire(t, "rouge"); }

private:
    void ecrire(const QString& t, const char* couleur)
    {
        ++numero_;
        if (enEchec.count(numero_))
            throw std::runtime_error("cannot write");
        lignes << QStringLiteral("%1|%2|%3").arg(style_ == StyleRapport::Gras ? "gras" : "italique", couleur, t);
    }
    StyleRapport style_ = StyleRapport::Gras;
    int numero_ = 0;
};

QString sortieDe(const QString& programme, const QStringList& arguments)
{
    QProcess p;
    p.start(programme, arguments);
    return p.waitForFinished(10000) ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QString();
}

} // namespace

TEST(RapportSysteme, SeventeenLinesAllBlackWithEveryFilter)
{
    SortieMemoire sortie;
    BoiteScriptee boite;
    EcrireRapportSysteme(sortie, LignesRapportSysteme("Debian GNU/Linux 12 (bookworm) - noyau 6.1.0", "FFmpeg 5.1.6",
                                                      sans({})),
                         boite);
    const QStringList attendu = {
        "italique|noir|Votre système d'exploitation est: ",
        "gras|noir|Debian GNU/Linux 12 (bookworm) - noyau 6.1.0. ",
        "gras|noir|",
        "italique|noir|Vous utilisez:",
        "gras|noir|FFmpeg 5.1.6.",
        "gras|noir|",
        "gras|noir|Les filtres de conversion sont tous présents.",
        "gras|noir|Les filtres pour lister les vidéo sont tous présents.",
        "gras|noir|Les filtres pour visualiser les vidéo sont tous présents.",
        "gras|noir|Les filtres pour créer des Scènes sont tous présents.",
        "gras|noir|Les filtres pour incruster sont tous présents.",
        "gras|noir|Le filtre Pinnacle Video Deinterlacer est présent.",
        "gras|noir|Le filtre Brannoc Superposer3 est présent.",
        "gras|noir|Le filtre Brannoc DateCoder2 est présent.",
        "gras|noir|Le filtre Brannoc DVHeader est présent.",
        "gras|noir|Le filtre Brannoc TimeStamper est présent.",
        "gras|noir|Le filtre WavDest est présent.",
    };
    EXPECT_EQ(sortie.lignes, attendu);
    EXPECT_EQ(sortie.vidages, 1);
    EXPECT_TRUE(boite.questions.empty());
}

TEST(RapportSysteme, ExactlyTheMissingFiltersLinesAreRed)
{
    const struct {
        QStringList absents;
        QStringList rouges; // line 7 onwards, as written
    } cas[] = {
        {{"WAV Dest"}, {"Le filtre WavDest est absent."}},
        {{"Pinnacle Video Deinterlacer"}, {"Le filtre Pinnacle Video Deinterlacer est absent."}},
        {{"DV Video Encoder"}, {"Certains filtres de conversion manquent sont absents."}},
        {{"Default DirectSound Device"}, {"Certains filtres pour visualiser les vidéos sont absents."}},
        {{"Brannoc DVHeader"}, {"Certains filtres pour Incruster sont absents.", "Le filtre Brannoc DVHeader est absent."}},
        {{"Brannoc Datecoder2"}, {"Certains filtres pour Incruster sont absents.", "Le filtre Brannoc DateCoder2 est absent."}},
        {{"AVI Splitter"},
         {"Certains filtres de conversion manquent sont absents.", "Certains filtres pour lister les vidéos sont absents.",
          "Certains filtres pour visualiser les vidéos sont absents.", "Certains filtres pour créer des Scénes sont absents."}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.absents.join(';').toStdString());
        const std::vector<LigneRapportSysteme> lignes = LignesRapportSysteme("S", "M", sans(c.absents));
        ASSERT_EQ(lignes.size(), 17u);
        QStringList rouges;
        for (size_t i = 0; i < lignes.size(); ++i) {
            if (lignes[i].rouge) {
                EXPECT_GE(i, 6u);
                rouges << lignes[i].texte;
            }
        }
        EXPECT_EQ(rouges, c.rouges);
    }
}

TEST(RapportSysteme, ThisMachinesSystemAndMediaLibraries)
{
    const std::vector<LigneRapportSysteme> lignes = LignesRapportSysteme();
    ASSERT_EQ(lignes.size(), 17u);
    EXPECT_EQ(lignes[1].texte, NomVersionWindows() + ". ");
    EXPECT_EQ(lignes[4].texte, VersionDirectX() + ".");
    // The names as the system's own tools give them.
    const QString noyau = sortieDe("uname", {"-r"});
    ASSERT_FALSE(noyau.isEmpty());
    EXPECT_TRUE(lignes[1].texte.endsWith(" - noyau " + noyau + ". ")) << lignes[1].texte.toStdString();
    const QString produit = sortieDe("sh", {"-c", ". /etc/os-release 2>/dev/null || . /usr/lib/os-release; echo \"$PRETTY_NAME\""});
    if (!produit.isEmpty())
        EXPECT_TRUE(lignes[1].texte.startsWith(produit + " - noyau ")) << lignes[1].texte.toStdString();
    const QString ffmpeg = sortieDe("ffmpeg", {"-hide_banner", "-version"}).section('\n', 0, 0);
    // "ffmpeg version 5.1.6-0+deb12u1 Copyright ..." names the same libraries.
    EXPECT_TRUE(ffmpeg.startsWith("ffmpeg version " + lignes[4].texte.section(' ', 1, 1))) << ffmpeg.toStdString();
}

TEST(RapportSysteme, AFailingWriterIsToldAndTheReportGoesOn)
{
    SortieMemoire sortie;
    sortie.enEchec = {2, 17};
    BoiteScriptee boite;
    EcrireRapportSysteme(sortie, LignesRapportSysteme("S", "M", sans({"WAV Dest"})), boite);
    EXPECT_EQ(sortie.lignes.size(), 15);
    EXPECT_EQ(sortie.lignes.value(1), "gras|noir|");
    EXPECT_EQ(boite.erreurs(), QStringList({"SVP informez Brannoc de l'erreur suivante: Erreur dans ecrire_noir",
                                            "SVP informez Brannoc de l'erreur suivante: Erreur dans ecrire_rouge"}));
}
