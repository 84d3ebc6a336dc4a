#pragma once
// The korvan program run from a shell as a batch user runs it: no display
// (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset), a home and settings
// of its own, copies of the fixtures in a folder, relative names as a shell
// glob gives them.
#include "support/fixtures.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace korvan::test {

struct Sortie {
    bool normale = false; // ended by itself, not by a signal or the timeout
    int code = -1;
    QByteArray err;
    QByteArray out;
};

class SessionKorvan {
public:
    // The session's folders; false when they cannot be made.
    bool preparer() { return racine_.isValid() && QDir().mkpath(clips()) && QDir().mkpath(home()); }

    QString home() const { return racine_.path() + "/home"; }
    QString clips() const { return racine_.path() + "/clips"; }
    QString racine() const { return racine_.path(); }
    QString config() const { return home() + "/.config/Brannoc/Korvan.conf"; }
    void copier(const char* source, const QString& nom, const QString& dossier = {})
    {
        writeWholeFile(((dossier.isEmpty() ? clips() : dossier) + '/' + nom).toStdString(), readWholeFile(fixture(source)));
    }
    QStringList fichiers() const { return QDir(clips()).entryList({"*"}, QDir::Files, QDir::Name); }
    // A setting the program loads at its start.
    void regler(const QString& cle, const QVariant& valeur)
    {
        QSettings reglages(config(), QSettings::IniFormat);
        reglages.setValue(cle, valeur);
    }

    // plateforme: a Qt platform to set, none by default. devant: a command
    // the program is run under (unshare ... sh -c), which receives the
    // program's path and arguments after its own.
    Sortie korvan(const QStringList& args, const QString& plateforme = {}, const QStringList& devant = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(v);
        if (!plateforme.isEmpty())
            env.insert("QT_QPA_PLATFORM", plateforme);
        env.insert("HOME", home());
        env.insert("XDG_CONFIG_HOME", home() + "/.config");
        env.insert("XDG_DATA_HOME", home() + "/.local/share");
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(clips());
        if (devant.isEmpty())
            p.start(programme_, args);
        else
            p.start(devant.first(), devant.mid(1) + QStringList{programme_} + args);
        const bool fini = p.waitForFinished(120000);
        if (!fini)
            p.kill();
        return {fini && p.exitStatus() == QProcess::NormalExit, p.exitCode(), p.readAllStandardError(),
                p.readAllStandardOutput()};
    }

    // The program run: the build's, or another copy (an installed one).
    void utiliserProgramme(const QString& chemin) { programme_ = chemin; }

    // Every listed name, as a shell glob would give them.
    Sortie korvanSurTout(const QString& lettres) { return korvan(QStringList{lettres} + fichiers()); }

private:
    QTemporaryDir racine_;
    QString programme_ = QStringLiteral(KORVAN_BINARY_DIR "/korvan");
};

} // namespace korvan::test
