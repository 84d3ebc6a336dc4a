#include "commands/chmodule.h"

#include "commands/commande_date_fichier.h"
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
    DossierParent.OnExecution = avecServices(this, DossierParentExecution);

    SupprimerFichier.OnFileCondition = SupprimerFichierFileCondition;
    SupprimerFichier.OnConfirmation = SupprimerFichierConfirmation;
    SupprimerFichier.OnExecution = avecServices(this, SupprimerFichierExecution);

    oterfichier.OnExecution = oterfichierExecution;

    DefaultPlayer.OnExecution = avecServices(this, DefaultPlayerExecution);

    AjouterTimecode.OnFileCondition = AjouterTimecodeFileCondition;
    AjouterTimecode.OnConfirmation = AjouterTimecodeConfirmation;
    AjouterTimecode.OnExecution = avecServices(this, AjouterTimecodeExecution);

    AjouterDateCode.OnFileCondition = AjouterDateCodeFileCondition;
    AjouterDateCode.OnConfirmation = AjouterDateCodeConfirmation;
    AjouterDateCode.OnExecution = avecServices(this, AjouterDateCodeExecution);

    PurgerNom.OnFileCondition = PurgerNomFileCondition;
    PurgerNom.OnConfirmation = PurgerNomConfirmation;
    PurgerNom.OnExecution = avecServices(this, PurgerNomExecution);

    FileDate.OnFileCondition = AjouterDateCodeFileCondition;
    FileDate.OnConfirmation = FileDateConfirmation;
    FileDate.OnExecution = avecServices(this, FileDateExecution);

    RenameScAn.OnFileCondition = AjouterDateCodeFileCondition;
    RenameScAn.OnConfirmation = RenameScAnConfirmation;
    RenameScAn.OnExecution = avecServices(this, RenameScAnExecution);

    Stillex.OnGeneralCondition = StillexGeneralCondition;
    Stillex.OnExecution = avecServices(this, StillexExecution);

    // The scene run and the scene text export share one execution; their
    // records tell it which routines to call.
    DefinirParamScenes(CreerScenes.Param, QStringLiteral("CreerScenes"), BlocScenesFichier());
    CreerScenes.OnConfirmation = CreerScenesConfirmation;
    CreerScenes.OnExecution = CreerScenesExecution;
    DefinirParamScenes(ScenesText.Param, QStringLiteral("ScenesText"), BlocScenesTexte());
    ScenesText.OnConfirmation = ScenesTextConfirmation;

    SupprimerScenes.OnFileCondition = SupprimerScenesFileCondition;
    SupprimerScenes.OnConfirmation = SupprimerScenesConfirmation;
    SupprimerScenes.OnExecution = avecServices(this, SupprimerScenesExecution);
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
