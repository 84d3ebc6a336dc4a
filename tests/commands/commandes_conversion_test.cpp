// The conversion commands through the runner, on copies of the fixtures:
// their output paths and suffixes, which files they are offered for, the
// question before replacing an output, the list told about the output (or
// not), the error box of a failure, and Esc during a run.
#include "commands/commandes_conversion.h"

#include "analysis/avi_demuxer.h"
#include "analysis/ecrivain_avi.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "commands/registre_commandes.h"
#include "doubles_fenetre.h"
#include "liste_memoire.h"
#include "pipelines/ConvertirDVunit.h"
#include "platform/erreur_systeme.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "support/sortie_retenue.h"
#include "support/oracles.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class Conversions : public ::testing::Test {
protected:
    Conversions() : x(liste, liste, boite, progression, apercu)
    {
        abandonDemande = abandonTout = sansConfirmation = false;
        conversionTerminee = false;
        sauve_ = {prefMemeDossier, prefDossierSave, prefDecalageHoraire};
        prefMemeDossier = true;
        prefDecalageHoraire = 0;
        module.services.boite = &boite;
        module.services.attendreConversion = [this] { x.attendreFinConversion(); };
        module.TextesCommandes();
        EnregistrerCommandes(module);
    }
    ~Conversions() override
    {
        std::tie(prefMemeDossier, prefDossierSave, prefDecalageHoraire) = sauve_;
        abandonDemande = abandonTout = sansConfirmation = false;
        progressionConversion = nullptr;
        registreCommandes.clear();
    }

    QString copier(const char* fixture, const QString& nom)
    {
        const QString c = q(dir.path(nom.toStdString()));
        writeWholeFile(c.toStdString(), readWholeFile(korvan::test::fixture(fixture)));
        return c;
    }
    void lister(const QStringList& chemins)
    {
        for (const QString& c : chemins)
            liste.AjouterFichier(c);
        liste.toutSelectionner(true);
    }
    QString sousDossier(const QString& nom) const { return q(dir.path(nom.toStdString())); }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes x;
    Tch module;
    std::tuple<bool, QString, int> sauve_;
};

} // namespace

TEST(CheminConverti, BesideTheSourceOrInTheChosenFolder)
{
    const auto sauve = std::make_tuple(prefMemeDossier, prefDossierSave);
    struct Cas {
        const char* chemin;
        bool memeDossier;
        const char* suffixe;
        const char* attendu;
    };
    const Cas cas[] = {
        {"/v/clip.avi", true, "_ntsc.avi", "/v/clip_ntsc.avi"},
        {"/v/clip.avi", true, "_type1.avi", "/v/clip_type1.avi"},
        {"/v/clip.avi", false, "_type1.avi", "/out/clip_type1.avi"},
        {"/v/clip.avi", true, ".wav", "/v/clip.wav"},
        {"/v/clip", true, "_type2.avi", "/v/clip_type2.avi"},
        {"/v.dossier/clip", true, "_type2.avi", "/v.dossier/clip_type2.avi"},
        {"/v.dossier/clip", false, ".wav", "/out/clip.wav"},
        {"/v/clip.un.avi", true, "_hor+2.avi", "/v/clip.un_hor+2.avi"},
        {"/v/clip.AVI", false, "_type2.avi", "/out/clip_type2.avi"},
    };
    prefDossierSave = QStringLiteral("/out/");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.chemin);
        prefMemeDossier = c.memeDossier;
        const TAfficherFichier e(QString::fromUtf8(c.chemin));
        EXPECT_EQ(CheminConverti(e, QString::fromUtf8(c.suffixe)), QString::fromUtf8(c.attendu));
    }
    std::tie(prefMemeDossier, prefDossierSave) = sauve;
}

TEST(CheminConverti, TheClockShiftSuffixCarriesTheSignedOffset)
{
    struct Cas {
        int decalage;
        const char* suffixe;
    };
    for (const Cas c : {Cas{2, "_hor+2.avi"}, Cas{-5, "_hor-5.avi"}, Cas{-3, "_hor-3.avi"}, Cas{23, "_hor+23.avi"},
                        Cas{-23, "_hor-23.avi"}, Cas{0, "_hor.avi"}})
        EXPECT_EQ(SuffixeDecalageHoraire(c.decalage), QString::fromUtf8(c.suffixe)) << c.decalage;
}

