#include "commands/FileAction.h"
#include "commands/chmodule.h"
#include "commands/raccourcis.h"
#include "commands/registre_commandes.h"

#include <gtest/gtest.h>

using namespace korvan;

namespace {

// Keeps the program-wide registry as it was around each test.
class Registre : public ::testing::Test {
protected:
    Registre() : sauve_(registreCommandes) { registreCommandes.clear(); }
    ~Registre() override { registreCommandes = sauve_; }

private:
    QList<CommandeEnregistree> sauve_;
};

TEST(Raccourci, TextsUseTheFrenchKeyNames)
{
    EXPECT_EQ(ShortCutToText(scCtrl | 'D'), "Ctrl+D");
    EXPECT_EQ(ShortCutToText(0x74), "F5");
    EXPECT_EQ(ShortCutToText(0x7B), "F12");
    EXPECT_EQ(ShortCutToText(scShift | 0x2E), "Shift+Suppr");
    EXPECT_EQ(ShortCutToText(0x1B), "Echap");
    EXPECT_EQ(ShortCutToText(scShift | 0x1B), "Shift+Echap");
    EXPECT_EQ(ShortCutToText(0x20), "Barre d'Espace");
    EXPECT_EQ(ShortCutToText(scAlt | 0x0D), "Alt+Entrée");
    EXPECT_EQ(ShortCutToText(scCtrl | 0x22), "Ctrl+PgDn");
    EXPECT_EQ(ShortCutToText(scCtrl | 0x23), "Ctrl+Fin");
    EXPECT_EQ(ShortCutToText(scShift | scCtrl | scAlt | '7'), "Shift+Ctrl+Alt+7");
    EXPECT_EQ(ShortCutToText(scCtrl | 97), "Ctrl+Num 1");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl | 0xE7), ""); // a code without a key name
}

TEST(Raccourci, TextsParseBackInAnyCaseAndPrefixOrder)
{
    for (uint16_t code : {uint16_t(scCtrl | 'Q'), uint16_t(0x71), uint16_t(scShift | 0x2E), uint16_t(0x20),
                          uint16_t(scCtrl | 0x24), uint16_t(scCtrl | 0x62), uint16_t(scAlt | scShift | 0x08)})
        EXPECT_EQ(TextToShortCut(ShortCutToText(code)), code) << ShortCutToText(code).toStdString();
    EXPECT_EQ(TextToShortCut("ctrl+F9"), scCtrl | 0x78);
    EXPECT_EQ(TextToShortCut("Alt+Shift+a"), scShift | scAlt | 'A');
    EXPECT_EQ(TextToShortCut("suppr"), 0x2E);
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Nowhere"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+F13"), 0);
}

TEST(Raccourci, WindowKeysMatchTheCodes)
{
    EXPECT_EQ(CombinaisonClavier(scCtrl | 'D'), QKeyCombination(Qt::ControlModifier, Qt::Key_D));
    EXPECT_EQ(CombinaisonClavier(scShift | 0x1B), QKeyCombination(Qt::ShiftModifier, Qt::Key_Escape));
    EXPECT_EQ(CombinaisonClavier(scCtrl | 97),
              QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_1));
    EXPECT_EQ(CombinaisonClavier(0x7B), QKeyCombination(Qt::Key_F12));
    EXPECT_EQ(CombinaisonClavier(0).key(), Qt::Key_unknown);
    // Enter has its keypad twin; other keys stay single.
    EXPECT_EQ(CombinaisonsClavier(scAlt | 0x0D),
              (QList<QKeyCombination>{QKeyCombination(Qt::AltModifier, Qt::Key_Return),
                                      QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Enter)}));
    EXPECT_EQ(CombinaisonsClavier(scCtrl | 'D'), QList<QKeyCombination>{CombinaisonClavier(scCtrl | 'D')});
}

TEST(Commande, ShortStringPropertiesAreCutAt255)
{
    tFileAction c(QStringLiteral("Essai"));
    c.setCaption(QString(300, u'é'));
    EXPECT_EQ(c.Caption().size(), 255);
    // A character outside the basic plane is never split in two.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xA5");
    c.setMonoMessage(QString(254, u'a') + emoji);
    EXPECT_EQ(c.MonoMessage(), QString(254, u'a'));
    c.setModele(QStringLiteral("CreerScenes"));
    EXPECT_EQ(c.Modele(), "CreerScenes");
}

TEST(Commande, SwitchIsLowerCaseAndShortcutIsText)
{
    tFileAction c;
    c.setSwitch(QStringLiteral("N"));
    EXPECT_EQ(c.Switch(), "n");
    c.setShortcut(QStringLiteral("Ctrl+B"));
    EXPECT_EQ(c.codeRaccourci(), scCtrl | 'B');
    EXPECT_EQ(c.Shortcut(), "Ctrl+B");
    c.setShortcut(QString());
    EXPECT_EQ(c.codeRaccourci(), 0);
    EXPECT_EQ(c.Shortcut(), "");
}

