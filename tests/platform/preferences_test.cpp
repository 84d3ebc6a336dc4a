#include "platform/preferences.h"

#include "platform/identite_programme.h"
#include "bureau_temporaire.h"
#include "commands/doubles_fenetre.h"
#include "platform/dossiers_utilisateur.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

#include <deque>

using namespace korvan;
using namespace korvan::test;

namespace {

// Every value name of the main settings, as the rest of the system knows them.
const QStringList nomsPrincipaux = {
    QStringLiteral("Top"),
    QStringLiteral("Left"),
    QStringLiteral("Ordre de la Liste"),
    QStringLiteral("Sauver préférences en quittant"),
    QStringLiteral("Sélectionner à l'ouverture"),
    QStringLiteral("Sauver Liste en quittant"),
    QStringLiteral("Sauver dans le même dossier"),
    QStringLiteral("Dossier pour Ouvrir Fichiers"),
    QStringLiteral("Dossier à ouverture auto"),
    QStringLiteral("Dossier pour Sauver"),
    QStringLiteral("Dossier des PlayList"),
    QStringLiteral("Fichier Stillex"),
    QStringLiteral("Standard par défaut"),
    QStringLiteral("Format pour Ajouter Datecode"),
    QStringLiteral("Format pour Afficher Datecode"),
    QStringLiteral("Format pour Renommer"),
    QStringLiteral("Racine pour Renommer"),
    QStringLiteral("AutoFontSize"),
    QStringLiteral("Automatic Inlay"),
    QStringLiteral("Duréee Incrustation"),
    QStringLiteral("Décalage Horaire"),
    QStringLiteral("Sendto"),
    QStringLiteral("Incrust positionX"),
    QStringLiteral("Incrust positionY"),
    QStringLiteral("is Mute on"),
    QStringLiteral("is Incrust On"),
    QStringLiteral("Incrust Sliders Visible"),
};
const QStringList nomsEcritsSeulement = {QStringLiteral("version"), QStringLiteral("Dernière Sauvegarde"),
                                         QStringLiteral("Exename")};
const QStringList nomsPolice = {QStringLiteral("Size"),   QStringLiteral("Color"),     QStringLiteral("Name"),
                                QStringLiteral("Bold"),   QStringLiteral("Italic"),    QStringLiteral("Underline"),
                                QStringLiteral("StrikeOut")};

// How QSettings writes a key in an INI file: letters, digits, "_", "-" and
// "." as they are, other Latin-1 characters as %XX, the rest as %UXXXX.
QString cleIni(const QString& nom)
{
    QString cle;
    for (const QChar c : nom) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-'
            || u == '.')
            cle += c;
        else if (u <= 0xFF)
            cle += QStringLiteral("%%1").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
        else
            cle += QStringLiteral("%U%1").arg(int(u), 4, 16, QLatin1Char('0')).toUpper();
    }
    return cle;
}

// Lines of each section of an INI file, by section name.
QMap<QString, QStringList> sectionsIni(const QString& fichier)
{
    QMap<QString, QStringList> sections;
    QString courante;
    for (const QString& ligne : QString::fromUtf8(lireFichier(fichier)).split(u'\n', Qt::SkipEmptyParts)) {
        if (ligne.startsWith(u'[') && ligne.endsWith(u']'))
            courante = ligne.mid(1, ligne.size() - 2);
        else
            sections[courante] << ligne;
    }
    return sections;
}

// Everything a load fills, in one comparable record.
struct Instantane {
    int top, left;
    int ordre;
    bool sauverPrefs, selection, sauverListe, memeDossier;
    QString ouvrir, autoDossier, save, playList, stillex;
    int standard;
    QString ajouter, afficher, renommer, racine;
    bool autoFontSize, autoIncrust;
    int duree, decalage;
    bool sendTo;
    int x, y;
    bool mute, incrustOn, sliders;
    PoliceIncrust police;
    QList<EtatAction> actions;
    bool operator==(const Instantane&) const = default;
};

Instantane instantane()
{
    return {prefTop,           prefLeft,          prefOrdreListe,     prefSauverPrefsEnQuittant,
            prefSelectionOuverture, prefSauverListeEnQuittant, prefMemeDossier, prefDossierOuvrir,
            prefDossierAuto,   prefDossierSave,   prefDossierPlayList, prefFichierStillex,
            prefStandard,      prefFormatAjouter, prefFormatAfficher, prefFormatRenommer,
            prefRacineRenommer, prefAutoFontSize, prefAutoIncrust,    prefDureeIncrust,
            prefDecalageHoraire, prefSendTo,      prefIncrustX,       prefIncrustY,
            prefMute,          prefIncrustOn,     prefSlidersVisible, prefIncrustFont,
            etatActions};
}