TEST_F(Conversions, EachCommandIsOfferedForTheFilesItConverts)
{
    KORVAN_REQUIRE_FIXTURES();
    // A type 1 clip whose codec is "dsvd": no DV type 2 for it, and no sound
    // extraction shown.
    const QString dsvd = copier("pal_t1_43.avi", "type1_dsvd.avi");
    {
        std::string octets = readWholeFile(dsvd.toStdString());
        octets.replace(octets.find("iavsdvsd"), 8, "iavsdsvd");
        writeWholeFile(dsvd.toStdString(), octets);
    }
    struct Cas {
        const char* fixture;
        bool type1;          // DVtype1 visible and enabled
        bool type2;          // DVType2
        bool audioVisible, audioActif;
        bool horaire;        // DecalerHoraire visible (enabled with an offset)
    };
    const Cas cas[] = {
        {"pal_t2_43.avi", true, false, true, true, true},
        {"pal_handler_dsvd.avi", true, false, true, true, true},
        {"pal_t1_43.avi", false, true, true, true, true},
        {"ntsc_t1_32k.avi", false, true, true, true, true},
        {"pal_t1_plus_auds.avi", true, false, true, true, true},
        {"mjpeg_pcm.avi", false, false, true, true, false},
        {"mpeg4_video_only.avi", false, false, true, false, false},
        {"not_riff.avi", false, false, true, false, false},
    };
    std::vector<std::pair<std::string, Cas>> tous;
    for (const Cas& c : cas)
        tous.push_back({fixture(c.fixture), c});
    tous.push_back({dsvd.toStdString(), Cas{"type1_dsvd", false, false, false, true, true}});
    for (const auto& [chemin, c] : tous) {
        SCOPED_TRACE(chemin);
        const TAfficherFichier e(q(chemin));
        const auto condition = [&](tFileAction& commande, bool& v, bool& en) {
            v = en = true;
            commande.OnFileCondition(commande.Param, &e, v, en);
        };
        bool v = false, en = false;
        condition(module.DVtype1, v, en);
        EXPECT_EQ(v, c.type1);
        EXPECT_EQ(en, c.type1);
        condition(module.DVType2, v, en);
        EXPECT_EQ(v, c.type2);
        EXPECT_EQ(en, c.type2);
        condition(module.ExtraireAudio, v, en);
        EXPECT_EQ(v, c.audioVisible);
        EXPECT_EQ(en, c.audioActif);
        for (const int decalage : {0, 2}) {
            prefDecalageHoraire = decalage;
            condition(module.DecalerHoraire, v, en);
            EXPECT_EQ(v, c.horaire);
            EXPECT_EQ(en, c.horaire && decalage != 0);
        }
    }
}

TEST_F(Conversions, TheQuestionNamesAnOutputThatExists)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copier("pal_t2_43.avi", "clip.avi");
    const TAfficherFichier e(clip);
    QString question = QStringLiteral("non vide");
    module.DVtype1.OnConfirmation(module.DVtype1.Param, &e, question);
    EXPECT_TRUE(question.isEmpty());
    writeWholeFile(q(dir.path("clip_type1.avi")).toStdString(), "ancien");
    module.DVtype1.OnConfirmation(module.DVtype1.Param, &e, question);
    EXPECT_EQ(question, "Voulez-vous remplacer le fichier " + q(dir.path("clip_type1.avi")) + " déjà existant?");
    prefDecalageHoraire = -3;
    writeWholeFile(q(dir.path("clip_hor-3.avi")).toStdString(), "ancien");
    module.DecalerHoraire.OnConfirmation(module.DecalerHoraire.Param, &e, question);
    EXPECT_EQ(question, "Voulez-vous remplacer le fichier " + q(dir.path("clip_hor-3.avi")) + " déjà existant?");
    // A path that would make the question too long: the short wording.
    const QString dossier = sousDossier(QString(200, u'd'));
    QDir().mkpath(dossier);
    const QString long_ = dossier + "/clip.avi";
    writeWholeFile(long_.toStdString(), readWholeFile(fixture("pal_t2_43.avi")));
    writeWholeFile((dossier + "/clip.wav").toStdString(), "ancien");
    const TAfficherFichier l(long_);
    module.ExtraireAudio.OnConfirmation(module.ExtraireAudio.Param, &l, question);
    EXPECT_EQ(question, "Voulez-vous remplacer le fichier déjà existant?");
}

