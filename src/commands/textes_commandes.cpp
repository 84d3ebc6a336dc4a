// The texts of the built-in commands, as the menus, shortcuts, command line
// and status bar show them.
#include "commands/chmodule.h"

namespace korvan {

namespace {

struct Textes {
    tFileAction Tch::*commande;
    const char* caption;
    const char* shortcut;
    const char* sw;
    const char* monoMessage;
};

const Textes kTextes[] = {
    {&Tch::DossierParent, "Dossier parent", "", "", ""},
    {&Tch::SupprimerFichier, "Supprimer le fichier", "", "e", "En train de supprimer..."},
    {&Tch::oterfichier, "Oter le fichier", "", "", ""},
    {&Tch::RiffHeader, "Voir l'en-tête RIFF", "Ctrl+H", "", ""},
    {&Tch::DefaultPlayer, "Lire dans le player par défaut", "F5", "", ""},
    {&Tch::AjouterTimecode, "Ajouter le timecode", "Ctrl+T", "t", ""},
    {&Tch::AjouterDateCode, "Ajouter le datecode", "Ctrl+D", "d", ""},
    {&Tch::PurgerNom, "Raccourcir le nom du fichier", "Ctrl+Q", "q", ""},
    {&Tch::FileDate, "Changer la date du fichier", "Ctrl+B", "b", ""},
    {&Tch::RenameScAn, "Renommer ", "Ctrl+R", "r", ""},
    {&Tch::DVtype1, "Convertir en DV type 1", "Ctrl+1", "1", "En train de convertir \"%s\" en type 1"},
    {&Tch::DVType2, "Convertir en DV type 2", "Ctrl+2", "2", "En train de convertir \"%s\" en type 2"},
    {&Tch::Ntsc, "Convertir en NTSC", "", "n", "En train de convertir \"%s\" en NTSC"},
    {&Tch::Pal, "Convertir en Pal", "", "p", "En train de convertir \"%s\" en Pal"},
    {&Tch::IncrusterDatecode, "Incruster le datecode", "Ctrl+I", "i", "En train d'incruster le datecode dans \"%s\""},
    {&Tch::ConvertirDV, "Recompresser en DV type 2", "Ctrl+G", "g", "En train de convertir \"%s\" en DV type 2"},
    {&Tch::CreerScenes, "Créer un fichier scn", "", "s", "En train de créer un fichier scn pour \"%s\""},
    {&Tch::SupprimerScenes, "Supprimer le fichier scn", "Ctrl+Z", "z", ""},
    {&Tch::ExtraireAudio, "Extraire l'audio", "Ctrl+W", "w", "En train d'extraire l'audio de \"%s\""},
    {&Tch::CorrigerFps, "Corriger la fréquence vidéo", "Ctrl+Y", "", ""},
    {&Tch::ScenesText, "Exporter la liste des scènes", "Ctrl+X", "x",
     "En train d'exporter la liste des scènes de \"%s\" en texte"},
    {&Tch::Stillex, "", "F3", "", ""},
    {&Tch::AfficherDatecode, "Afficher le datecode", "F12", "", ""},
    {&Tch::AfficherSliders, "Modifier la position de l'incrustation", "", "", ""},
    {&Tch::DecalerHoraire, "Corriger le décalage horaire", "", "",
     "En train de corriger le décalage horaire de \"%s\""},
    {&Tch::CorrigerCodec, "Modifier le codec", "", "", ""},
};
static_assert(std::size(kTextes) == Tch::kNombreCommandes);

} // namespace

void Tch::TextesCommandes()
{
    for (const Textes& t : kTextes) {
        tFileAction& c = this->*t.commande;
        c.setCaption(QString::fromUtf8(t.caption));
        c.setShortcut(QString::fromUtf8(t.shortcut));
        c.setSwitch(QString::fromUtf8(t.sw));
        c.setMonoMessage(QString::fromUtf8(t.monoMessage));
    }
    ScenesText.setModele(QStringLiteral("CreerScenes"));
}

} // namespace korvan
