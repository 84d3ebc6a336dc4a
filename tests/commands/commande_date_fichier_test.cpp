#include "commands/commande_date_fichier.h"

#include "platform/etat_programme.h"
#include "analysis/format_date.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "doubles_fenetre.h"
#include "platform/preferences.h"
#include "liste_memoire.h"
#include "support/fixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Temps {
    timespec acces{}, modif{};
    bool naissanceConnue = false;
    statx_timestamp naissance{};
};

Temps temps(const QString& chemin)
{
    Temps t;
    struct statx sx {};
    if (::statx(AT_FDCWD, chemin.toLocal8Bit().constData(), 0, STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) == 0) {
        t.acces = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec};
        t.modif = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
        t.naissanceConnue = (sx.stx_mask & STATX_BTIME) != 0;
        t.naissance = sx.stx_btime;
    }
    return t;
}

class DateFichier : public ::testing::Test {
protected:
    DateFichier() : liste(contexte()), x(liste, liste, boite, progression, apercu)
    {
        abandonDemande = abandonTout = sansConfirmation = false;
        sauveReglages = reglagesFormatCourants();
        definirReglagesFormat(ReglagesFormat::francais());
        x.pomper = [](bool) {};
        module.services.apercu = &apercu;
        module.services.boite = &boite;
    }
    ~DateFichier() override { definirReglagesFormat(sauveReglages); }

    static ContexteEntree contexte()
    {
        ContexteEntree c;
        c.formatAfficher = prefFormatAfficher;
        return c;
    }
    // The access and modification times set to known values.
    static void poserTemps(const QString& chemin, const QDateTime& acces, const QDateTime& modif)
    {
        const timespec t[2] = {{time_t(acces.toSecsSinceEpoch()), 123456789},
                               {time_t(modif.toSecsSinceEpoch()), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, chemin.toLocal8Bit().constData(), t, 0), 0);
    }

    ScratchDir dir;
    ListeMemoire liste;
    BoiteScriptee boite;
    ProgressionMemoire progression;
    ApercuMemoire apercu;
    ExecuteurCommandes x;
    Tch module;
    ReglagesFormat sauveReglages;
};

