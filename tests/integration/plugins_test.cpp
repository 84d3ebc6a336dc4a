// Plug-in loading on real shared libraries built from tests/plugins: tags,
// the about page's lines, the commands registered after the built-ins, and
// files that only look like plug-ins.
#include "commands/chmodule.h"
#include "commands/registre_commandes.h"
#include "integration/plugins.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvan;

namespace {

class Plugins : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dossier.isValid());
        registreCommandes.clear();
    }
    void TearDown() override { registreCommandes.clear(); }

    // Copies the named test plug-ins into the folder.
    void installer(std::initializer_list<const char*> noms)
    {
        for (const char* n : noms)
            ASSERT_TRUE(QFile::copy(QStringLiteral(KORVAN_ESSAIS_PLUGINS "/") + n, dossier.filePath(n))) << n;
    }
    QStringList noms() const
    {
        QStringList l;
        for (const CommandeEnregistree& c : registreCommandes)
            l << c.cle;
        return l;
    }

    QTemporaryDir dossier;
};

using Style = LignePlugins::Style;

} // namespace

TEST_F(Plugins, NoFolderOrAnEmptyOneAddsNothing)
{
    EXPECT_TRUE(ChargerPlugins({dossier.filePath("absent")}).empty());
    EXPECT_TRUE(ChargerPlugins({dossier.path()}).empty());
    EXPECT_TRUE(pagePlugins().empty());
    EXPECT_TRUE(registreCommandes.isEmpty());
}

// The page lists the accepted plug-ins in name order; a wrong tag, a text
// file named .qzp and a library with only its tag never stop the others.
TEST_F(Plugins, AcceptedPluginsInOrderOnTheAboutPage)
{
    installer({"e_incomplet.qzp", "c_mauvais.qzp", "b_zero.qzp", "a_majuscules.qzp"});
    {
        QFile faux(dossier.filePath("faux.qzp"));
        ASSERT_TRUE(faux.open(QIODevice::WriteOnly));
        faux.write("not a library\n");
    }
    const std::vector<LignePlugins> attendu{
        {"Korvan utilise les plug-ins suivants:", Style::Italique},
        {"", Style::Italique},
        {"a_majuscules.qzp (1 actions):", Style::GrasSouligne}, // tag KORVAN_0005 in capitals
        {"Essai 1.0", Style::Normal},
        {"Plug-in d'essai", Style::Italique},
        {"", Style::Italique},
        {"b_zero.qzp (0 actions):", Style::GrasSouligne},
        {"Essai 1.0", Style::Normal},
        {"Plug-in d'essai", Style::Italique},
        {"", Style::Italique},
        {"e_incomplet.qzp (0 actions):", Style::GrasSouligne}, // missing exports: empty texts, no command
        {"", Style::Normal},
        {"", Style::Italique},
        {"", Style::Italique},
    };
    EXPECT_EQ(ChargerPlugins({dossier.path()}), attendu);
    EXPECT_EQ(pagePlugins(), attendu);
    EXPECT_EQ(noms(), QStringList{"essaiconvertir"});
    const tFileAction* c = ChercherCommande("EssaiConvertir");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Caption(), "Commande d'essai");
    EXPECT_EQ(c->Switch(), "j");
    EXPECT_EQ(c->Tag, 3);
    EXPECT_EQ(c->Param.nom(), "essai");
    EXPECT_EQ(c->Param.Taille, 40);
    EXPECT_TRUE(c->OnExecution);
    EXPECT_FALSE(c->OnConfirmation);
}

TEST_F(Plugins, TheBuiltInCommandWinsANameClash)
{
    Tch module;
    module.TextesCommandes();
    EnregistrerCommandes(module);
    tFileAction* integree = ChercherCommande("ajouterdatecode");
    ASSERT_NE(integree, nullptr);
    const qsizetype avant = registreCommandes.size();
    installer({"d_conflit.qzp"});
    ChargerPlugins({dossier.path()});
    // Still added, after the built-ins; the lookups find the built-in.
    ASSERT_EQ(registreCommandes.size(), avant + 1);
    EXPECT_EQ(registreCommandes.last().cle, "ajouterdatecode");
    EXPECT_NE(registreCommandes.last().commande, integree);
    EXPECT_EQ(ChercherCommande("AjouterDatecode"), integree);
    registreCommandes.clear();
}

TEST_F(Plugins, ExportsReadAsTextsAndNumbers)
{
    installer({"a_majuscules.qzp"});
    QLibrary b(dossier.filePath("a_majuscules.qzp"));
    ASSERT_TRUE(b.load());
    EXPECT_EQ(LireChainePlugin(b, "GETPLUGIN_TYPE"), "KORVAN_0005");
    EXPECT_EQ(LireChainePlugin(b, "GETPLUGIN_NOTHING"), "");
    EXPECT_EQ(LireEntierPlugin(b, "GETPLUGIN_NBFILEACTION"), 1);
    EXPECT_EQ(LireEntierPlugin(b, "GETPLUGIN_NOTHING"), 0);
}

// The plug-in shipped with the program loads and brings its command.
TEST_F(Plugins, TheExamplePluginLoads)
{
    const std::vector<LignePlugins> page = ChargerPlugins({QStringLiteral(KORVAN_PLUGINS_LIVRES)});
    ASSERT_GE(page.size(), 6u);
    EXPECT_EQ(page[2].texte, "codes_texte.qzp (1 actions):");
    const tFileAction* c = ChercherCommande("codestexte");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Switch(), "k");
    EXPECT_TRUE(c->OnFileCondition);
}
