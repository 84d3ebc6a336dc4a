// The start-up presence check: which components get bound, in which order
// the groups are looked up and where they stop, the eleven flags and the
// report lines they give.
#include "machine_essai.h"
#include "pipelines/presence_filtres.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace korvan;
using namespace korvan::test;

namespace {

DrapeauxFiltres verifier(const RegistreFiltres& registre, CatalogueFiltres* catalogue = nullptr)
{
    CatalogueFiltres local;
    return VerifierFiltres(registre, catalogue ? *catalogue : local);
}


const std::vector<std::string> kOrdreRapport = {
    "okConversion", "okListe",  "okVisualisation", "okScenes",     "okIncrustation", "okDesentrelaceur",
    "okSuperposer", "okDatecoder", "okDVHeader",   "okTimeStamper", "okWavDest"};

} // namespace

TEST(PresenceFiltres, EverythingInstalledBindsEveryLookedUpComponentAndWritesBlackLines)
{
    CatalogueFiltres c;
    const DrapeauxFiltres d = verifier(RegistreFiltres::integre(machineComplete(), {}), &c);
    const DrapeauxFiltres tous = DrapeauxFiltres::tous();
    EXPECT_EQ(d, tous);

    const std::vector<LigneRapportFiltres> rapport = RapportFiltres(d);
    ASSERT_EQ(rapport.size(), 11u);
    const char* const attendus[] = {
        "Les filtres de conversion sont tous présents.",
        "Les filtres pour lister les vidéo sont tous présents.",
        "Les filtres pour visualiser les vidéo sont tous présents.",
        "Les filtres pour créer des Scènes sont tous présents.",
        "Les filtres pour incruster sont tous présents.",
        "Le filtre Pinnacle Video Deinterlacer est présent.",
        "Le filtre Brannoc Superposer3 est présent.",
        "Le filtre Brannoc DateCoder2 est présent.",
        "Le filtre Brannoc DVHeader est présent.",
        "Le filtre Brannoc TimeStamper est présent.",
        "Le filtre WavDest est présent.",
    };
    for (size_t i = 0; i < rapport.size(); ++i) {
        EXPECT_EQ(rapport[i].texte, QString::fromUtf8(attendus[i]));
        EXPECT_EQ(rapport[i].drapeau, kOrdreRapport[i]);
        EXPECT_TRUE(rapport[i].present);
    }

    // The two components without a built-in identity get the overlay code.
    EXPECT_EQ(c.cdm.superposer.identite.implementation, QLatin1String(roles::superposer.implementation));
    EXPECT_EQ(c.cdm.datecoder.identite.implementation, QLatin1String(roles::datecoder.implementation));
    EXPECT_EQ(c.cdm.DVenc.identite.categorieTrouvee, CategorieFiltre::CompresseursVideo);
    EXPECT_EQ(c.viewdm.audiorender.identite.categorieTrouvee, CategorieFiltre::RendusAudio);
    EXPECT_EQ(c.viewdm.audiorender.identite.nomTrouve, QLatin1String("Default DirectSound Device"));
    EXPECT_EQ(c.cdm.WAVDest.identite.categorieTrouvee, CategorieFiltre::FiltresDirectShow);
    for (const ComposantFiltre* lie : {&c.cdm.source, &c.cdm.null, &c.dm.source, &c.dmScenes.splitter, &c.viewdm.ts})
        EXPECT_TRUE(lie->identite.estLiee()) << lie->role->nomConvivial;

    // Components outside the checks keep their built-in identities.
    for (const ComposantFiltre* integre : {&c.viewdm.Superposer, &c.viewdm.datecoder, &c.viewdm.TsNoTime,
                                           &c.viewdm.Dvdecoder, &c.viewdm.dvsplitter, &c.viewdm.infinite,
                                           &c.viewdm.infinite0, &c.viewdm.nullrender, &c.viewdm.color}) {
        EXPECT_FALSE(integre->identite.estLiee()) << integre->role->nomConvivial;
        EXPECT_FALSE(integre->identite.estVide()) << integre->role->nomConvivial;
    }
}