TEST(Commande, ParameterNameIsAShortStringInTheRecord)
{
    TParam p;
    p.definirNom(QStringLiteral("ScenesText"));
    EXPECT_EQ(p.Nom[0], 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.Nom + 1), 10), "ScenesText");
    EXPECT_EQ(p.nom(), "ScenesText");
    // 255 bytes at most, cut before a character that would not fit whole.
    p.definirNom(QString(127, u'é') + QStringLiteral("xyz"));
    EXPECT_EQ(p.Nom[0], 255);
    EXPECT_EQ(p.nom(), QString(127, u'é') + QStringLiteral("x"));
    p.definirNom(QString(128, u'é'));
    EXPECT_EQ(p.Nom[0], 254);
    EXPECT_EQ(p.nom(), QString(127, u'é'));
}

TEST_F(Registre, ActionNamesLeadToTheirCommand)
{
    tFileAction a(QStringLiteral("AjouterDateCode"));
    tFileAction b(QStringLiteral("Pal"));
    AjouterCommande(&a);
    AjouterCommande(&b);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("amAjouterDatecode")), &a);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("PMPAL")), &b);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("atPal")), &b);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("ptpal")), &b);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("afPal")), nullptr);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("amNtsc")), nullptr);
    EXPECT_EQ(CommandeDeAction(QStringLiteral("am")), nullptr);
    EXPECT_EQ(CommandeDeAction(QString()), nullptr);
}

TEST_F(Registre, BuiltInCommandsComeFirstAndWinNameClashes)
{
    Tch module;
    EnregistrerCommandes(module);
    tFileAction plugin(QStringLiteral("PAL"));
    AjouterCommande(&plugin);
    ASSERT_EQ(registreCommandes.size(), Tch::kNombreCommandes + 1);
    EXPECT_EQ(registreCommandes[0].cle, "dossierparent");
    EXPECT_EQ(registreCommandes[6].cle, "ajouterdatecode");
    EXPECT_EQ(registreCommandes[25].cle, "corrigercodec");
    EXPECT_EQ(registreCommandes.last().cle, "pal");
    EXPECT_EQ(CommandeDeAction(QStringLiteral("amPal")), &module.Pal);

    // Registering again starts from an empty registry.
    EnregistrerCommandes(module);
    EXPECT_EQ(registreCommandes.size(), Tch::kNombreCommandes);
}

TEST_F(Registre, ModelLendsOnlyMissingHandlersAndMustExistExactly)
{
    tFileAction modele(QStringLiteral("CreerScenes"));
    int appels = 0;
    modele.OnExecution = [&](TParam&, const TAfficherFichier*, QString&, TchUpdateType&) { ++appels; };
    modele.OnConfirmation = [](TParam&, const TAfficherFichier*, QString& m) { m = QStringLiteral("modèle"); };
    modele.OnGeneralCondition = [](TParam&, bool& v) { v = false; };
    AjouterCommande(&modele);

    tFileAction texte(QStringLiteral("ScenesText"));
    texte.OnConfirmation = [](TParam&, const TAfficherFichier*, QString& m) { m = QStringLiteral("propre"); };
    texte.setModele(QStringLiteral("CreerScenes"));
    ASSERT_TRUE(AppliquerModele(texte));
    QString m;
    texte.OnConfirmation(texte.Param, nullptr, m);
    EXPECT_EQ(m, "propre");
    ASSERT_TRUE(texte.OnExecution);
    QString n;
    TchUpdateType u = utNone;
    texte.OnExecution(texte.Param, nullptr, n, u);
    EXPECT_EQ(appels, 1);
    EXPECT_FALSE(texte.OnFileCondition);
    EXPECT_FALSE(ConditionGenerale(texte));

    // The model's name is compared exactly; an unknown model leaves the command unattached.
    tFileAction mauvais(QStringLiteral("Autre"));
    mauvais.setModele(QStringLiteral("creerscenes"));
    EXPECT_FALSE(AppliquerModele(mauvais));
    EXPECT_FALSE(mauvais.OnExecution);
    tFileAction sansModele(QStringLiteral("Seul"));
    EXPECT_TRUE(AppliquerModele(sansModele));
}

TEST(Commande, GeneralConditionDefaultsToOfferedAndFailureHidesIt)
{
    tFileAction c;
    EXPECT_TRUE(ConditionGenerale(c));
    c.OnGeneralCondition = [](TParam&, bool&) { throw std::runtime_error("no filter"); };
    EXPECT_FALSE(ConditionGenerale(c));
}