// Values far from every default, so that a setting a load forgets shows.
void brouillerPreferences()
{
    prefTop = prefLeft = -777;
    prefOrdreListe = 2;
    prefSauverPrefsEnQuittant = false;
    prefSelectionOuverture = prefSauverListeEnQuittant = true;
    prefMemeDossier = false;
    prefDossierOuvrir = prefDossierAuto = prefDossierSave = prefDossierPlayList = QStringLiteral("/brouille/");
    prefFichierStillex = QStringLiteral("/brouille/stillex");
    prefStandard = standardNtsc;
    prefFormatAjouter = prefFormatAfficher = prefFormatRenommer = prefRacineRenommer = QStringLiteral("zz");
    prefAutoFontSize = false;
    prefAutoIncrust = true;
    prefDureeIncrust = 99;
    prefDecalageHoraire = 9;
    prefSendTo = false;
    prefIncrustX = prefIncrustY = 1;
    prefMute = prefIncrustOn = prefSlidersVisible = true;
    prefIncrustFont = {3, 0x123456, QStringLiteral("Brouille"), false, true, true, true};
    etatActions = {{QStringLiteral("amBrouille"), 1}};
}

class Preferences : public ::testing::Test {
protected:
    BureauTemporaire bureau;
    MagasinPreferences magasin{bureau.home() + QStringLiteral("/cfg")};
    QString fichier() const { return magasin.fichier(QStringLiteral("Korvan")); }

    // A stored file with some raw values, written as another program would.
    void stocker(const QList<QPair<QString, QVariant>>& valeurs, const QString& programme = QStringLiteral("Korvan"))
    {
        QDir().mkpath(magasin.dossierFabricant());
        QSettings s(magasin.fichier(programme), QSettings::IniFormat);
        for (const auto& [cle, valeur] : valeurs)
            s.setValue(cle, valeur);
        s.sync();
        ASSERT_EQ(s.status(), QSettings::NoError);
    }

    void charger() { ChargerPreferences(magasin, {QSize(1920, 1080), QSize(800, 601)}); }
    void sauver()
    {
        SauverPreferences(magasin, {QStringLiteral("5.3.6"), QStringLiteral("/opt/korvan/korvan"),
                                    QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))});
    }
};

} // namespace

TEST(PositionCentree, HalvesTheDifferenceTowardZero)
{
    EXPECT_EQ(positionCentree(1920, 800), 560);
    EXPECT_EQ(positionCentree(1081, 600), 240);
    EXPECT_EQ(positionCentree(600, 801), -100);
    EXPECT_EQ(positionCentree(0, 0), 0);
}

TEST_F(Preferences, FirstRunGivesEveryDefaultAndSendToOn)
{
    ASSERT_TRUE(QDir().mkpath(bureau.home() + QStringLiteral("/Documents")));
    brouillerPreferences();
    charger();

    const QString docs = bureau.home() + QStringLiteral("/Documents/");
    const Instantane attendu{
        (1080 - 601) / 2, (1920 - 800) / 2, 0, true, false, false, true, docs, docs, docs, docs, QString(), 1,
        QStringLiteral("dd.mm.yyyy_hh.nn.ss"), QStringLiteral("dd/mm/yyyy hh:nn:ss"), QStringLiteral("yyyymmdd_hh.nn.ss"),
        QStringLiteral("ClipDV_"), true, false, 5, 0, true, 920, 120, false, false, false,
        PoliceIncrust{21, 0xFFFFFF, QStringLiteral("Arial"), true, false, false, false}, {}};
    EXPECT_EQ(instantane(), attendu);
    // Loading never creates the settings.
    EXPECT_FALSE(QFileInfo::exists(magasin.dossierFabricant()));
}

TEST_F(Preferences, StoredSettingsWithoutSendtoGiveSendToOff)
{
    stocker({{QStringLiteral("Top"), 12}});
    brouillerPreferences();
    prefSendTo = true;
    charger();
    EXPECT_FALSE(prefSendTo);
    EXPECT_EQ(prefTop, 12);
    // Everything else missing takes its default, the window position centred.
    EXPECT_EQ(prefLeft, 560);
    EXPECT_TRUE(prefSauverPrefsEnQuittant);
    EXPECT_EQ(prefIncrustX, 920);
    EXPECT_TRUE(etatActions.isEmpty());
    EXPECT_EQ(prefIncrustFont, PoliceIncrust{});
}

