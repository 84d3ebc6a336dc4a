#include "commands/bascules_incrustation.h"

#include "commands/chmodule.h"
#include "pipelines/presence_filtres.h"
#include "pipelines/superposer.h"
#include "platform/preferences.h"

namespace korvan {

LegendeBascule LegendeAfficherDatecode(bool incrustationAffichee)
{
    return incrustationAffichee ? LegendeBascule{QStringLiteral("Masquer le datecode"), 21}
                                : LegendeBascule{QStringLiteral("Afficher le datecode"), 18};
}

LegendeBascule LegendeAfficherSliders(bool curseursAffiches)
{
    return {curseursAffiches ? QStringLiteral("Masquer les barres de l'incrustation")
                             : QStringLiteral("Modifier la position de l'incrustation"),
            -1};
}

void AfficherDatecodeGeneralCondition(TParam&, bool& visible)
{
    visible = drapeauxFiltres().okIncrustation();
}

void AfficherDatecodeFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = true;
    enabled = fichier && fichier->estDV && (fichier->typeDV == 2 || fichier->codec == "dvsd");
}

void AfficherDatecodeExecution(IncrustationApercu& apercu, TParam&, const TAfficherFichier*, QString&,
                               TchUpdateType& update)
{
    update = utNone;
    const QString action = QStringLiteral("amAfficherDatecode");
    if (prefIncrustOn) {
        if (ISuperposerParam3* s = apercu.superposer())
            s->SetVisible(false);
        const LegendeBascule l = LegendeAfficherDatecode(false);
        apercu.legendeAction(action, l.caption, l.image);
        prefIncrustOn = false;
        apercu.RafraichirApercu();
        return;
    }
    // The overlay goes on only when both components take their settings.
    ISuperposerParam3* s = apercu.superposer();
    if (!s)
        return;
    s->SetPosition(apercu.curseurHorizontal(), 1000 - apercu.curseurVertical(), 0);
    s->SetAutoFontSize(prefAutoFontSize);
    EnvoyerPolice(*s, prefIncrustFont);
    s->SetTextTemplate(QStringLiteral("%D"));
    s->SetVisible(true);
    IDatecoderConfig* d = apercu.datecoder();
    if (!d)
        return;
    d->SetBurnIn(false);
    d->SetAutoDuration(prefDureeIncrust);
    d->SetAutoInlay(prefAutoIncrust);
    d->SetHourOffset(prefDecalageHoraire);
    d->SetFormat(prefFormatAfficher);
    const LegendeBascule l = LegendeAfficherDatecode(true);
    apercu.legendeAction(action, l.caption, l.image);
    prefIncrustOn = true;
    apercu.RafraichirApercu();
}

void AfficherSlidersExecution(IncrustationApercu& apercu, TParam&, const TAfficherFichier*, QString&,
                              TchUpdateType& update)
{
    update = utNone;
    const QString action = QStringLiteral("amAfficherSliders");
    if (prefSlidersVisible) {
        prefSlidersVisible = false;
        apercu.montrerCurseurs(false);
    } else {
        prefSlidersVisible = true;
        // Placing an overlay that is not drawn would show nothing moving.
        if (!prefIncrustOn)
            apercu.executerAction(QStringLiteral("amAfficherDatecode"));
        apercu.montrerCurseurs(true);
    }
    const LegendeBascule l = LegendeAfficherSliders(prefSlidersVisible);
    apercu.legendeAction(action, l.caption, l.image);
}

void InstallerBasculesIncrustation(Tch& module, IncrustationApercu& apercu)
{
    auto executer = [&apercu](auto execution) {
        return [&apercu, execution](TParam& p, const TAfficherFichier* f, QString& n, TchUpdateType& u) {
            execution(apercu, p, f, n, u);
        };
    };
    for (tFileAction* c : {&module.AfficherDatecode, &module.AfficherSliders}) {
        c->OnGeneralCondition = AfficherDatecodeGeneralCondition;
        c->OnFileCondition = AfficherDatecodeFileCondition;
    }
    module.AfficherDatecode.OnExecution = executer(AfficherDatecodeExecution);
    module.AfficherSliders.OnExecution = executer(AfficherSlidersExecution);
}

} // namespace korvan