// Caption, shortcut, switch, status text and handlers (G F C E) of every built-in command.
TEST(Catalogue, BuiltInCommandsCarryTheirTextsAndHandlers)
{
    struct Attendu {
        const char* nom;
        const char* caption;
        const char* shortcut;
        const char* sw;
        const char* mono;
        const char* gestionnaires; // the handlers this build provides
    };
    const Attendu attendus[] = {
        {"DossierParent", "Dossier parent", "", "", "", "E"},
        {"SupprimerFichier", "Supprimer le fichier", "", "e", "En train de supprimer...", "FCE"},
        {"oterfichier", "Oter le fichier", "", "", "", "E"},
        {"RiffHeader", "Voir l'en-tête RIFF", "Ctrl+H", "", "", ""},
        {"DefaultPlayer", "Lire dans le player par défaut", "F5", "", "", "E"},
        {"AjouterTimecode", "Ajouter le timecode", "Ctrl+T", "t", "", "FCE"},
        {"AjouterDateCode", "Ajouter le datecode", "Ctrl+D", "d", "", "FCE"},
        {"PurgerNom", "Raccourcir le nom du fichier", "Ctrl+Q", "q", "", "FCE"},
        {"FileDate", "Changer la date du fichier", "Ctrl+B", "b", "", "FCE"},
        {"RenameScAn", "Renommer ", "Ctrl+R", "r", "", "FCE"},
        {"DVtype1", "Convertir en DV type 1", "Ctrl+1", "1", "En train de convertir \"%s\" en type 1", "FCE"},
        {"DVType2", "Convertir en DV type 2", "Ctrl+2", "2", "En train de convertir \"%s\" en type 2", "FCE"},
        {"Ntsc", "Convertir en NTSC", "", "n", "En train de convertir \"%s\" en NTSC", "GFCE"},
        {"Pal", "Convertir en Pal", "", "p", "En train de convertir \"%s\" en Pal", "GFCE"},
        {"IncrusterDatecode", "Incruster le datecode", "Ctrl+I", "i", "En train d'incruster le datecode dans \"%s\"",
         "GFCE"},
        {"ConvertirDV", "Recompresser en DV type 2", "Ctrl+G", "g", "En train de convertir \"%s\" en DV type 2", "FCE"},
        {"CreerScenes", "Créer un fichier scn", "", "s", "En train de créer un fichier scn pour \"%s\"", "CE"},
        {"SupprimerScenes", "Supprimer le fichier scn", "Ctrl+Z", "z", "", "FCE"},
        {"ExtraireAudio", "Extraire l'audio", "Ctrl+W", "w", "En train d'extraire l'audio de \"%s\"", "GFCE"},
        {"CorrigerFps", "Corriger la fréquence vidéo", "Ctrl+Y", "", "", ""},
        {"ScenesText", "Exporter la liste des scènes", "Ctrl+X", "x",
         "En train d'exporter la liste des scènes de \"%s\" en texte", "C"},
        {"Stillex", "", "F3", "", "", "GE"},
        {"AfficherDatecode", "Afficher le datecode", "F12", "", "", ""},
        {"AfficherSliders", "Modifier la position de l'incrustation", "", "", "", ""},
        {"DecalerHoraire", "Corriger le décalage horaire", "", "",
         "En train de corriger le décalage horaire de \"%s\"", "GFCE"},
        {"CorrigerCodec", "Modifier le codec", "", "", "", ""},
    };
    Tch module;
    module.TextesCommandes();
    const auto composants = module.composants();
    ASSERT_EQ(std::size(attendus), composants.size());
    for (size_t i = 0; i < composants.size(); ++i) {
        const Attendu& a = attendus[i];
        const tFileAction& c = *composants[i];
        SCOPED_TRACE(a.nom);
        EXPECT_EQ(c.Name, QString::fromUtf8(a.nom));
        EXPECT_EQ(c.Caption(), QString::fromUtf8(a.caption));
        EXPECT_EQ(c.Shortcut(), QString::fromUtf8(a.shortcut));
        EXPECT_EQ(c.Switch(), QString::fromUtf8(a.sw));
        EXPECT_EQ(c.MonoMessage(), QString::fromUtf8(a.mono));
        QString gestionnaires;
        if (c.OnGeneralCondition)
            gestionnaires += u'G';
        if (c.OnFileCondition)
            gestionnaires += u'F';
        if (c.OnConfirmation)
            gestionnaires += u'C';
        if (c.OnExecution)
            gestionnaires += u'E';
        EXPECT_EQ(gestionnaires, QString::fromUtf8(a.gestionnaires));
        EXPECT_EQ(c.Modele(), c.Name == u"ScenesText" ? QStringLiteral("CreerScenes") : QString());
    }
    EXPECT_EQ(module.CreerScenes.Param.nom(), "CreerScenes");
    EXPECT_EQ(module.ScenesText.Param.nom(), "ScenesText");
    EXPECT_EQ(module.Pal.Param.nom(), "");
    EXPECT_EQ(module.Pal.Param.Taille, 0);
    EXPECT_EQ(module.Pal.Param.Donnees, nullptr);
}

} // namespace
