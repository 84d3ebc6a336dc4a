// Arbitrary argument lists, drawn from a fixed seed: the parsing checks of
// the fuzz target, then whole command-line runs over the real list with
// recording commands, which must never crash nor run a command the
// arguments did not ask for, nor treat an entry twice in one switch's pass.
#include "fenetre_ligne_commande.h"
#include "fuzz_arguments.h"
#include "support/fixtures.h"

#include <QRandomGenerator>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace korvan;
using namespace korvan::test;

namespace {

// Pieces that matter to the parsing, and noise.
const char* const kMorceaux[] = {"+",  "/",  ".",   "h",  "c",   "m",    "?", "d",  "t",  "1",    "2",   "x",
                                 "e",  "H",  "D",   "M",  "é",   "É",    " ", "-",  "/",  "avi",  "\\",  "\t",
                                 "ß",  "İ",  "\xff", "", "/tmp", "//", "+?", "+h", ".avi", "q", "b", "z"};

QString argumentAuHasard(QRandomGenerator& g)
{
    // Half of them start as switches do, so that the letters after matter.
    QByteArray a = g.bounded(2) ? QByteArray(g.bounded(2) ? "+" : "/") : QByteArray();
    const int n = int(g.bounded(6));
    for (int i = 0; i < n; ++i)
        a += kMorceaux[g.bounded(int(std::size(kMorceaux)))];
    return QString::fromUtf8(a);
}

QStringList argumentsAuHasard(QRandomGenerator& g)
{
    QStringList l;
    const int n = int(g.bounded(6));
    for (int i = 0; i < n; ++i)
        l << argumentAuHasard(g);
    return l;
}

} // namespace

TEST(SwitchesAleatoires, ParsingChecksHoldOnArbitraryArguments)
{
    QRandomGenerator g(20051120);
    for (int essai = 0; essai < 5000; ++essai) {
        const QByteArray octets = argumentsAuHasard(g).join('\n').toUtf8();
        ASSERT_TRUE(fuzz::fuzzArguments(reinterpret_cast<const uint8_t*>(octets.constData()), size_t(octets.size())))
            << octets.toStdString();
    }
    // Raw bytes, invalid UTF-8 included.
    for (int essai = 0; essai < 2000; ++essai) {
        QByteArray octets(int(g.bounded(40)), '\0');
        for (char& c : octets)
            c = char(g.bounded(256));
        ASSERT_TRUE(fuzz::fuzzArguments(reinterpret_cast<const uint8_t*>(octets.constData()), size_t(octets.size())));
    }
    EXPECT_TRUE(fuzz::fuzzArguments(nullptr, 0));
}

TEST(SwitchesAleatoires, WholeRunsStayWithinWhatTheArgumentsAsk)
{
    KORVAN_REQUIRE_FIXTURES();
    EtatProgrammeSauve etat;
    ScratchDir dir;
    // Files that are listed but unreadable make entries quickly.
    QStringList fichiers;
    for (const char* nom : {"u.avi", "v.avi", "w.avi"})
        fichiers << QString::fromStdString(dir.copyFixture("not_riff.avi", nom));

    QRandomGenerator g(1899);
    int cachees = 0, aides = 0, executees = 0;
    for (int essai = 0; essai < 300; ++essai) {
        FenetreEssai f;
        // Every command with a switch records its calls, asks a question and
        // gives one of the updates that leave the files alone.
        std::map<QString, QString> lettreDe;
        std::vector<std::pair<QString, QString>> executions; // command, path
        for (tFileAction* c : f.tch.composants()) {
            const QString nom = c->Name;
            c->OnConfirmation = [](TParam&, const TAfficherFichier*, QString& m) { m = "?"; };
            c->OnExecution = [&, nom](TParam&, const TAfficherFichier* e, QString&, TchUpdateType& u) {
                executions.emplace_back(nom, e ? e->chemin : QString());
                u = std::array{utNone, utModify, utDelete}[g.bounded(3)];
            };
            c->OnFileCondition = [&g](TParam&, const TAfficherFichier*, bool&, bool& enabled) { enabled = g.bounded(4) != 0; };
        }
        f.demarrer();
        for (const PaireSwitch& p : tableSwitches)
            lettreDe[CommandeDeAction(p.action)->Name] = p.texte;
        for (int i = 0; i < 8; ++i)
            f.boite.reponses.push_back(g.bounded(2) ? ReponseMessage::Oui : ReponseMessage::Non);

        QStringList args = argumentsAuHasard(g);
        for (const QString& c : fichiers)
            if (g.bounded(2))
                args.insert(g.bounded(int(args.size()) + 1), c);
        SCOPED_TRACE(args.join(u'|').toStdString());

        const IssueDemarrage issue = DemarrerLigneCommande(f, args);
        if (issue == IssueDemarrage::EnAttente)
            LigneCommandePremierePeinture(f, args);

        const bool cache = ModeCacheDemande(args);
        EXPECT_EQ(issue == IssueDemarrage::CacheeTerminee, cache);
        EXPECT_EQ(bool(sansConfirmation), cache);
        const LettresFenetre lettres = AnalyserLettresFenetre(args);
        if (!cache && lettres.aide) {
            EXPECT_TRUE(executions.empty());
            EXPECT_TRUE(f.journal.contains("AfficherApropos 1"));
        }
        if (cache || lettres.sansConfirmation) {
            EXPECT_TRUE(f.boite.questions.empty());
        }
        cachees += cache;
        aides += !cache && lettres.aide;
        executees += int(executions.size());

        // Each command ran only for letters given, and each pass treated a file once
        // (a re-read entry is a new one, which its pass does not treat).
        std::map<QString, int> passes;
        for (const QString& a : args)
            for (const auto& [nom, lettre] : lettreDe)
                passes[nom] += ContientSwitch(a, lettre);
        std::map<std::pair<QString, QString>, int> fois;
        for (const auto& e : executions)
            ++fois[e];
        for (const auto& [cle, n] : fois) {
            EXPECT_GT(passes[cle.first], 0) << cle.first.toStdString();
            EXPECT_LE(n, passes[cle.first]) << cle.first.toStdString();
        }
        sansConfirmation = abandonDemande = abandonTout = false;
        registreCommandes.clear();
    }
    // The draws reached every kind of run.
    EXPECT_GT(cachees, 5);
    EXPECT_GT(aides, 5);
    EXPECT_GT(executees, 50);
}
