#pragma once
// The two toggles of the preview's datecode overlay: AfficherDatecode shows
// or hides the datecode drawn over the picture, AfficherSliders shows or
// hides the two sliders that place it. Their state is kept in the settings
// prefIncrustOn and prefSlidersVisible.
#include "commands/FileAction.h"
#include "pipelines/interfaces_incrustation.h"

#include <QString>

namespace korvan {

class Tch;

// The preview's overlay and the window's parts the toggles drive.
class IncrustationApercu {
public:
    virtual ~IncrustationApercu() = default;
    // The preview's overlay components; null while the preview holds none.
    virtual ISuperposerParam3* superposer() = 0;
    virtual IDatecoderConfig* datecoder() = 0;
    // When not playing, the still picture drawn again with the overlay's new state.
    virtual void RafraichirApercu() = 0;
    // The overlay position sliders, 0 to 1000 (the vertical one counts upward).
    virtual int curseurHorizontal() const = 0;
    virtual int curseurVertical() const = 0;
    virtual void montrerCurseurs(bool visibles) = 0;
    // A window action's caption, and its image unless -1.
    virtual void legendeAction(const QString& action, const QString& caption, int image) = 0;
    // Triggers a window action as the user would (nothing when it is disabled).
    virtual void executerAction(const QString& action) = 0;
};

struct LegendeBascule {
    QString caption;
    int image = -1;
};
// What amAfficherDatecode and amAfficherSliders show for each state; the
// window gives them the same at start from the settings.
LegendeBascule LegendeAfficherDatecode(bool incrustationAffichee);
LegendeBascule LegendeAfficherSliders(bool curseursAffiches);

// Offered when the overlay components are installed.
void AfficherDatecodeGeneralCondition(TParam& param, bool& visible);
// DV clips whose frames the datecoder reads: type 2, or any DV clip coded "dvsd".
void AfficherDatecodeFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void AfficherDatecodeExecution(IncrustationApercu& apercu, TParam& param, const TAfficherFichier* fichier,
                               QString& newfichier, TchUpdateType& update);
void AfficherSlidersExecution(IncrustationApercu& apercu, TParam& param, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update);

void InstallerBasculesIncrustation(Tch& module, IncrustationApercu& apercu);

} // namespace korvan