TEST(PresenceFiltres, EveryComponentStartsWithItsBuiltInIdentity)
{
    const CatalogueFiltres c;
    const std::pair<const ComposantFiltre*, const char*> attendus[] = {
        {&c.cdm.source, "avio:file:lecture"},
        {&c.cdm.destination, "avio:file:ecriture"},
        {&c.cdm.avisplitter, "avformat:demuxer:avi"},
        {&c.cdm.dvsplitter, "avformat:demuxer:dv"},
        {&c.cdm.dvmuxer, "avformat:muxer:dv"},
        {&c.cdm.avimux, "avformat:muxer:avi"},
        {&c.cdm.acmwrapper, "swresample:pcm_s16le"},
        {&c.cdm.Dvdec, "avcodec:decoder:dvvideo"},
        {&c.cdm.Deinterlacer, "avfilter:yadif"},
        {&c.cdm.DVenc, "avcodec:encoder:dvvideo"},
        {&c.cdm.superposer, ""},
        {&c.cdm.datecoder, ""},
        {&c.cdm.infinite, "korvan:te"},
        {&c.cdm.WAVDest, "avformat:muxer:wav"},
        {&c.cdm.null, "korvan:null"},
        {&c.cdm.DVheader, "korvan:dvheader"},
        {&c.viewdm.source, "avio:file:lecture"},
        {&c.viewdm.avisplitter, "avformat:demuxer:avi"},
        {&c.viewdm.dvsplitter, "avformat:demuxer:dv"},
        {&c.viewdm.Dvdecoder, "avcodec:decoder:dvvideo"},
        {&c.viewdm.color, "swscale:rgb32"},
        {&c.viewdm.infinite0, "korvan:te"},
        {&c.viewdm.infinite, "korvan:te"},
        {&c.viewdm.nullrender, "korvan:null"},
        {&c.viewdm.sg, "korvan:capture-images"},
        {&c.viewdm.Superposer, "korvan:superposer3"},
        {&c.viewdm.datecoder, "korvan:datecoder2"},
        {&c.viewdm.ts, "korvan:timestamper"},
        {&c.viewdm.TsNoTime, "korvan:timestamper"},
        {&c.viewdm.audiorender, "qtmultimedia:sortie-audio:defaut"},
        {&c.dm.source, "avio:file:lecture"},
        {&c.dm.avisplitter, "avformat:demuxer:avi"},
        {&c.dm.dvsplitter, "avformat:demuxer:dv"},
        {&c.dm.nullrender, "korvan:null"},
        {&c.dm.sg, "korvan:capture-images"},
        {&c.dmScenes.source, "avio:file:lecture"},
        {&c.dmScenes.splitter, "avformat:demuxer:avi"},
        {&c.dmScenes.null, "korvan:null"},
        {&c.dmScenes.sg, "korvan:capture-images"},
    };
    for (size_t i = 0; i < std::size(attendus); ++i) {
        EXPECT_EQ(attendus[i].first->identite.implementation, QLatin1String(attendus[i].second)) << "row " << i;
        EXPECT_FALSE(attendus[i].first->identite.estLiee()) << "row " << i;
    }
}

TEST(PresenceFiltres, EachMissingFilterClearsExactlyItsFlagsAndReddensTheirLines)
{
    const std::map<std::string, std::set<std::string>> faux = {
        {"Pinnacle Video Deinterlacer", {"okDesentrelaceur"}},
        {"Brannoc Superposer3", {"okSuperposer", "okIncrustation"}},
        {"Brannoc Datecoder2", {"okDatecoder", "okIncrustation"}},
        {"Brannoc DVHeader", {"okDVHeader", "okIncrustation"}},
        {"Brannoc TimeStamper", {"okTimeStamper", "okIncrustation"}},
        {"WAV Dest", {"okWavDest"}},
        {"File Source (Async.)", {"okConversion", "okListe", "okScenes", "okVisualisation"}},
        {"File writer", {"okConversion"}},
        {"AVI Splitter", {"okConversion", "okListe", "okScenes", "okVisualisation"}},
        {"DV Splitter", {"okConversion", "okListe"}},
        {"DV Muxer", {"okConversion"}},
        {"AVI Mux", {"okConversion"}},
        {"DV Video Decoder", {"okConversion"}},
        {"DV Video Encoder", {"okConversion"}},
        {"ACM Wrapper", {"okConversion"}},
        {"Infinite Pin Tee Filter", {"okConversion"}},
        {"Null Renderer", {"okConversion", "okListe", "okScenes"}},
        {"Default DirectSound Device", {"okVisualisation"}},
        {"Color Space Converter", {}}, // never looked up
    };
    for (const auto& [nom, drapeauxFaux] : faux) {
        SCOPED_TRACE(nom);
        const auto registre = RegistreFiltres::integre(machineComplete(), {QString::fromStdString(nom)});
        const std::vector<LigneRapportFiltres> rapport = RapportFiltres(verifier(registre));
        for (const LigneRapportFiltres& l : rapport) {
            const bool attenduFaux = drapeauxFaux.count(l.drapeau) > 0;
            EXPECT_EQ(l.present, !attenduFaux) << l.drapeau;
            // Red lines say "absent"; black ones "présent(s)".
            EXPECT_EQ(l.texte.contains(QLatin1String("absent")), attenduFaux) << l.texte.toStdString();
        }
    }
}

