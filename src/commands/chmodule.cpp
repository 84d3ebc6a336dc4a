#include "commands/chmodule.h"

#include "commands/commande_date_fichier.h"
#include "commands/commandes_conversion.h"
#include "commands/commandes_fichiers.h"
#include "commands/commandes_renommer.h"
#include "commands/commandes_scenes.h"
#include "commands/registre_commandes.h"

namespace korvan {

namespace {

using ExecutionAvecServices = void (*)(const ServicesCommandes&, TParam&, const TAfficherFichier*, QString&,
                                       TchUpdateType&);

// The handlers read the module's services at each call, so services set after
// construction are the ones used.
TExecutionEvent avecServices(const Tch* module, ExecutionAvecServices execution)
{
    return [module, execution](TParam& p, const TAfficherFichier* f, QString& n, TchUpdateType& u) {
        execution(module->services, p, f, n, u);
    };
}

} // namespace

Tch::Tch(ServicesCommandes servicesDonnes)
    : services(std::move(servicesDonnes)),
      DossierParent(QStringLiteral("DossierParent")),
      SupprimerFichier(QStringLiteral("SupprimerFichier")),
      oterfichier(QStringLiteral("oterfichier")),
      RiffHeader(QStringLiteral("RiffHeader")),
      DefaultPlayer(QStringLiteral("DefaultPlayer")),
      AjouterTimecode(QStringLiteral("AjouterTimecode")),
      AjouterDateCode(QStringLiteral("AjouterDateCode")),
      PurgerNom(QStringLiteral("PurgerNom")),
      FileDate(QStringLiteral("FileDate")),
      RenameScAn(QStringLiteral("RenameScAn")),
      DVtype1(QStringLiteral("DVtype1")),
      DVType2(QStringLiteral("DVType2")),
      Ntsc(QStringLiteral("Ntsc")),
      Pal(QStringLiteral("Pal")),
      IncrusterDatecode(QStringLiteral("IncrusterDatecode")),
      ConvertirDV(QStringLiteral("ConvertirDV")),
      CreerScenes(QStringLiteral("CreerScenes")),
      SupprimerScenes(QStringLiteral("SupprimerScenes")),
      ExtraireAudio(QStringLiteral("ExtraireAudio")),
      CorrigerFps(QStringLiteral("CorrigerFps")),
      ScenesText(QStringLiteral("ScenesText")),
      Stillex(QStringLiteral("Stillex")),
      AfficherDatecode(QStringLiteral("AfficherDatecode")),
      AfficherSliders(QStringLiteral("AfficherSliders")),
      DecalerHoraire(QStringLiteral("DecalerHoraire")),
      CorrigerCodec(QStringLiteral("CorrigerCodec"))
{
    // File condition, confirmation, execution; an empty one stays absent.
    auto poser = [](tFileAction& c, TFileConditionEvent condition, TConfirmationEvent confirmation,
                    TExecutionEvent execution) {
        c.OnFileCondition = std::move(condition);
        c.OnConfirmation = std::move(confirmation);
        c.OnExecution = std::move(execution);
    };
    poser(DossierParent, {}, {}, avecServices(this, DossierParentExecution));
    poser(SupprimerFichier, SupprimerFichierFileCondition, SupprimerFichierConfirmation,
          avecServices(this, SupprimerFichierExecution));
    poser(oterfichier, {}, {}, oterfichierExecution);
    poser(DefaultPlayer, {}, {}, avecServices(this, DefaultPlayerExecution));
    poser(AjouterTimecode, AjouterTimecodeFileCondition, AjouterTimecodeConfirmation,
          avecServices(this, AjouterTimecodeExecution));
    poser(AjouterDateCode, AjouterDateCodeFileCondition, AjouterDateCodeConfirmation,
          avecServices(this, AjouterDateCodeExecution));
    poser(PurgerNom, PurgerNomFileCondition, PurgerNomConfirmation, avecServices(this, PurgerNomExecution));
    poser(FileDate, AjouterDateCodeFileCondition, FileDateConfirmation, avecServices(this, FileDateExecution));
    poser(RenameScAn, AjouterDateCodeFileCondition, RenameScAnConfirmation, avecServices(this, RenameScAnExecution));
    poser(DVtype1, DVtype1FileCondition, DVtype1Confirmation, avecServices(this, DVtype1Execution));
    poser(DVType2, DVType2FileCondition, DVType2Confirmation, avecServices(this, DVType2Execution));
    Ntsc.OnGeneralCondition = StandardGeneralCondition;
    poser(Ntsc, NtscFileCondition, NtscConfirmation, avecServices(this, NtscExecution));
    Pal.OnGeneralCondition = StandardGeneralCondition;
    poser(Pal, PalFileCondition, PalConfirmation, avecServices(this, PalExecution));
    IncrusterDatecode.OnGeneralCondition = IncrusterDatecodeGeneralCondition;
    poser(IncrusterDatecode, IncrusterDatecodeFileCondition, IncrusterDatecodeConfirmation,
          avecServices(this, IncrusterDatecodeExecution));
    poser(ConvertirDV, ConvertirDVFileCondition, ConvertirDVConfirmation, avecServices(this, ConvertirDVExecution));
    ExtraireAudio.OnGeneralCondition = ExtraireAudioGeneralCondition;
    poser(ExtraireAudio, ExtraireAudioFileCondition, ExtraireAudioConfirmation,
          avecServices(this, ExtraireAudioExecution));
    DecalerHoraire.OnGeneralCondition = DecalerHoraireGeneralCondition;
    poser(DecalerHoraire, DecalerHoraireFileCondition, DecalerHoraireConfirmation,
          avecServices(this, DecalerHoraireExecution));
    Stillex.OnGeneralCondition = StillexGeneralCondition;
    poser(Stillex, {}, {}, avecServices(this, StillexExecution));

    // The scene run and the scene text export share one execution; their
    // records tell it which routines to call.
    DefinirParamScenes(CreerScenes.Param, QStringLiteral("CreerScenes"), BlocScenesFichier());
    poser(CreerScenes, {}, CreerScenesConfirmation, CreerScenesExecution);
    DefinirParamScenes(ScenesText.Param, QStringLiteral("ScenesText"), BlocScenesTexte());
    ScenesText.OnConfirmation = ScenesTextConfirmation;

    poser(SupprimerScenes, SupprimerScenesFileCondition, SupprimerScenesConfirmation,
          avecServices(this, SupprimerScenesExecution));
}

std::array<tFileAction*, Tch::kNombreCommandes> Tch::composants()
{
    return {&DossierParent,   &SupprimerFichier, &oterfichier,       &RiffHeader,       &DefaultPlayer,
            &AjouterTimecode, &AjouterDateCode,  &PurgerNom,         &FileDate,         &RenameScAn,
            &DVtype1,         &DVType2,          &Ntsc,              &Pal,              &IncrusterDatecode,
            &ConvertirDV,     &CreerScenes,      &SupprimerScenes,   &ExtraireAudio,    &CorrigerFps,
            &ScenesText,      &Stillex,          &AfficherDatecode,  &AfficherSliders,  &DecalerHoraire,
            &CorrigerCodec};
}

void EnregistrerCommandes(Tch& module)
{
    registreCommandes.clear();
    for (tFileAction* commande : module.composants())
        AjouterCommande(commande);
}

} // namespace korvan
