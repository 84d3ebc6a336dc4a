#pragma once
// Faults injected into a run of a real program, at a chosen system call on a
// chosen file (strace -P FILE -e inject=...): the n-th write of the output
// fails with ENOSPC (a disk that fills up there), a rename or an open fails,
// or the program is killed (SIGKILL) on entering the call, before it runs.
// The prefix goes in front of the program's command line (SessionKorvan's
// `devant`). And what a test checks after any fault: a folder's files by
// content, so that "the source is byte-identical" and "no existing file was
// replaced" are one comparison.
#include "support/oracles.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace korvan::test {

struct Panne {
    QString chemin;         // the file the calls touch (it may not exist yet)
    QString appels;         // system calls, comma-separated: "pwritev,pwrite64,write"
    int rang = 1;           // the first call that fails (1: the first one)
    bool suivants = false;  // every later call fails too (a full disk stays full)
    QString erreur;         // errno name ("ENOSPC"); empty with tuer
    bool tuer = false;      // SIGKILL on entering the call instead

    QStringList devant() const
    {
        QString injection = QStringLiteral("inject=%1:").arg(appels);
        injection += tuer ? QStringLiteral("signal=KILL") : QStringLiteral("error=") + erreur;
        injection += QStringLiteral(":when=%1%2").arg(rang).arg(suivants ? "+" : "");
        // LeakSanitizer cannot run under ptrace: a sanitized program is traced without it.
        const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
        return {QStringLiteral("env"), QStringLiteral("ASAN_OPTIONS=") + asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0",
                QStringLiteral("strace"), QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                QStringLiteral("/dev/null"), QStringLiteral("-P"), chemin, QStringLiteral("-e"),
                QStringLiteral("trace=") + appels, QStringLiteral("-e"), injection};
    }

    // The common faults, by what the user would call them.
    static Panne disquePlein(const QString& sortie, int apresEcritures)
    {
        return {sortie, QStringLiteral("write,pwrite64,pwritev"), apresEcritures + 1, true, QStringLiteral("ENOSPC"), false};
    }
    static Panne arretBrutal(const QString& fichier, const QString& appels, int rang)
    {
        return {fichier, appels, rang, false, {}, true};
    }
    static Panne echecAppel(const QString& fichier, const QString& appels, const QString& erreur)
    {
        return {fichier, appels, 1, true, erreur, false};
    }
};

// strace can trace and inject here (ptrace allowed).
inline bool injectionDisponible()
{
    QProcess p;
    p.start(QStringLiteral("strace"), {QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                        QStringLiteral("-e"), QStringLiteral("inject=getpid:error=EPERM"), QStringLiteral("true")});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A folder's files (hidden ones too) and their SHA-256.
using EtatDossier = QMap<QString, QString>;
inline EtatDossier etatDossier(const QString& dossier)
{
    EtatDossier e;
    for (const QString& nom : QDir(dossier).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        e.insert(nom, sha256((dossier + QLatin1Char('/') + nom).toStdString()));
    return e;
}

// The files of `avant` that are gone or whose bytes changed, for a message.
inline QStringList fichiersAbimes(const EtatDossier& avant, const EtatDossier& apres)
{
    QStringList l;
    for (auto i = avant.begin(); i != avant.end(); ++i)
        if (apres.value(i.key()) != i.value())
            l << i.key();
    return l;
}

// The conversion commands that have a command-line letter, with a source
// they take and the suffix of their output; a new conversion adds its line.
struct ConversionParLettre {
    const char* lettre;
    const char* source;  // fixture
    const char* suffixe; // replaces ".avi"
    bool avi;            // the output is an AVI file (not WAV)
};
inline constexpr ConversionParLettre kConversionsParLettre[] = {
    {"1", "pal_t2_43.avi", "_type1.avi", true},
    {"2", "pal_t1_43.avi", "_type2.avi", true},
    {"w", "pal_t2_43.avi", ".wav", false},
    {"n", "pal_t2_43.avi", "_ntsc.avi", true},
    {"p", "ntsc_t2_43.avi", "_pal.avi", true},
    {"i", "pal_t1_43.avi", "_in.avi", true},
    {"g", "mjpeg_pcm.avi", "_dvtype2.avi", true},
};

} // namespace korvan::test
