// The header-fix commands on copies of the fixtures, through the runner, with
// dialogs that answer as a user would and read their value with the real OK
// rule; and the RIFF report command's warning.
#include "commands/commandes_entetes.h"

#include "analysis/fpsunit.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "doubles_fenetre.h"
#include "liste_memoire.h"
#include "platform/etat_programme.h"
#include "support/entetes_fichier.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cerrno>
#include <deque>
#include <stdexcept>
#include <sys/stat.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// What the user does in one showing of a dialog: pick an item (or leave the
// one shown), type a text (or leave it), then OK or "Annuler".
struct Geste {
    int item = -1;
    std::optional<QString> texte;
    bool ok = true;
};

// A dialog's state, as it stands when it opens.
struct Ouverture {
    int item;
    QString texte;
    bool editionActive;
};

// The dialogs' common behaviour: their choice and text live between uses,
// the edit is enabled exactly for the last item.
template <class Interface>
struct DialogueScripte : Interface {
    int item = -1;
    QString texte;
    int nombreItems;
    std::deque<Geste> gestes;
    std::vector<Ouverture> ouvertures;

    explicit DialogueScripte(int n) : nombreItems(n) {}
    int choix() const override { return item; }
    void choisir(int i) override { item = i; }
    void definirTexte(const QString& t) override { texte = t; }
    bool executer() override
    {
        ouvertures.push_back({item, texte, item == nombreItems - 1});
        if (gestes.empty())
            return false; // closed without OK
        const Geste g = gestes.front();
        gestes.pop_front();
        if (g.item >= 0)
            item = g.item;
        if (g.texte)
            texte = *g.texte;
        return g.ok && lire();
    }
    virtual bool lire() = 0;
};

struct FrequenceScriptee : DialogueScripte<IFrequenceForm> {
    double valeur = 0;
    FrequenceScriptee() : DialogueScripte(3) {}
    bool lire() override
    {
        const auto v = FrequenceDuChoix(item, texte);
        if (v)
            valeur = *v;
        return v.has_value();
    }
    double frequenceChoisie() const override { return valeur; }
};

struct CodecScripte : DialogueScripte<ICodecForm> {
    QString valeur;
    CodecScripte() : DialogueScripte(4) {}
    bool lire() override
    {
        valeur = *CodecDuChoix(item, texte);
        return true;
    }
    QString codecChoisi() const override { return valeur; }
};

class CorrectionsEntetes : public ::testing::Test {
protected:
    CorrectionsEntetes() : x(liste, liste, boite, progression, apercu)
    {
        abandonDemande = abandonTout = sansConfirmation = false;
        x.pomper = [](bool) {};
        module.services.boite = &boite;
        module.services.apercu = &apercu;
        module.TextesCommandes();
        InstallerCorrectionsEntetes(module, frequence, codec);
        definirReglagesFormat(ReglagesFormat::francais());
    }
    ~CorrectionsEntetes() override { definirReglagesFormat(ReglagesFormat::utilisateur()); }

    QString copie(const std::string& fixtureNom, const std::string& nom)
    {
        return q(dir.copyFixture(fixtureNom, nom));
    }
    // Adds the files and selects them all.
    void lister(const QStringList& chemins)
    {
        for (const QString& c : chemins)
            liste.AjouterFichier(c);
        liste.toutSelectionner();
    }
    EntreePtr entreeDe(const QString& chemin) const { return liste.entree(liste.IndexDeChemin(chemin)); }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes x;
    Tch module;
    FrequenceScriptee frequence;
    CodecScripte codec;
};

} // namespace

