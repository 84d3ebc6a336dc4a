/* Example Korvan plug-in: writes the clip's recording date and time and its
 * tape time code into a text file beside it (clip.avi -> clip_codes.txt),
 * one "name: value" line each. Offered for DV clips only; letter k on the
 * command line (korvan +hk clip.avi). */
#include "korvan/plugin.h"

#include <stdio.h>
#include <string.h>

static void texte(char* buffer, int32_t size, const char* t)
{
    if (size <= 0)
        return;
    strncpy(buffer, t, (size_t)size - 1);
    buffer[size - 1] = '\0';
}

/* Offered for DV clips: other files carry no datecode. */
static void condition(KorvanParam* param, const KorvanEntree* fichier, int32_t* visible, int32_t* enabled)
{
    (void)param;
    (void)visible;
    *enabled = korvan_entree_nombre(fichier, KORVAN_EST_DV) != 0;
}

static void execution(KorvanParam* param, const KorvanEntree* fichier, char* newfichier, int32_t size, int32_t* update)
{
    (void)param;
    (void)newfichier;
    (void)size;
    char chemin[4096] = "", datecode[256] = "", timecode[256] = "";
    if (korvan_entree_texte(fichier, KORVAN_CHEMIN, chemin, sizeof chemin) >= (int32_t)sizeof chemin - 16)
        return;
    korvan_entree_texte(fichier, KORVAN_TEXTE_DATECODE, datecode, sizeof datecode);
    korvan_entree_texte(fichier, KORVAN_TEXTE_TIMECODE, timecode, sizeof timecode);
    char* point = strrchr(chemin, '.');
    char* barre = strrchr(chemin, '/');
    if (point && (!barre || point > barre))
        *point = '\0';
    strcat(chemin, "_codes.txt");
    FILE* f = fopen(chemin, "w");
    if (!f)
        return;
    fprintf(f, "datecode: %s\ntimecode: %s\n", datecode, timecode);
    fclose(f);
    *update = KORVAN_MAJ_AUCUNE;
}

static KorvanFileAction commande = {
    sizeof(KorvanFileAction),
    "CodesTexte",
    "Écrire le datecode et le timecode dans un fichier texte",
    "",
    "k",
    "",
    "Écriture des codes de \"%s\"",
    KORVAN_MENU_SCENES,
    {{0}, 0, NULL},
    NULL,
    condition,
    NULL,
    execution,
};

void GETPLUGIN_TYPE(char* buffer, int32_t size) { texte(buffer, size, KORVAN_PLUGIN_TYPE); }
void GETPLUGIN_VERSION(char* buffer, int32_t size) { texte(buffer, size, "Codes en texte 1.0"); }
void GETPLUGIN_DESCRIPTION(char* buffer, int32_t size)
{
    texte(buffer, size, "Écrit le datecode et le timecode de chaque clip dans un fichier texte à côté de lui.");
}
void GETPLUGIN_NBFILEACTION(int32_t* n) { *n = 1; }
void GETPLUGIN_FILEACTIONFUNCTION(int32_t index, KorvanFileAction** action)
{
    *action = index == 0 ? &commande : NULL;
}
