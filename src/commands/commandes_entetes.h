#pragma once
// The header-fix commands: the video frame rate (CorrigerFps) and the video
// codec code (CorrigerCodec) corrected in place, each value asked in a small
// dialog of its own shown once per file; and RiffHeader, the RIFF structure
// report of the current file. The dialogs and the report window are the
// window's; the commands reach them through the interfaces below.
#include "analysis/reglages_format.h"
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

#include <QString>
#include <optional>
#include <string>

namespace korvan {

class Tch;

// A header-fix dialog as its command sees it. The dialog keeps its radio
// choice, its edit text and its last result for as long as the program runs.
class IDialogueChoix {
public:
    virtual ~IDialogueChoix() = default;
    // The radio group's item, -1 until the first choice.
    virtual int choix() const = 0;
    // Choosing an item enables the edit exactly for the last one.
    virtual void choisir(int item) = 0;
    virtual void definirTexte(const QString& texte) = 0;
    // Shows the dialog modally; true when it was closed with OK and its value read.
    virtual bool executer() = 0;
};

// TFrequenceForm.
class IFrequenceForm : public IDialogueChoix {
public:
    virtual double frequenceChoisie() const = 0;
};

// TCodecForm.
class ICodecForm : public IDialogueChoix {
public:
    // At most 4 characters.
    virtual QString codecChoisi() const = 0;
};

// TRiffForm: the report window, not modal.
class IRiffForm {
public:
    virtual ~IRiffForm() = default;
    // Shows the window and writes the report of the file into it; an error
    // opening or reading the file propagates.
    virtual void AfficherRapportRiff(const QString& chemin) = 0;
    virtual void fermer() = 0;
};

// The items of the dialogs.
enum ChoixFrequence { cfPal = 0, cfNtsc = 1, cfPersonnalisee = 2 };
enum ChoixCodec { ccDvsd = 0, ccDsvd = 1, ccCdvc = 2, ccPersonnalise = 3 };

// What OK gives: 25, 29.97, or the edit's text read with the settings'
// decimal separator. None for a text that is not a number, and for a rate
// that gives no usable scale (0, negative, or so large that the scale would
// be 0): writing it would leave the clip unplayable.
std::optional<double> FrequenceDuChoix(int item, const QString& texte,
                                       const ReglagesFormat& reglages = reglagesFormatCourants());
// "dvsd", "dsvd", "CDVC", or the first 4 characters of the edit's text.
std::optional<QString> CodecDuChoix(int item, const QString& texte);

// The first use's choice from the clip's current value.
int ChoixFrequenceInitial(double fps);
int ChoixCodecInitial(const std::string& codec);

void CorrigerFpsFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void CorrigerFpsConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void CorrigerFpsExecution(const ServicesCommandes& services, IFrequenceForm& dialogue, TParam& param,
                          const TAfficherFichier* fichier, QString& newfichier, TchUpdateType& update);

void CorrigerCodecConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void CorrigerCodecExecution(const ServicesCommandes& services, ICodecForm& dialogue, TParam& param,
                            const TAfficherFichier* fichier, QString& newfichier, TchUpdateType& update);

// A file that cannot be opened gets a warning box and the window closes.
void RiffHeaderExecution(const ServicesCommandes& services, IRiffForm& fenetre, TParam& param,
                         const TAfficherFichier* fichier, QString& newfichier, TchUpdateType& update);

// Gives the commands their handlers, bound to the window's dialogs; the
// module's services are read at each run.
void InstallerCorrectionsEntetes(Tch& module, IFrequenceForm& frequence, ICodecForm& codec);
void InstallerRapportRiff(Tch& module, IRiffForm& fenetre);

} // namespace korvan