TEST_F(DateFichier, ModificationTimeBecomesTheDatecodeAsLocalTimeAndAccessTimeStays)
{
    KORVAN_REQUIRE_FIXTURES();
    const QString clip = q(dir.copyFixture("pal_t2_43.avi", "clip.avi"));
    const QDateTime acces(QDate(2020, 1, 1), QTime(12, 0, 0));
    poserTemps(clip, acces, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
    liste.AjouterFichier(clip);
    const EntreePtr entree = liste.entree(0);
    liste.MajStatut();
    // Reading the file for its entry moved the access time (relatime): set it again.
    poserTemps(clip, acces, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
    const Temps avant = temps(clip);

    // The times right after the command, before the list reads the file again.
    bool libereePendant = false;
    Temps apres;
    auto execution = module.FileDate.OnExecution;
    module.FileDate.OnExecution = [&](TParam& p, const TAfficherFichier* f, QString& n, TchUpdateType& u) {
        execution(p, f, n, u);
        apres = temps(clip);
        libereePendant = apercu.liberations == 1 && apercu.reprises == 1;
    };
    boite.reponses = {ReponseMessage::Oui};
    x.ExecuterSurSelection(&module.FileDate);

    ASSERT_EQ(boite.questions.size(), 1u);
    EXPECT_EQ(boite.questions[0].texte,
              "Voulez-vous vraiment modifier les dates du fichier 'clip.avi'\r\n\r\n"
              "Date de création actuelle: " +
                  FormatDateTime("dd/mm/yyyy hh:nn:ss", entree->dateCreation) +
                  "\r\nDate de modification actuelle:  04/03/2021 05:06:07"
                  "\r\nNouvelle date : 14/07/2004 10:31:05");
    EXPECT_EQ(apres.modif.tv_sec, QDateTime(QDate(2004, 7, 14), QTime(10, 31, 5)).toSecsSinceEpoch());
    EXPECT_EQ(apres.modif.tv_nsec, 0);
    EXPECT_EQ(apres.acces.tv_sec, avant.acces.tv_sec);
    EXPECT_EQ(apres.acces.tv_nsec, 123456789);
    // The birth time some filesystems keep cannot be set by a program on Linux.
    if (avant.naissanceConnue) {
        EXPECT_EQ(apres.naissance.tv_sec, avant.naissance.tv_sec);
        EXPECT_EQ(apres.naissance.tv_nsec, avant.naissance.tv_nsec);
    }
    // The entry is read again in place; the preview let the file go meanwhile.
    EXPECT_TRUE(libereePendant);
    EXPECT_FALSE(apercu.libere());
    ASSERT_EQ(liste.nombreLignes(), 1);
    EXPECT_NE(liste.entree(0), entree);
    EXPECT_EQ(liste.entree(0)->chemin, clip);
    EXPECT_DOUBLE_EQ(liste.entree(0)->dateModification, entree->datecode);
}

// Failures that hold for root too: the file gone, its folder turned into a
// file. Each is told in an error box with the file and the system's reason,
// and the entry is read again all the same.
TEST_F(DateFichier, FailuresAreToldAndTheEntryIsReReadAllTheSame)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        int erreur;
    };
    for (const Cas& c : {Cas{"file removed after listing", ENOENT}, Cas{"folder replaced by a file", ENOTDIR}}) {
        SCOPED_TRACE(c.nom);
        ScratchDir d;
        const QString dossier = q(d.path("clips"));
        ASSERT_TRUE(QDir().mkpath(dossier));
        const QString clip = dossier + "/clip.avi";
        writeWholeFile(clip.toStdString(), readWholeFile(fixture("pal_t2_43.avi")));
        const auto e = std::make_shared<const TAfficherFichier>(clip, contexte());
        if (c.erreur == ENOENT) {
            QFile::remove(clip);
        } else {
            ASSERT_TRUE(QDir().rename(dossier, dossier + ".ailleurs"));
            writeWholeFile(dossier.toStdString(), "a file now");
        }
        boite.questions.clear();
        apercu.liberations = apercu.reprises = 0;
        QString nouveau;
        TchUpdateType u = utNone;
        FileDateExecution(module.services, module.FileDate.Param, e.get(), nouveau, u);
        EXPECT_EQ(u, utModify);
        EXPECT_EQ(nouveau, clip);
        EXPECT_EQ(boite.erreurs(), QStringList{"Impossible de modifier la date du fichier " + clip + "\r\n" +
                                               QString::fromLocal8Bit(std::strerror(c.erreur))});
        ASSERT_EQ(boite.questions.size(), 1u);
        EXPECT_EQ(boite.questions[0].boutons, BoutonsMessage::OK);
        EXPECT_EQ(apercu.liberations, 1);
        EXPECT_EQ(apercu.reprises, 1);
    }

    // A datecode that is no date leaves everything as it is, and asks nothing of the system.
    const QString clip = q(dir.copyFixture("pal_t2_43.avi", "clip.avi"));
    TAfficherFichier sansDate(clip, contexte());
    sansDate.datecode = std::nan("");
    boite.questions.clear();
    TchUpdateType u = utNone;
    QString nouveau;
    FileDateExecution(module.services, module.FileDate.Param, &sansDate, nouveau, u);
    EXPECT_EQ(u, utNone);
    EXPECT_TRUE(nouveau.isEmpty());
    EXPECT_TRUE(boite.questions.empty());
    EXPECT_EQ(DefinirDateModification(clip, QDateTime()), EINVAL);
    EXPECT_EQ(DefinirDateModification(clip, QDateTime(QDate(2004, 7, 14), QTime(10, 31, 5))), 0);
    EXPECT_EQ(QFileInfo(clip).lastModified(), QDateTime(QDate(2004, 7, 14), QTime(10, 31, 5)));
}

TEST_F(DateFichier, LongQuestionsFallBackThenAreCut)
{
    KORVAN_REQUIRE_FIXTURES();
    const std::string nom = std::string(200, 'n') + ".avi";
    const auto e = std::make_shared<const TAfficherFichier>(q(dir.copyFixture("pal_t2_43.avi", nom)), contexte());
    QString question;
    FileDateConfirmation(module.FileDate.Param, e.get(), question);
    EXPECT_TRUE(question.startsWith("Voulez-vous vraiment modifier les dates de ce fichier?\r\n\r\n"
                                    "Date de création actuelle: "));
    EXPECT_TRUE(question.endsWith("\r\nNouvelle date : 14/07/2004 10:31:05"));

    // Dates so long that even the second wording does not fit: cut at 255.
    ReglagesFormat r = ReglagesFormat::francais();
    r.formatDateCourt = "'" + QString(80, u'x') + "'dd/mm/yyyy";
    definirReglagesFormat(r);
    FileDateConfirmation(module.FileDate.Param, e.get(), question);
    EXPECT_EQ(question.size(), 255);
    EXPECT_TRUE(question.startsWith("Voulez-vous vraiment modifier les dates de ce fichier?"));
}

} // namespace