TEST(DialoguesEntetes, OkGivesTheItemsValueOrTheTypedOneWithTheLocalesSeparator)
{
    const ReglagesFormat fr = ReglagesFormat::francais();
    struct Cas {
        int item;
        const char* texte;
        std::optional<double> fps;
    };
    const Cas cas[] = {
        {0, "", 25.0},
        {1, "12", 29.97},
        {2, "29,97", 29.97},
        {2, "30", 30.0},
        {2, "29.97", std::nullopt}, // a point is no decimal separator in French
        {2, "", std::nullopt},
        {2, "trente", std::nullopt},
        // Rates that would give no usable scale are refused like texts.
        {2, "0", std::nullopt},
        {2, "-25", std::nullopt},
        {2, "5000000", std::nullopt},
        {2, "2000000", std::nullopt}, // scale 0.5 rounds to 0
        {2, "1999999", 1999999.0},     // scale 0.50000025 rounds to 1
        {2, "0,0001", std::nullopt},   // scale 10^10 does not fit in 32 bits
        {2, "0,001", 0.001},
        {-1, "", std::nullopt},
        {3, "25", std::nullopt},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(FrequenceDuChoix(c.item, QString::fromUtf8(c.texte), fr), c.fps) << c.item << " " << c.texte;
    EXPECT_EQ(*FrequenceDuChoix(cfNtsc, {}, fr), 29.97); // the nearest double to 29.97, bit for bit

    EXPECT_EQ(CodecDuChoix(ccDvsd, "xx"), "dvsd");
    EXPECT_EQ(CodecDuChoix(ccDsvd, ""), "dsvd");
    EXPECT_EQ(CodecDuChoix(ccCdvc, ""), "CDVC");
    EXPECT_EQ(CodecDuChoix(ccPersonnalise, "ab"), "ab");
    EXPECT_EQ(CodecDuChoix(ccPersonnalise, "dvsdx"), "dvsd");
    EXPECT_EQ(CodecDuChoix(ccPersonnalise, ""), "");
    EXPECT_EQ(CodecDuChoix(-1, "ab"), std::nullopt);
}

TEST(DialoguesEntetes, FirstUsePreselectsFromTheClipsValue)
{
    EXPECT_EQ(ChoixFrequenceInitial(25), cfPal);
    EXPECT_EQ(ChoixFrequenceInitial(29.97), cfNtsc);
    EXPECT_EQ(ChoixFrequenceInitial(30000.0 / 1001), cfNtsc);
    EXPECT_EQ(ChoixFrequenceInitial(29.96), cfPersonnalisee); // 29989.96: more than 1 away from 30000
    EXPECT_EQ(ChoixFrequenceInitial(30), cfPersonnalisee);
    EXPECT_EQ(ChoixFrequenceInitial(25.01), cfPersonnalisee);
    EXPECT_EQ(ChoixFrequenceInitial(0), cfPersonnalisee);
    EXPECT_EQ(ChoixCodecInitial("dvsd"), ccDvsd);
    EXPECT_EQ(ChoixCodecInitial("dsvd"), ccDsvd);
    EXPECT_EQ(ChoixCodecInitial("CDVC"), ccCdvc);
    // Compared exactly: other cases are custom codes.
    EXPECT_EQ(ChoixCodecInitial("DVSD"), ccPersonnalise);
    EXPECT_EQ(ChoixCodecInitial("cdvc"), ccPersonnalise);
    EXPECT_EQ(ChoixCodecInitial(""), ccPersonnalise);
}

TEST(DialoguesEntetes, ConditionsAndReadOnlyQuestions)
{
    ContexteEntree sansSonde;
    sansSonde.sonde = [](const QString&, TResultatSonde&) { return false; };
    TAfficherFichier f(QStringLiteral("/v/clip.avi"), sansSonde);
    TParam p;
    for (const auto& [typeDV, offert] : {std::pair{0, true}, std::pair{1, false}, std::pair{2, true}}) {
        f.typeDV = typeDV;
        bool visible = false, enabled = !offert;
        CorrigerFpsFileCondition(p, &f, visible, enabled);
        EXPECT_EQ(enabled, offert) << typeDV;
        EXPECT_FALSE(visible) << "visible is left as it was";
    }
    QString question = QStringLiteral("reste");
    f.attributs = faArchive;
    CorrigerFpsConfirmation(p, &f, question);
    EXPECT_EQ(question, "");
    CorrigerCodecConfirmation(p, &f, question);
    EXPECT_EQ(question, "");
    f.attributs = faArchive | faReadOnly;
    CorrigerFpsConfirmation(p, &f, question);
    EXPECT_EQ(question, "Le fichier /v/clip.avi\r\n est en Lecture seule. Voulez-vous vraiment corriger son framerate?");
    CorrigerCodecConfirmation(p, &f, question);
    EXPECT_EQ(question, "Le fichier /v/clip.avi\r\nVoulez-vous vraiment corriger son codec?");
    // A long path: the question is cut at 255 characters.
    TAfficherFichier long_(QStringLiteral("/v/") + QString(300, u'n') + QStringLiteral(".avi"), sansSonde);
    long_.attributs = faReadOnly;
    CorrigerFpsConfirmation(p, &long_, question);
    EXPECT_EQ(question, (QStringLiteral("Le fichier ") + long_.chemin).left(255));
    CorrigerCodecConfirmation(p, &long_, question);
    EXPECT_EQ(question.size(), 255);
}

TEST_F(CorrectionsEntetes, FrameRateWrittenAndTheEntryReadAgain)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copie("pal_t2_43.avi", "pal.avi");
    lister({clip});
    const std::string avant = readWholeFile(clip.toStdString());
    frequence.gestes = {{cfNtsc}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    // The first use opened on the clip's 25 images/s.
    ASSERT_EQ(frequence.ouvertures.size(), 1u);
    EXPECT_EQ(frequence.ouvertures[0].item, cfPal);
    EXPECT_EQ(echelleDe(clip), (Echelle{33367, 1'000'000}));
    // Only the scale and rate changed.
    const std::string apres = readWholeFile(clip.toStdString());
    ASSERT_EQ(apres.size(), avant.size());
    size_t differents = 0;
    for (size_t i = 0; i < avant.size(); ++i)
        differents += avant[i] != apres[i];
    EXPECT_LE(differents, 8u);
    // The entry was built again from the file.
    EXPECT_DOUBLE_EQ(entreeDe(clip)->fps, 29.97);
    // The preview let the file go for the write, and took files again.
    EXPECT_EQ(apercu.liberations, 1);
    EXPECT_EQ(apercu.reprises, 1);
    // The rate is now the custom edit's text, for a later "personnalisé".
    EXPECT_EQ(frequence.texte, "29,97");
    EXPECT_TRUE(boite.questions.empty());
}

TEST_F(CorrectionsEntetes, NtscClipOpensOnNtscAndA30FpsClipOnTheEmptyCustomItem)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString ntsc = copie("ntsc_t2_43.avi", "ntsc.avi");
    lister({ntsc});
    frequence.gestes = {{-1, std::nullopt, false}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    ASSERT_EQ(frequence.ouvertures.size(), 1u);
    EXPECT_EQ(frequence.ouvertures[0].item, cfNtsc);
    EXPECT_FALSE(frequence.ouvertures[0].editionActive);

    CodecScripte inutilise;
    FrequenceScriptee neuve; // a new program run: first use again
    InstallerCorrectionsEntetes(module, neuve, inutilise);
    const QString trente = copie("pal_t2_43.avi", "trente.avi");
    EcrireFrequence(trente.toStdString(), 30);
    liste.AjouterFichier(trente);
    liste.toutSelectionner(false);
    liste.selectionner(liste.IndexDeChemin(trente), true);
    ASSERT_DOUBLE_EQ(entreeDe(trente)->fps, 30);
    neuve.gestes = {{-1, std::nullopt, false}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    ASSERT_EQ(neuve.ouvertures.size(), 1u);
    EXPECT_EQ(neuve.ouvertures[0].item, cfPersonnalisee);
    EXPECT_TRUE(neuve.ouvertures[0].editionActive);
    EXPECT_EQ(neuve.ouvertures[0].texte, "");
    // Cancelled: nothing released, nothing written.
    EXPECT_EQ(apercu.liberations, 0);
    EXPECT_EQ(echelleDe(trente), (Echelle{33333, 1'000'000}));
}

TEST_F(CorrectionsEntetes, TypedRatesFollowTheLocaleAndUnusableOnesWriteNothing)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copie("pal_t2_43.avi", "pal.avi");
    lister({clip});
    const EntreePtr avant = entreeDe(clip);
    for (const char* refuse : {"29.97", "0", "5000000", "-1"}) {
        frequence.gestes = {{cfPersonnalisee, QString::fromUtf8(refuse)}};
        x.ExecuterLongSurSelection(&module.CorrigerFps);
        EXPECT_EQ(echelleDe(clip), (Echelle{1, 25})) << refuse;
    }
    EXPECT_EQ(entreeDe(clip), avant) << "an unread value keeps the entry";
    EXPECT_EQ(apercu.liberations, 0);
    frequence.gestes = {{cfPersonnalisee, QStringLiteral("29,97")}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    EXPECT_EQ(echelleDe(clip), (Echelle{33367, 1'000'000}));
    // Each showing opened with the previous choice and text.
    ASSERT_EQ(frequence.ouvertures.size(), 5u);
    EXPECT_EQ(frequence.ouvertures[1].item, cfPersonnalisee);
    EXPECT_EQ(frequence.ouvertures[1].texte, "29.97");
}

TEST_F(CorrectionsEntetes, ThreeFilesThreeDialogsAndAnnulerSkipsOnlyItsFile)
{
    KORVAN_REQUIRE_FIXTURES();
    const QStringList clips = {copie("pal_t2_43.avi", "a.avi"), copie("pal_t2_43.avi", "b.avi"),
                               copie("pal_t2_43.avi", "c.avi")};
    lister(clips);
    frequence.gestes = {{cfNtsc}, {-1, std::nullopt, false}, {}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    ASSERT_EQ(frequence.ouvertures.size(), 3u);
    EXPECT_EQ(frequence.ouvertures[1].item, cfNtsc);
    EXPECT_EQ(frequence.ouvertures[2].item, cfNtsc);
    EXPECT_EQ(echelleDe(clips[0]), (Echelle{33367, 1'000'000}));
    EXPECT_EQ(echelleDe(clips[1]), (Echelle{1, 25}));
    EXPECT_EQ(echelleDe(clips[2]), (Echelle{33367, 1'000'000}));
    EXPECT_EQ(apercu.liberations, 2);
    EXPECT_EQ(apercu.reprises, 2);
}

TEST_F(CorrectionsEntetes, TypeOneClipsAreSkipped)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString t1 = copie("pal_t1_43.avi", "t1.avi");
    lister({t1});
    frequence.gestes = {{}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    EXPECT_TRUE(frequence.ouvertures.empty());
}

TEST_F(CorrectionsEntetes, ReadOnlyFileIsCorrectedAfterTheQuestionAndReadOnlyAgain)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copie("pal_t2_43.avi", "ro.avi");
    ASSERT_EQ(::chmod(clip.toLocal8Bit().constData(), 0444), 0);
    lister({clip});
    ASSERT_TRUE(entreeDe(clip)->attributs & faReadOnly);
    boite.reponses = {ReponseMessage::Non, ReponseMessage::Oui};
    frequence.gestes = {{cfNtsc}};
    x.ExecuterLongSurSelection(&module.CorrigerFps); // "Non": nothing shown, nothing written
    EXPECT_TRUE(frequence.ouvertures.empty());
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    ASSERT_EQ(boite.questions.size(), 2u);
    EXPECT_EQ(boite.questions[1].texte,
              "Le fichier " + clip + "\r\n est en Lecture seule. Voulez-vous vraiment corriger son framerate?");
    EXPECT_EQ(boite.questions[1].boutons, BoutonsMessage::OuiNon);
    EXPECT_EQ(echelleDe(clip), (Echelle{33367, 1'000'000}));
    EXPECT_EQ(modeDe(clip), mode_t(0444));
    EXPECT_TRUE(entreeDe(clip)->attributs & faReadOnly);

    boite.reponses = {ReponseMessage::Oui};
    codec.gestes = {{ccCdvc}};
    x.ExecuterLongSurSelection(&module.CorrigerCodec);
    EXPECT_EQ(boite.questions.back().texte, "Le fichier " + clip + "\r\nVoulez-vous vraiment corriger son codec?");
    EXPECT_EQ(LireCodec(clip.toStdString()), FourCC("CDVC").value());
    EXPECT_EQ(modeDe(clip), mode_t(0444));
}

TEST_F(CorrectionsEntetes, FailedWritesChangeNothingAndStillRestoreTheReadOnlyMark)
{
    KORVAN_REQUIRE_FIXTURES();
    // Not an AVI file: no video stream header to patch.
    const QString texte = q(dir.path("texte.avi"));
    writeWholeFile(texte.toStdString(), readWholeFile(fixture("not_riff.avi")));
    ASSERT_EQ(::chmod(texte.toLocal8Bit().constData(), 0444), 0);
    lister({texte});
    const EntreePtr avant = entreeDe(texte);
    sansConfirmation = true;
    frequence.gestes = {{cfPal}};
    x.ExecuterLongSurSelection(&module.CorrigerFps);
    EXPECT_EQ(modeDe(texte), mode_t(0444));
    EXPECT_EQ(readWholeFile(texte.toStdString()), readWholeFile(fixture("not_riff.avi")));
    EXPECT_NE(entreeDe(texte), avant) << "CorrigerFps reads the entry again all the same";
    const EntreePtr relue = entreeDe(texte);
    codec.gestes = {{ccDvsd}};
    x.ExecuterLongSurSelection(&module.CorrigerCodec);
    EXPECT_EQ(modeDe(texte), mode_t(0444));
    EXPECT_EQ(entreeDe(texte), relue) << "CorrigerCodec changes nothing when nothing was written";
    EXPECT_EQ(apercu.liberations, apercu.reprises);
    sansConfirmation = false;
}

TEST_F(CorrectionsEntetes, CodecBytesAreTheCharactersThenZeros)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copie("pal_handler_CDVC.avi", "cdvc.avi");
    lister({clip});
    const std::string avant = readWholeFile(clip.toStdString());
    const int64_t position = LocaliserEntetes(clip.toStdString()).positionCodec;
    codec.gestes = {{ccPersonnalise, QStringLiteral("ab")}};
    x.ExecuterLongSurSelection(&module.CorrigerCodec);
    ASSERT_EQ(codec.ouvertures.size(), 1u);
    EXPECT_EQ(codec.ouvertures[0].item, ccCdvc);
    std::string attendu = avant;
    attendu.replace(size_t(position), 4, std::string("ab\0\0", 4));
    EXPECT_EQ(readWholeFile(clip.toStdString()), attendu) << "the stream format's code is left alone";
    EXPECT_EQ(entreeDe(clip)->codec, std::string("ab\0\0", 4));
    EXPECT_EQ(apercu.liberations, 1);
    EXPECT_EQ(apercu.reprises, 1);

    // The second use opens with the previous choice, not the file's code.
    codec.gestes = {{-1, QStringLiteral("dvsdx")}};
    x.ExecuterLongSurSelection(&module.CorrigerCodec);
    EXPECT_EQ(codec.ouvertures[1].item, ccPersonnalise);
    EXPECT_EQ(codec.ouvertures[1].texte, "ab");
    EXPECT_EQ(LireCodec(clip.toStdString()), FourCC("dvsd").value());
}

TEST_F(CorrectionsEntetes, FirstCodecUseOfACustomCodePutsItInTheEdit)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = copie("pal_handler_DVSD.avi", "DVSD.avi");
    lister({clip});
    codec.gestes = {{-1, std::nullopt, false}};
    x.ExecuterLongSurSelection(&module.CorrigerCodec);
    ASSERT_EQ(codec.ouvertures.size(), 1u);
    EXPECT_EQ(codec.ouvertures[0].item, ccPersonnalise);
    EXPECT_EQ(codec.ouvertures[0].texte, "DVSD");
    EXPECT_TRUE(codec.ouvertures[0].editionActive);
    EXPECT_EQ(LireCodec(clip.toStdString()), FourCC("DVSD").value());
    EXPECT_EQ(apercu.liberations, 0);
}

