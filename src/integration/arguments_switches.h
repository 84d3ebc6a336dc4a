#pragma once
// How the program reads its command-line arguments: which ones carry switch
// letters, which letters they carry, and what the fixed letters "c", "h", "m"
// and "?" ask for. Every argument is also a file path candidate; that side is
// the list's business (AjouterFichier ignores what is not an AVI file).
//
// Switch letters are not parsed one by one: a switch is present when its text
// occurs anywhere in the lower-cased argument, so "/12", "+21" and the pair
// "+1" "+2" all carry the switches "1" and "2".
#include <QString>
#include <QStringList>

namespace korvan {

// The fixed letters, tested before and independently of the commands' switches.
inline const QString kSwitchFermer = QStringLiteral("c");
inline const QString kSwitchCache = QStringLiteral("h");
inline const QString kSwitchSansConfirmation = QStringLiteral("m");
inline const QString kSwitchAide = QStringLiteral("?");

// An argument whose first character, once lower-cased, is "+" or "/" and that
// holds no "." anywhere ("+1.avi" is a path only).
//
// On this platform "/" also starts every absolute path, and a path without a
// dot (a folder, a file without extension) would otherwise carry letters such
// as "e" (delete) or "m" (no questions): "/home/me/films" would delete the
// listed files without asking. So a "/" argument is a switch argument only
// when it has no second "/" and nothing exists at that path: "/hd" is a
// switch, "/tmp" and "/home/me/films" are paths.
bool EstArgumentSwitch(const QString& argument);

// Whether a switch argument carries the switch (a lower-case text): false for
// other arguments and for an empty switch.
bool ContientSwitch(const QString& argument, const QString& switchTexte);

// Hidden mode: some switch argument carries "h". The program then runs the
// whole command line while its window is being shown, and closes.
bool ModeCacheDemande(const QStringList& arguments);

// What the command line asks for when the window is first shown.
enum class ModeLigneCommande {
    SansArguments, // nothing to do
    Fenetre,       // the arguments wait for the window's first paint
    Cache,         // hidden mode: everything now, then close
};
ModeLigneCommande DecisionDemarrage(const QStringList& arguments);

// The fixed letters of window mode, read from the switch arguments in order
// until the first one that carries "?".
struct LettresFenetre {
    bool aide = false;             // a "?" was found: show the help, run nothing
    bool fermer = false;           // "c" before the "?" (or anywhere without one)
    bool sansConfirmation = false; // "m" before the "?" (or anywhere without one)
};
LettresFenetre AnalyserLettresFenetre(const QStringList& arguments);

} // namespace korvan
