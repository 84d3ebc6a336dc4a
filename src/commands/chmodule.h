#pragma once
// The module of the built-in commands, in their fixed order. Commands whose
// work other parts of the program provide (conversions, scenes, header
// fixes, the RIFF report, the overlay toggles) are here with their texts and
// receive their handlers from those parts.
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

#include <array>

namespace korvan {

class Tch {
public:
    explicit Tch(ServicesCommandes services = {});
    Tch(const Tch&) = delete;
    Tch& operator=(const Tch&) = delete;

    // What the handlers use; may be set again before the first run.
    ServicesCommandes services;

    tFileAction DossierParent;
    tFileAction SupprimerFichier;
    tFileAction oterfichier;
    tFileAction RiffHeader;
    tFileAction DefaultPlayer;
    tFileAction AjouterTimecode;
    tFileAction AjouterDateCode;
    tFileAction PurgerNom;
    tFileAction FileDate;
    tFileAction RenameScAn;
    tFileAction DVtype1;
    tFileAction DVType2;
    tFileAction Ntsc;
    tFileAction Pal;
    tFileAction IncrusterDatecode;
    tFileAction ConvertirDV;
    tFileAction CreerScenes;
    tFileAction SupprimerScenes;
    tFileAction ExtraireAudio;
    tFileAction CorrigerFps;
    tFileAction ScenesText;
    tFileAction Stillex;
    tFileAction AfficherDatecode;
    tFileAction AfficherSliders;
    tFileAction DecalerHoraire;
    tFileAction CorrigerCodec;

    static constexpr int kNombreCommandes = 26;
    // The commands in module order.
    std::array<tFileAction*, kNombreCommandes> composants();

    // Captions, shortcuts, switches, status texts and ScenesText's model.
    void TextesCommandes();
};

// Empties registreCommandes and appends the module's commands in order.
void EnregistrerCommandes(Tch& module);

} // namespace korvan