TEST_F(Conversions, RunsAddTheirOutputsToTheListExceptTheWavFile)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString t2 = copier("pal_t2_43.avi", "mariage.avi");
    const QString t1 = copier("pal_t1_43.avi", "anniversaire.avi");
    lister({t2, t1});
    sansConfirmation = true;
    // Each selected file its command allows; the other is passed over.
    x.ExecuterLongSurSelection(&module.DVtype1);
    x.ExecuterLongSurSelection(&module.DVType2);
    liste.toutSelectionner(true);
    x.ExecuterLongSurSelection(&module.ExtraireAudio);
    EXPECT_TRUE(boite.erreurs().isEmpty()) << boite.erreurs().join('\n').toStdString();
    QStringList noms = liste.noms();
    noms.sort();
    EXPECT_EQ(noms, QStringList({"anniversaire.avi", "anniversaire_type2.avi", "mariage.avi", "mariage_type1.avi"}));
    EXPECT_TRUE(QFileInfo::exists(sousDossier("mariage.wav")));
    EXPECT_TRUE(QFileInfo::exists(sousDossier("anniversaire.wav")));
    EXPECT_TRUE(progression.statuts.contains("En train de convertir \"mariage.avi\" en type 1"));
    EXPECT_TRUE(progression.statuts.contains("En train de convertir \"anniversaire.avi\" en type 2"));
    EXPECT_TRUE(progression.statuts.contains("En train d'extraire l'audio de \"mariage.avi\""));
    // The new entries are the converted files: DV of the other type.
    const EntreePtr type1 = liste.entree(liste.IndexDeChemin(sousDossier("mariage_type1.avi")));
    EXPECT_TRUE(type1->estDV);
    EXPECT_EQ(type1->typeDV, 1);
    const EntreePtr type2 = liste.entree(liste.IndexDeChemin(sousDossier("anniversaire_type2.avi")));
    EXPECT_EQ(type2->typeDV, 2);
    EXPECT_EQ(type2->texteAudio, liste.entree(liste.IndexDeChemin(t1))->texteAudio);

    // The clock shift, into the chosen folder.
    prefDecalageHoraire = -3;
    prefMemeDossier = false;
    prefDossierSave = sousDossier("sorties") + '/';
    QDir().mkpath(prefDossierSave);
    liste.toutSelectionner(false);
    liste.selectionner(liste.IndexDeChemin(t2), true);
    x.ExecuterLongSurSelection(&module.DecalerHoraire);
    EXPECT_TRUE(boite.erreurs().isEmpty()) << boite.erreurs().join('\n').toStdString();
    const QString decale = prefDossierSave + "mariage_hor-3.avi";
    ASSERT_GE(liste.IndexDeChemin(decale), 0);
    EXPECT_EQ(liste.entree(liste.IndexDeChemin(decale))->texteDatecode, "14/07/2004 07:31:05");
}

TEST_F(Conversions, AnExistingOutputIsReplacedOnlyWhenTheAnswerIsYes)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copier("pal_t2_43.avi", "clip.avi");
    const QString sortie = sousDossier("clip_type1.avi");
    writeWholeFile(sortie.toStdString(), "ancien");
    lister({clip});
    boite.reponses = {ReponseMessage::Non, ReponseMessage::Oui};
    x.ExecuterLongSurSelection(&module.DVtype1);
    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].texte, "Voulez-vous remplacer le fichier " + sortie + " déjà existant?");
    EXPECT_EQ(readWholeFile(sortie.toStdString()), "ancien");
    liste.toutSelectionner(true);
    x.ExecuterLongSurSelection(&module.DVtype1);
    EXPECT_EQ(boite.questions.size(), 2u);
    EXPECT_NE(readWholeFile(sortie.toStdString()), "ancien");
    EXPECT_GE(liste.IndexDeChemin(sortie), 0);
    EXPECT_EQ(AviDemuxer::ouvrir(sortie.toStdString()).frameIndex(0).size(), 30u);
}