TEST(PresenceFiltres, WavDestMissingReddensOnlyTheLastLine)
{
    const auto rapport = RapportFiltres(verifier(RegistreFiltres::integre(machineComplete(), {"WAV Dest"})));
    ASSERT_EQ(rapport.size(), 11u);
    for (size_t i = 0; i + 1 < rapport.size(); ++i)
        EXPECT_TRUE(rapport[i].present) << i;
    EXPECT_FALSE(rapport.back().present);
    EXPECT_EQ(rapport.back().texte, QStringLiteral("Le filtre WavDest est absent."));
}

TEST(PresenceFiltres, AbsentTextsKeepTheirOddWording)
{
    const auto rapport = RapportFiltres(DrapeauxFiltres{});
    const char* const attendus[] = {
        "Certains filtres de conversion manquent sont absents.",
        "Certains filtres pour lister les vidéos sont absents.",
        "Certains filtres pour visualiser les vidéos sont absents.",
        "Certains filtres pour créer des Scénes sont absents.",
        "Certains filtres pour Incruster sont absents.",
        "Le filtre Pinnacle Video Deinterlacer est absent.",
        "Le filtre Brannoc Superposer3 est absent.",
        "Le filtre Brannoc DateCoder2 est absent.",
        "Le filtre Brannoc DVHeader est absent.",
        "Le filtre Brannoc TimeStamper est absent.",
        "Le filtre WavDest est absent.",
    };
    ASSERT_EQ(rapport.size(), 11u);
    for (size_t i = 0; i < rapport.size(); ++i) {
        EXPECT_EQ(rapport[i].texte, QString::fromUtf8(attendus[i]));
        EXPECT_FALSE(rapport[i].present);
    }
}

TEST(PresenceFiltres, MissingFileWriterLeavesTheRestOfTheConversionChainUnlookedUp)
{
    CatalogueFiltres c;
    const DrapeauxFiltres d = verifier(RegistreFiltres::integre(machineComplete(), {"File writer"}), &c);
    EXPECT_FALSE(d.okConversion());
    EXPECT_TRUE(c.cdm.source.identite.estLiee());
    const CatalogueFiltres integre;
    for (auto [composant, origine] : {std::pair{&c.cdm.avisplitter, &integre.cdm.avisplitter},
                                      {&c.cdm.dvmuxer, &integre.cdm.dvmuxer},
                                      {&c.cdm.avimux, &integre.cdm.avimux},
                                      {&c.cdm.dvsplitter, &integre.cdm.dvsplitter},
                                      {&c.cdm.Dvdec, &integre.cdm.Dvdec},
                                      {&c.cdm.acmwrapper, &integre.cdm.acmwrapper},
                                      {&c.cdm.infinite, &integre.cdm.infinite},
                                      {&c.cdm.null, &integre.cdm.null},
                                      {&c.cdm.DVenc, &integre.cdm.DVenc}}) {
        EXPECT_FALSE(composant->identite.estLiee()) << composant->role->nomConvivial;
        EXPECT_EQ(composant->identite.implementation, origine->identite.implementation);
    }
    // The other groups look the same filters up for their own components.
    EXPECT_TRUE(d.okListe() && d.okScenes());
    EXPECT_TRUE(c.dm.avisplitter.identite.estLiee());
    EXPECT_TRUE(c.dmScenes.null.identite.estLiee());
}

TEST(PresenceFiltres, DvEncoderIsLookedUpAmongVideoCompressorsOnlyAndLast)
{
    // Registered as an ordinary filter, the encoder is not found.
    RegistreFiltres registre = RegistreFiltres::integre(machineComplete(), {"DV Video Encoder"});
    registre.inscrire({"DV Video Encoder", CategorieFiltre::FiltresDirectShow, roles::encodeurDv.implementation});
    CatalogueFiltres c;
    EXPECT_FALSE(verifier(registre, &c).okConversion());
    EXPECT_FALSE(c.cdm.DVenc.identite.estLiee());
    EXPECT_TRUE(c.cdm.null.identite.estLiee()); // the rest of the chain was found

    // Present among the compressors, it is not looked up once an earlier member failed.
    CatalogueFiltres c2;
    EXPECT_FALSE(verifier(RegistreFiltres::integre(machineComplete(), {"ACM Wrapper"}), &c2).okConversion());
    EXPECT_FALSE(c2.cdm.infinite.identite.estLiee());
    EXPECT_FALSE(c2.cdm.DVenc.identite.estLiee());
}