TEST_F(Preferences, EmptyFormatsFoldersAndFontNameReadBackAsDefaults)
{
    stocker({{QStringLiteral("Format pour Ajouter Datecode"), QString()},
             {QStringLiteral("Format pour Afficher Datecode"), QString()},
             {QStringLiteral("Format pour Renommer"), QString()},
             {QStringLiteral("Racine pour Renommer"), QString()},
             {QStringLiteral("Dossier pour Ouvrir Fichiers"), QString()},
             {QStringLiteral("Dossier à ouverture auto"), QString()},
             {QStringLiteral("Dossier pour Sauver"), QString()},
             {QStringLiteral("Dossier des PlayList"), QString()},
             {QStringLiteral("IncrustFont/Name"), QString()},
             {QStringLiteral("IncrustFont/Size"), 30}});
    brouillerPreferences();
    charger();
    EXPECT_EQ(prefFormatAjouter, QStringLiteral("dd.mm.yyyy_hh.nn.ss"));
    EXPECT_EQ(prefFormatAfficher, QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    EXPECT_EQ(prefFormatRenommer, QStringLiteral("yyyymmdd_hh.nn.ss"));
    EXPECT_EQ(prefRacineRenommer, QStringLiteral("ClipDV_"));
    for (const QString* dossier : {&prefDossierOuvrir, &prefDossierAuto, &prefDossierSave, &prefDossierPlayList})
        EXPECT_EQ(*dossier, avecSeparateurFinal(DossierPersonnel()));
    EXPECT_EQ(prefIncrustFont.nom, QStringLiteral("Arial"));
    EXPECT_EQ(prefIncrustFont.taille, 30);
    EXPECT_TRUE(prefIncrustFont.gras);
}

TEST_F(Preferences, UnreadableOrOutOfRangeNumbersTakeTheirDefaults)
{
    stocker({{QStringLiteral("Top"), QStringLiteral("haut")},
             {QStringLiteral("Left"), QStringLiteral("99999999999")},
             {QStringLiteral("Ordre de la Liste"), QStringLiteral("258")},
             {QStringLiteral("Standard par défaut"), 3},
             {QStringLiteral("Duréee Incrustation"), QStringLiteral("1.5")},
             {QStringLiteral("Décalage Horaire"), 24},
             {QStringLiteral("Incrust positionX"), -1},
             {QStringLiteral("Incrust positionY"), QStringList{QStringLiteral("1"), QStringLiteral("2")}},
             {QStringLiteral("AutoFontSize"), QStringLiteral("non")},
             {QStringLiteral("Sauver dans le même dossier"), QString()},
             {QStringLiteral("IncrustFont/Size"), 0},
             {QStringLiteral("IncrustFont/Color"), 0x1000000},
             {QStringLiteral("IncrustFont/Bold"), QStringLiteral("false")}});
    brouillerPreferences();
    charger();
    EXPECT_EQ(prefTop, 239);
    EXPECT_EQ(prefLeft, 560);
    EXPECT_EQ(prefOrdreListe, 0);   // not 2, what a byte would have kept of 258
    EXPECT_EQ(prefStandard, standardPal);
    EXPECT_EQ(prefDureeIncrust, 5);
    EXPECT_EQ(prefDecalageHoraire, 0);
    EXPECT_EQ(prefIncrustX, 920);
    EXPECT_EQ(prefIncrustY, 120);
    EXPECT_TRUE(prefAutoFontSize);
    EXPECT_TRUE(prefMemeDossier);
    EXPECT_EQ(prefIncrustFont.taille, 21);
    EXPECT_EQ(prefIncrustFont.couleur, 0xFFFFFFu);
    EXPECT_TRUE(prefIncrustFont.gras);
}

TEST_F(Preferences, NumbersAtTheEdgesOfTheirRangesAreKept)
{
    stocker({{QStringLiteral("Top"), -2147483647 - 1},
             {QStringLiteral("Left"), QStringLiteral(" 2147483647 ")},
             {QStringLiteral("Ordre de la Liste"), 3},
             {QStringLiteral("Standard par défaut"), 2},
             {QStringLiteral("Décalage Horaire"), -23},
             {QStringLiteral("Incrust positionX"), 0},
             {QStringLiteral("Incrust positionY"), 1000},
             {QStringLiteral("Duréee Incrustation"), 0},
             {QStringLiteral("IncrustFont/Color"), 0}});
    charger();
    EXPECT_EQ(prefTop, -2147483647 - 1);
    EXPECT_EQ(prefLeft, 2147483647);
    EXPECT_EQ(prefOrdreListe, 3);
    EXPECT_EQ(prefStandard, standardNtsc);
    EXPECT_EQ(prefDecalageHoraire, -23);
    EXPECT_EQ(prefIncrustX, 0);
    EXPECT_EQ(prefIncrustY, 1000);
    EXPECT_EQ(prefDureeIncrust, 0);
    EXPECT_EQ(prefIncrustFont.couleur, 0u);
}

TEST_F(Preferences, AnyNonZeroIntegerReadsAsTrue)
{
    stocker({{QStringLiteral("is Mute on"), -1},
             {QStringLiteral("is Incrust On"), 7},
             {QStringLiteral("Sendto"), 1},
             {QStringLiteral("Sauver préférences en quittant"), 0},
             {QStringLiteral("IncrustFont/Italic"), 2}});
    charger();
    EXPECT_TRUE(prefMute);
    EXPECT_TRUE(prefIncrustOn);
    EXPECT_TRUE(prefSendTo);
    EXPECT_FALSE(prefSauverPrefsEnQuittant);
    EXPECT_TRUE(prefIncrustFont.italique);
}

TEST_F(Preferences, HandWrittenIniFileWithEscapedNamesIsRead)
{
    ASSERT_TRUE(ecrireFichier(fichier(), "[General]\n"
                                         "Dur%E9ee%20Incrustation=12\n"
                                         "D%E9calage%20Horaire=-5\n"
                                         "Format%20pour%20Afficher%20Datecode=dd mmmm yyyy\n"
                                         "Sendto=1\n"
                                         "\n"
                                         "[Actions]\n"
                                         "amRenommer=0\n"
                                         "pmPlugin=oui\n"
                                         "afStillex=-1\n"));
    charger();
    EXPECT_EQ(prefDureeIncrust, 12);
    EXPECT_EQ(prefDecalageHoraire, -5);
    EXPECT_EQ(prefFormatAfficher, QStringLiteral("dd mmmm yyyy"));
    EXPECT_TRUE(prefSendTo);
    // A value that is not an integer is left out: that action keeps its default state.
    EXPECT_EQ(etatActions,
              (QList<EtatAction>{{QStringLiteral("afStillex"), -1}, {QStringLiteral("amRenommer"), 0}}));
}

TEST_F(Preferences, SaveThenLoadRoundTripsEverySetting)
{
    prefTop = -40;
    prefLeft = 3000;
    prefOrdreListe = 3;
    prefSauverPrefsEnQuittant = false;
    prefSelectionOuverture = true;
    prefSauverListeEnQuittant = true;
    prefMemeDossier = false;
    prefDossierOuvrir = QStringLiteral("/média/Vidéos d'été/");
    prefDossierAuto = QStringLiteral("/mnt/a, b; c=d/");
    prefDossierSave = QStringLiteral(" /espaces autour /");
    prefDossierPlayList = QStringLiteral("@listes/\"guillemets\"/#dièse/");
    prefFichierStillex = QStringLiteral("/opt/stillex/Stillex.exe");
    prefStandard = standardNtsc;
    prefFormatAjouter = QStringLiteral("yyyy-mm-dd");
    prefFormatAfficher = QStringLiteral("ddddd 'à' hh:nn");
    prefFormatRenommer = QStringLiteral("yymmdd");
    prefRacineRenommer = QStringLiteral("Été_");
    prefAutoFontSize = false;
    prefAutoIncrust = true;
    prefDureeIncrust = 17;
    prefDecalageHoraire = -23;
    prefSendTo = false;
    prefIncrustX = 0;
    prefIncrustY = 1000;
    prefMute = true;
    prefIncrustOn = true;
    prefSlidersVisible = true;
    prefIncrustFont = {48, 0x0080FF, QStringLiteral("DejaVu Sans Mono"), false, true, true, true};
    etatActions = {{QStringLiteral("amRenommer"), 1}, {QStringLiteral("amSupprimer"), 0},
                   {QStringLiteral("afStillex"), -1}, {QStringLiteral("pmÉtiquette"), 1}};
    const Instantane sauve = instantane();
    sauver();

    brouillerPreferences();
    charger();
    Instantane relu = instantane();
    // The group's names come back in the store's order, not the list's.
    auto parNom = [](const EtatAction& a, const EtatAction& b) { return a.nom < b.nom; };
    Instantane attendu = sauve;
    std::sort(attendu.actions.begin(), attendu.actions.end(), parNom);
    std::sort(relu.actions.begin(), relu.actions.end(), parNom);
    EXPECT_EQ(relu, attendu);

    prefSendTo = true;
    sauver();
    prefSendTo = false;
    charger();
    EXPECT_TRUE(prefSendTo);
}

TEST_F(Preferences, StoredFileHoldsEveryValueNameInEscapedForm)
{
    etatActions = {{QStringLiteral("amRenommer"), 1}};
    sauver();
    const QMap<QString, QStringList> sections = sectionsIni(fichier());

    auto cles = [&](const QString& section) {
        QStringList c;
        for (const QString& ligne : sections.value(section))
            c << ligne.section(u'=', 0, 0);
        return c;
    };
    const QStringList principales = cles(QStringLiteral("General"));
    for (const QString& nom : nomsPrincipaux + nomsEcritsSeulement)
        EXPECT_TRUE(principales.contains(cleIni(nom))) << "missing " << cleIni(nom).toStdString();
    EXPECT_EQ(principales.size(), nomsPrincipaux.size() + nomsEcritsSeulement.size());
    EXPECT_TRUE(principales.contains(QStringLiteral("Dur%E9ee%20Incrustation")));

    QStringList police = cles(QStringLiteral("IncrustFont"));
    police.sort();
    QStringList attendu = nomsPolice;
    attendu.sort();
    EXPECT_EQ(police, attendu);
    EXPECT_EQ(sections.value(QStringLiteral("Actions")), QStringList{QStringLiteral("amRenommer=1")});
}

TEST_F(Preferences, StoredValuesAreIntegersAndTheWriteOnlyTexts)
{
    prefSendTo = true;
    prefMemeDossier = false;
    prefStandard = standardNtsc;
    prefIncrustFont = PoliceIncrust{};
    sauver();
    const QStringList general = sectionsIni(fichier()).value(QStringLiteral("General"));
    EXPECT_TRUE(general.contains(QStringLiteral("Sendto=1")));
    EXPECT_TRUE(general.contains(QStringLiteral("Sauver%20dans%20le%20m%EAme%20dossier=0")));
    EXPECT_TRUE(general.contains(QStringLiteral("Standard%20par%20d%E9faut=2")));
    EXPECT_TRUE(general.contains(QStringLiteral("version=Korvan 5.3.6 Fr de Brannoc")));
    EXPECT_TRUE(general.contains(QStringLiteral("Derni%E8re%20Sauvegarde=05/03/2024 14:07:09")));
    EXPECT_TRUE(general.contains(QStringLiteral("Exename=/opt/korvan/korvan")));
    const QStringList police = sectionsIni(fichier()).value(QStringLiteral("IncrustFont"));
    EXPECT_TRUE(police.contains(QStringLiteral("Color=16777215")));
    EXPECT_TRUE(police.contains(QStringLiteral("Bold=1")));
    EXPECT_TRUE(police.contains(QStringLiteral("Name=Arial")));
}

// The whole saved file, as this program has always written it (golden/): a
// first run's settings, then a set far from every default (with an action name
// the store cannot hold, which is left out). In the files "$HOME/" stands for
// the session's home folder.
TEST_F(Preferences, SavedFileIsTheGoldenOneLineByLine)
{
    const auto lignes = [&] {
        return QString::fromUtf8(lireFichier(fichier()))
            .replace(bureau.home() + u'/', QStringLiteral("$HOME/"))
            .split(u'\n');
    };
    const auto comparer = [&](const char* golden) {
        const QStringList obtenues = lignes();
        const QStringList attendues =
            QString::fromUtf8(lireFichier(QStringLiteral(KORVAN_SOURCE_DIR "/tests/platform/golden/") + QLatin1String(golden)))
                .split(u'\n');
        ASSERT_GT(attendues.size(), 1) << golden;
        for (qsizetype i = 0; i < std::max(obtenues.size(), attendues.size()); ++i)
            EXPECT_EQ(obtenues.value(i, QStringLiteral("<none>")), attendues.value(i, QStringLiteral("<none>")))
                << "line " << i + 1;
    };

    brouillerPreferences();
    charger();
    sauver();
    comparer("preferences_premier_lancement.ini");

    QFile::remove(fichier());
    brouillerPreferences();
    etatActions += {{QStringLiteral("pmÉtiquette"), 0}, {QStringLiteral("pmA/B"), 1}, {QStringLiteral("afStillex"), -1}};
    sauver();
    comparer("preferences_brouillees.ini");
}

TEST_F(Preferences, SavingTwiceDropsActionsThatAreGone)
{
    etatActions = {{QStringLiteral("amAncienne"), 1}, {QStringLiteral("amRestante"), 0}};
    sauver();
    etatActions = {{QStringLiteral("amRestante"), 1}, {QStringLiteral("amNouvelle"), -1}};
    sauver();
    etatActions.clear();
    charger();
    EXPECT_EQ(etatActions,
              (QList<EtatAction>{{QStringLiteral("amNouvelle"), -1}, {QStringLiteral("amRestante"), 1}}));
    EXPECT_FALSE(lireFichier(fichier()).contains("amAncienne"));
}

TEST_F(Preferences, ActionNamesTheStoreCannotHoldAreLeftOut)
{
    etatActions = {{QStringLiteral("pmA/B"), 1}, {QString(), 0}, {QStringLiteral("amBonne"), 0}};
    sauver();
    charger();
    EXPECT_EQ(etatActions, (QList<EtatAction>{{QStringLiteral("amBonne"), 0}}));
    EXPECT_EQ(sectionsIni(fichier()).keys(),
              (QList<QString>{QStringLiteral("Actions"), QStringLiteral("General"), QStringLiteral("IncrustFont")}));
}

TEST_F(Preferences, StillexPathComesFromItsOwnSettingsWhenNoneIsStored)
{
    stocker({{QStringLiteral("exename"), QStringLiteral("/opt/Stillex/stillex")}}, QStringLiteral("Stillex"));
    charger();   // first run
    EXPECT_EQ(prefFichierStillex, QStringLiteral("/opt/Stillex/stillex"));

    stocker({{QStringLiteral("Fichier Stillex"), QString()}});
    charger();
    EXPECT_EQ(prefFichierStillex, QStringLiteral("/opt/Stillex/stillex"));

    stocker({{QStringLiteral("Fichier Stillex"), QStringLiteral("/mon/stillex")}});
    charger();
    EXPECT_EQ(prefFichierStillex, QStringLiteral("/mon/stillex"));
}

TEST_F(Preferences, EraseAnsweredNoKeepsEverything)
{
    sauver();
    for (ReponseMessage r : {ReponseMessage::Non, ReponseMessage::Fermee}) {
        BoiteScriptee boite;
        boite.reponses = {r};
        EXPECT_FALSE(EffacerPreferences(boite, magasin));
        ASSERT_EQ(boite.questions.size(), 1);
        EXPECT_EQ(boite.questions[0].genre, GenreMessage::Avertissement);
        EXPECT_EQ(boite.questions[0].boutons, BoutonsMessage::OuiNon);
        EXPECT_EQ(boite.questions[0].texte,
                  QStringLiteral("Voulez-vous vraiment effacer les Préférences de Korvan\nde votre registre?"));
        EXPECT_TRUE(QFileInfo::exists(fichier()));
    }
}

TEST_F(Preferences, EraseRemovesTheSettingsAndTheEmptyMakerFolder)
{
    prefSendTo = false;
    sauver();
    BoiteScriptee boite;
    boite.reponses = {ReponseMessage::Oui, ReponseMessage::OK};
    EXPECT_TRUE(EffacerPreferences(boite, magasin));
    EXPECT_FALSE(QFileInfo::exists(magasin.dossierFabricant()));
    ASSERT_EQ(boite.questions.size(), 2);
    EXPECT_EQ(boite.questions[1].genre, GenreMessage::Information);
    EXPECT_EQ(boite.questions[1].boutons, BoutonsMessage::OK);
    EXPECT_EQ(boite.questions[1].texte, QStringLiteral("Korvan a été complètement effacé de votre registre."));

    // The next start is a first run.
    charger();
    EXPECT_TRUE(prefSendTo);
}

TEST_F(Preferences, EraseKeepsTheMakerFolderWhileAnotherProgramsSettingsRemain)
{
    sauver();
    stocker({{QStringLiteral("exename"), QStringLiteral("/opt/stillex")}}, QStringLiteral("Stillex"));
    BoiteScriptee boite;
    boite.reponses = {ReponseMessage::Oui};
    EXPECT_TRUE(EffacerPreferences(boite, magasin));
    EXPECT_FALSE(QFileInfo::exists(fichier()));
    EXPECT_EQ(QDir(magasin.dossierFabricant()).entryList(QDir::Files), QStringList{QStringLiteral("Stillex.conf")});
}

TEST_F(Preferences, EraseWithoutAnySettingsSaysSo)
{
    BoiteScriptee boite;
    boite.reponses = {ReponseMessage::Oui};
    EXPECT_FALSE(EffacerPreferences(boite, magasin));
    ASSERT_EQ(boite.questions.size(), 2);
    EXPECT_EQ(boite.questions[1].genre, GenreMessage::Avertissement);
    EXPECT_EQ(boite.questions[1].texte, QStringLiteral("Les préférences de Korvan ne figuraient pas au registre."));
}

TEST_F(Preferences, EraseThatCannotRemoveTheSettingsDoesNotClaimSuccess)
{
    // Something the erase cannot delete stands where the settings file goes.
    ASSERT_TRUE(ecrireFichier(fichier() + QStringLiteral("/bloque"), "x"));
    BoiteScriptee boite;
    boite.reponses = {ReponseMessage::Oui};
    EXPECT_FALSE(EffacerPreferences(boite, magasin));
    ASSERT_EQ(boite.questions.size(), 2);
    EXPECT_EQ(boite.questions[1].genre, GenreMessage::Erreur);
    EXPECT_FALSE(boite.questions[1].texte.contains(QStringLiteral("complètement effacé")));
    EXPECT_TRUE(QFileInfo::exists(fichier() + QStringLiteral("/bloque")));
}

TEST(PreferencesUtilisateur, UserStoreLivesInTheSessionsConfigurationFolder)
{
    BureauTemporaire bureau;
    EXPECT_EQ(MagasinPreferences::utilisateur().fichier(QStringLiteral("Korvan")),
              bureau.config() + QStringLiteral("/Brannoc/Korvan.conf"));

    prefDecalageHoraire = 4;
    etatActions = {{QStringLiteral("amRenommer"), 0}};
    SauverPreferences();
    const QString fichier = bureau.config() + QStringLiteral("/Brannoc/Korvan.conf");
    ASSERT_TRUE(QFileInfo::exists(fichier));
    const QStringList general = sectionsIni(fichier).value(QStringLiteral("General"));
    EXPECT_TRUE(general.contains(QStringLiteral("Exename=") + QCoreApplication::applicationFilePath()));
    EXPECT_TRUE(general.contains(QStringLiteral("version=Korvan ") + versionProgramme
                                 + QStringLiteral(" Fr de Brannoc")));
    const QStringList date = general.filter(QRegularExpression(
        QStringLiteral("^Derni%E8re%20Sauvegarde=\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$")));
    EXPECT_EQ(date.size(), 1);

    prefDecalageHoraire = 0;
    etatActions.clear();
    ChargerPreferences();
    EXPECT_EQ(prefDecalageHoraire, 4);
    EXPECT_EQ(etatActions, (QList<EtatAction>{{QStringLiteral("amRenommer"), 0}}));
}

TEST(PoliceIncrust, ColourIsStoredBlueGreenRed)
{
    PoliceIncrust p;
    p.couleur = 0x0000FF;
    EXPECT_EQ(p.couleurQColor(), QColor(255, 0, 0));
    p.prendreCouleur(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(p.couleur, 0x563412u);
}

TEST(PoliceIncrust, FontCarriesNameSizeAndStyle)
{
    const PoliceIncrust p{33, 0, QStringLiteral("DejaVu Serif"), false, true, true, false};
    const QFont f = p.versQFont();
    EXPECT_EQ(f.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(f.pointSize(), 33);
    EXPECT_FALSE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.strikeOut());

    PoliceIncrust q;
    q.couleur = 0x010203;
    q.prendreQFont(f);
    EXPECT_EQ(q, (PoliceIncrust{33, 0x010203, QStringLiteral("DejaVu Serif"), false, true, true, false}));
}
