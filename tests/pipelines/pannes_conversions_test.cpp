// Faults that strike while a conversion runs, for every conversion of the
// module: the source deleted, the source cut short, the disk full. Whatever
// happens the source is never written to, a failed run leaves no output, and
// a run that succeeds gives the very bytes of an undisturbed run.
#include "conversion_aide.h"
#include "support/oracles.h"
#include "support/sortie_retenue.h"

#include <QFileInfo>

#include <unistd.h>

using namespace korvan;
using namespace korvan::test;

namespace {

struct Conversion {
    const char* nom;
    Graphe graphe;
    const char* source;
    std::function<void(TCdm&)> reglages;
};

void reglerDecalage(TCdm& cdm)
{
    cdm.DVheader().Reset(1);
    cdm.DVheader().SetHourOffset(-2);
    cdm.DVheader().SetCreateDatePacks(false);
    cdm.DVheader().SetSingleInput(true);
}

const Conversion kConversions[] = {
    {"type 1", &TCdm::GrapheVersType1, "pal_scenes_merge.avi", {}},
    {"type 2", &TCdm::GrapheVersType2, "pal_t1_43.avi", {}},
    {"horloge", &TCdm::GrapheDecalageHoraire, "pal_scenes_merge.avi", reglerDecalage},
    {"wav", &TCdm::GrapheExtraireAudio, "pal_scenes_merge.avi", {}},
};

enum class Faute { SourceSupprimee, SourceCoupee, DisquePlein };

struct Cas {
    const char* nom;
    Faute faute;
};

// Runs the conversion with the output held at its second append while the
// fault strikes, then lets it go on.
Resultat convertirAvecFaute(const Conversion& c, Faute faute, const std::string& source, const std::string& sortie)
{
    TCdm cdm;
    RegleSortie regle;
    regle.retenue = 2;
    std::atomic<bool> frappee{false};
    bool coupee = false;
    regle.liberee = [&] {
        if (!frappee.exchange(true)) {
            if (faute == Faute::SourceSupprimee)
                ::unlink(source.c_str());
            else if (faute == Faute::SourceCoupee)
                coupee = ::truncate(source.c_str(), 300000) == 0;
        }
        return true;
    };
    if (faute == Faute::DisquePlein)
        regle.limite = 200000;
    cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
    const Resultat r = convertir(cdm, c.graphe, source, sortie, c.reglages);
    EXPECT_TRUE(faute != Faute::SourceCoupee || coupee);
    return r;
}

} // namespace

TEST(PannesConversions, EveryConversionSurvivesItsSourceGoingAndTheDiskFilling)
{
    KORVAN_REQUIRE_FIXTURES();
    const Cas cas[] = {
        {"source supprimee", Faute::SourceSupprimee},
        {"source coupee", Faute::SourceCoupee},
        {"disque plein", Faute::DisquePlein},
    };
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(c.nom);
        ScratchDir d;
        // The undisturbed run gives the reference bytes.
        const std::string reference = d.path("reference.out");
        {
            TCdm cdm;
            ASSERT_EQ(convertir(cdm, c.graphe, fixture(c.source), reference, c.reglages).issue, IssueConversion::Terminee);
        }
        const QString attendu = sha256(reference);
        for (const Cas& k : cas) {
            SCOPED_TRACE(k.nom);
            const std::string source = d.copyFixture(c.source, std::string(k.nom) + ".avi");
            const QString empreinte = sha256(source);
            const std::string sortie = d.path(std::string(k.nom) + ".out");
            const Resultat r = convertirAvecFaute(c, k.faute, source, sortie);
            ASSERT_TRUE(r.construit) << r.echec.toStdString();
            const bool reste = QFileInfo::exists(QString::fromStdString(sortie));
            switch (k.faute) {
            case Faute::SourceSupprimee:
                // The open source is still there to read: the run ends as if nothing happened.
                EXPECT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
                EXPECT_EQ(sha256(sortie), attendu);
                break;
            case Faute::SourceCoupee:
                // Either everything was read before the cut, or the run fails on the missing bytes.
                if (r.issue == IssueConversion::Terminee) {
                    EXPECT_EQ(sha256(sortie), attendu);
                } else {
                    EXPECT_EQ(r.issue, IssueConversion::Echec);
                    EXPECT_TRUE(r.echec.startsWith("Impossible de lire le fichier ")) << r.echec.toStdString();
                    EXPECT_FALSE(reste);
                }
                break;
            case Faute::DisquePlein:
                EXPECT_EQ(r.issue, IssueConversion::Echec);
                EXPECT_TRUE(r.echec.startsWith("Impossible d'écrire le fichier ")) << r.echec.toStdString();
                EXPECT_FALSE(reste);
                EXPECT_EQ(sha256(source), empreinte);
                break;
            }
        }
    }
}