namespace {

struct RiffFormMemoire : IRiffForm {
    QStringList montres;
    int fermetures = 0;
    bool echouer = false;
    void AfficherRapportRiff(const QString& chemin) override
    {
        montres << chemin;
        if (echouer)
            throw FileError("cannot open " + chemin.toStdString(), EACCES);
    }
    void fermer() override { ++fermetures; }
};

} // namespace

TEST_F(CorrectionsEntetes, RiffReportOfTheCurrentFileAndItsWarningWhenInaccessible)
{
    KORVAN_REQUIRE_FIXTURES();
    RiffFormMemoire fenetre;
    InstallerRapportRiff(module, fenetre);
    const QString clip = copie("pal_t2_43.avi", "clip.avi");
    lister({clip});
    liste.MajStatut();
    x.ExecuterSurCourante(&module.RiffHeader);
    EXPECT_EQ(fenetre.montres, QStringList{clip});
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(fenetre.fermetures, 0);

    fenetre.echouer = true;
    x.ExecuterSurCourante(&module.RiffHeader);
    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].genre, GenreMessage::Avertissement);
    EXPECT_EQ(boite.questions[0].boutons, BoutonsMessage::OK);
    EXPECT_EQ(boite.questions[0].texte, "Le fichier " + clip
                                            + " est inaccessible. Il est sans doute utilisé par un autre processus. "
                                              "Veuillez patienter");
    EXPECT_EQ(fenetre.fermetures, 1);
}