TEST(PresenceFiltres, NoAudioDeviceClearsOnlyThePreviewGroup)
{
    CapacitesMachine sansSon = machineComplete();
    sansSon.sortieAudioParDefaut = false;
    sansSon.sortiesAudio.clear();
    CatalogueFiltres c;
    const DrapeauxFiltres d = verifier(RegistreFiltres::integre(sansSon, {}), &c);
    EXPECT_FALSE(d.okVisualisation());
    EXPECT_TRUE(c.viewdm.avisplitter.identite.estLiee());
    EXPECT_TRUE(c.viewdm.source.identite.estLiee());
    EXPECT_FALSE(c.viewdm.audiorender.identite.estLiee());
    EXPECT_TRUE(d.okConversion() && d.okListe() && d.okScenes() && d.okIncrustation());

    // A device that is not the default one does not stand in for it.
    CapacitesMachine sansDefaut = machineComplete();
    sansDefaut.sortieAudioParDefaut = false;
    EXPECT_FALSE(verifier(RegistreFiltres::integre(sansDefaut, {})).okVisualisation());
}

TEST(PresenceFiltres, MissingSplitterStopsThePreviewChainBeforeTheAudioDevice)
{
    CatalogueFiltres c;
    EXPECT_FALSE(verifier(RegistreFiltres::integre(machineComplete(), {"AVI Splitter"}), &c).okVisualisation());
    EXPECT_FALSE(c.viewdm.source.identite.estLiee());
    EXPECT_FALSE(c.viewdm.audiorender.identite.estLiee());
}

TEST(PresenceFiltres, LookupIgnoresLetterCaseAndTheLastOfEqualNamesWins)
{
    RegistreFiltres registre;
    registre.inscrire({"avi splitter", CategorieFiltre::FiltresDirectShow, "premier"});
    registre.inscrire({"Null Renderer", CategorieFiltre::FiltresDirectShow, roles::rienAfficher.implementation});
    registre.inscrire({"AVI SPLITTER", CategorieFiltre::FiltresDirectShow, "second"});
    EnumerateurFiltres e(registre);
    e.selectionnerCategorie(CategorieFiltre::FiltresDirectShow);
    ComposantFiltre composant = composantIntegre(roles::separateurAvi);
    ASSERT_TRUE(FiltrePresent(e, QStringLiteral("AVI Splitter"), composant));
    EXPECT_EQ(composant.identite.implementation, QLatin1String("second"));
    EXPECT_EQ(composant.identite.nomTrouve, QLatin1String("AVI SPLITTER"));

    // A miss leaves the component as it was.
    ComposantFiltre autre = composantIntegre(roles::multiplexeurAvi);
    EXPECT_FALSE(FiltrePresent(e, QStringLiteral("AVI Mux"), autre));
    EXPECT_EQ(autre.identite.implementation, QLatin1String(roles::multiplexeurAvi.implementation));
    EXPECT_FALSE(autre.identite.estLiee());

    // Only the selected category is searched.
    e.selectionnerCategorie(CategorieFiltre::CompresseursVideo);
    EXPECT_FALSE(FiltrePresent(e, QStringLiteral("AVI Splitter"), autre));
}

TEST(PresenceFiltres, NamesCompareWithoutCaseButWithAccentsAndAtMost255Characters)
{
    EXPECT_TRUE(memeNomFiltre(QStringLiteral("Scènes"), QStringLiteral("SCÈNES")));
    EXPECT_FALSE(memeNomFiltre(QStringLiteral("Scènes"), QStringLiteral("Scenes")));
    EXPECT_FALSE(memeNomFiltre(QStringLiteral("AVI Splitter"), QStringLiteral("AVI Splitter2")));

    // Friendly names are kept to 255 characters, so a longer name is found by its first 255.
    const QString long300 = QString(300, QLatin1Char('x'));
    RegistreFiltres registre;
    registre.inscrire({long300, CategorieFiltre::FiltresDirectShow, "long"});
    EnumerateurFiltres e(registre);
    e.selectionnerCategorie(CategorieFiltre::FiltresDirectShow);
    ComposantFiltre composant;
    EXPECT_FALSE(FiltrePresent(e, long300, composant));
    EXPECT_TRUE(FiltrePresent(e, long300.left(255), composant));
}

TEST(PresenceFiltres, ProgramCheckSetsTheGlobalFlagsFromThisMachine)
{
    qputenv(kVariableFiltresAbsents, "Brannoc TimeStamper");
    const DrapeauxFiltres& d = VerifierFiltres();
    qunsetenv(kVariableFiltresAbsents);
    EXPECT_EQ(&d, &drapeauxFiltres());
    EXPECT_FALSE(d.okTimeStamper());
    EXPECT_FALSE(d.okIncrustation());
    EXPECT_TRUE(d.okSuperposer() && d.okDatecoder() && d.okDVHeader());
    EXPECT_FALSE(catalogueFiltres().viewdm.ts.identite.estLiee());
    EXPECT_TRUE(catalogueFiltres().cdm.superposer.identite.estLiee());
    const auto rapport = RapportFiltres();
    EXPECT_EQ(rapport[9].texte, QStringLiteral("Le filtre Brannoc TimeStamper est absent."));
    EXPECT_EQ(rapport[4].present, d.okIncrustation());
}