TEST_F(Conversions, AFailureIsToldAndTheListIsToldAsEachCommandSays)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copier("pal_t2_43.avi", "clip.avi");
    lister({clip});
    sansConfirmation = true;
    prefMemeDossier = false;
    prefDossierSave = sousDossier("absent") + '/';
    prefDecalageHoraire = 2;
    for (tFileAction* commande : {&module.DVtype1, &module.DecalerHoraire, &module.ExtraireAudio}) {
        SCOPED_TRACE(commande->Name.toStdString());
        boite.questions.clear();
        liste.toutSelectionner(true);
        x.ExecuterLongSurSelection(commande);
        ASSERT_EQ(boite.erreurs().size(), 1);
        const QString sortie = prefDossierSave + (commande == &module.DVtype1 ? "clip_type1.avi"
                                                  : commande == &module.DecalerHoraire ? "clip_hor+2.avi"
                                                                                       : "clip.wav");
        EXPECT_EQ(boite.erreurs()[0], "Impossible de créer le fichier " + sortie + "\r\n" + TexteErreurSysteme(ENOENT));
        EXPECT_EQ(liste.noms(), QStringList({"clip.avi"}));
    }

    // A builder that finds nothing to convert: the DV type command still
    // tells the list about its output path, which holds no file.
    const QString autre = copier("mjpeg_pcm.avi", "mjpeg.avi");
    const TAfficherFichier e(autre);
    prefMemeDossier = true;
    boite.questions.clear();
    QString nouveau;
    TchUpdateType update = utNone;
    TParam p;
    module.DVtype1.OnExecution(p, &e, nouveau, update);
    EXPECT_EQ(update, utAdd);
    EXPECT_EQ(nouveau, sousDossier("mjpeg_type1.avi"));
    EXPECT_FALSE(QFileInfo::exists(nouveau));
    ASSERT_EQ(boite.erreurs().size(), 1);
    EXPECT_EQ(boite.erreurs()[0], "Impossible de convertir le fichier " + autre +
                                      QStringLiteral("\r\nLe premier flux du fichier n'est pas de la vidéo DV"));
    update = utAdd;
    module.DecalerHoraire.OnExecution(p, &e, nouveau, update);
    EXPECT_EQ(update, utNone);
    EXPECT_TRUE(nouveau.isEmpty());
}

TEST_F(Conversions, ASoundStreamWithoutDataHasNothingToExtract)
{
    KORVAN_REQUIRE_FIXTURES();
    // The video of pal_t2_43 and a sound stream that never got a chunk.
    const AviDemuxer source = AviDemuxer::ouvrir(fixture("pal_t2_43.avi"));
    const QString clip = sousDossier("sans_echantillons.avi");
    {
        SortieFichier f(clip.toStdString());
        const auto& s = source.streams();
        EcrivainAvi avi(f, {{s[0].header, s[0].format, FourCC("00dc")}, {s[1].header, s[1].format, FourCC("01wb")}},
                        {40000, 720, 576});
        for (const AviFrame& i : source.frameIndex(0)) {
            std::vector<uint8_t> o(i.size);
            ASSERT_TRUE(source.source().readExactAt(i.offset, o.data(), o.size()));
            avi.ecrire(0, o.data(), uint32_t(o.size()));
        }
        avi.terminer();
    }
    const TAfficherFichier e(clip);
    QString nouveau;
    TchUpdateType update = utNone;
    TParam p;
    module.ExtraireAudio.OnExecution(p, &e, nouveau, update);
    EXPECT_EQ(update, utNone);
    ASSERT_EQ(boite.erreurs().size(), 1);
    EXPECT_EQ(boite.erreurs()[0], "Impossible de convertir le fichier " + clip + QStringLiteral("\r\nLe fichier ne contient pas de son"));
    EXPECT_FALSE(QFileInfo::exists(sousDossier("sans_echantillons.wav")));
}

TEST_F(Conversions, EscStopsTheRunAndThePartialOutputEntersTheList)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copier("pal_scenes_merge.avi", "clip.avi");
    const QString empreinte = sha256(clip.toStdString());
    lister({clip});
    sansConfirmation = true;
    // The run is held at its tenth write until Esc, which comes while the
    // runner waits; the module the runner stops on Esc is this one.
    RegleSortie regle;
    regle.retenue = 10;
    regle.liberee = [] { return abandonDemande.load(); };
    TCdm cdm;
    module.services.conversion = &cdm;
    x.arreterConversion = [&cdm] { cdm.DesactiverGraphe(); };
    cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
    QTimer echap;
    QObject::connect(&echap, &QTimer::timeout, [&regle] {
        if (regle.atteinte)
            abandonDemande = true;
    });
    echap.start(1);
    x.ExecuterLongSurSelection(&module.DVtype1);
    EXPECT_TRUE(boite.erreurs().isEmpty()) << boite.erreurs().join('\n').toStdString();
    EXPECT_EQ(sha256(clip.toStdString()), empreinte);
    const QString sortie = sousDossier("clip_type1.avi");
    ASSERT_GE(liste.IndexDeChemin(sortie), 0);
    const size_t images = AviDemuxer::ouvrir(sortie.toStdString()).frameIndex(0).size();
    EXPECT_GT(images, 0u);
    EXPECT_LT(images, 41u);
    EXPECT_FALSE(cdm.actif());
    EXPECT_EQ(progressionConversion.load(), nullptr);
}
