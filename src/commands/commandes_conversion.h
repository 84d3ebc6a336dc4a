#pragma once
// The conversion commands: DV type 2 to type 1 and back, the recorded clock
// shifted by whole hours and the sound track to a WAV file (the DV frames
// kept as they are); PAL to NTSC and back, the datecode burnt into the
// picture and any AVI recompressed to DV (re-encoded). Each builds its graph in the conversion module, runs it and
// waits for it, then tells the list to add the new file (or not).
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

#include <QString>

namespace korvan {

// The output path of a conversion: beside the source with prefMemeDossier,
// in prefDossierSave otherwise; the extension of the file name replaced by
// the suffix (a name without one gets the suffix appended).
QString CheminConverti(const TAfficherFichier& entree, const QString& suffixe);
// "_hor+2.avi", "_hor-5.avi": the clock-shift suffix for an offset in hours.
QString SuffixeDecalageHoraire(int decalage);

// Offered for DV type 2 files.
void DVtype1FileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
// Offered for DV type 1 files whose codec is exactly "dvsd".
void DVType2FileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
// Exists when the WAV writer is present.
void ExtraireAudioGeneralCondition(TParam& param, bool& visible);
// Enabled for files with sound; hidden for DV type 1 files of another codec than "dvsd".
void ExtraireAudioFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
// Exists when the DV header writer is present.
void DecalerHoraireGeneralCondition(TParam& param, bool& visible);
// Shown for DV files, enabled when an hour offset is set.
void DecalerHoraireFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);

// Exist when the deinterlacer is present.
void StandardGeneralCondition(TParam& param, bool& visible);
// NTSC for PAL DV clips the DV decoder takes (type 2, or type 1 of codec "dvsd"); PAL for NTSC ones.
void NtscFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void PalFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
// Exists when every overlay component is present.
void IncrusterDatecodeGeneralCondition(TParam& param, bool& visible);
// For DV clips the DV decoder takes.
void IncrusterDatecodeFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
// Always shown; enabled for clips that are not DV.
void ConvertirDVFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);

// Each asks before replacing the file its output path names, when one exists.
void DVtype1Confirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void DVType2Confirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void ExtraireAudioConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void DecalerHoraireConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void NtscConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void PalConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void IncrusterDatecodeConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void ConvertirDVConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);

// The runs. A failure (the source unreadable or without what the graph
// takes, nothing to convert, the output impossible to create or write) is
// told in an error box; the output of a failed run is removed. The two DV
// type commands return utAdd with the output path in every case (the list
// adds it if it exists), the clock shift once its graph ran, the sound
// extraction never; the re-encoding ones (NTSC, PAL, burn-in, recompression)
// once their graph ran.
void DVtype1Execution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                      QString& newfichier, TchUpdateType& update);
void DVType2Execution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                      QString& newfichier, TchUpdateType& update);
void ExtraireAudioExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                            QString& newfichier, TchUpdateType& update);
void DecalerHoraireExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                             QString& newfichier, TchUpdateType& update);
void NtscExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                   QString& newfichier, TchUpdateType& update);
void PalExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                  QString& newfichier, TchUpdateType& update);
void IncrusterDatecodeExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                                QString& newfichier, TchUpdateType& update);
void ConvertirDVExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                          QString& newfichier, TchUpdateType& update);

} // namespace korvan
