/* A plug-in for the tests, built in several variants (see CMakeLists.txt):
 * its tag, its command count, its command's name, menu and letter come from
 * the compiler's definitions. Its command writes "<clip>.essai" holding the
 * entry's name and frame rate, so a run can be seen from outside. */
#include "korvan/plugin.h"

#include <stdio.h>
#include <string.h>

static void texte(char* buffer, int32_t size, const char* t)
{
    strncpy(buffer, t, (size_t)size - 1);
    buffer[size - 1] = '\0';
}

#ifndef ESSAI_INCOMPLET
static void execution(KorvanParam* param, const KorvanEntree* fichier, char* newfichier, int32_t size, int32_t* update)
{
    char chemin[4096] = "", nom[1024] = "";
    (void)newfichier;
    (void)size;
    korvan_entree_texte(fichier, KORVAN_CHEMIN, chemin, sizeof chemin - 8);
    korvan_entree_texte(fichier, KORVAN_NOM, nom, sizeof nom);
    strcat(chemin, ".essai");
    FILE* f = fopen(chemin, "w");
    if (!f)
        return;
    /* A fresh copy of the command's record on every call. */
    fprintf(f, "%s %.3f %s %d\n", nom, korvan_entree_fps(fichier), (const char*)param->Nom + 1, param->Taille++);
    fclose(f);
    *update = KORVAN_MAJ_AUCUNE;
}

static KorvanFileAction commande = {
    sizeof(KorvanFileAction), ESSAI_NOM, "Commande d'essai", "", ESSAI_SWITCH, "", "", ESSAI_TAG,
    {{5, 'e', 's', 's', 'a', 'i'}, 40, NULL},
    NULL, NULL, NULL, execution,
};
#endif

KORVAN_EXPORT void GETPLUGIN_TYPE(char* buffer, int32_t size) { texte(buffer, size, ESSAI_TYPE); }
#ifndef ESSAI_INCOMPLET
void GETPLUGIN_VERSION(char* buffer, int32_t size) { texte(buffer, size, "Essai 1.0"); }
void GETPLUGIN_DESCRIPTION(char* buffer, int32_t size) { texte(buffer, size, "Plug-in d'essai"); }
void GETPLUGIN_NBFILEACTION(int32_t* n) { *n = ESSAI_N; }
void GETPLUGIN_FILEACTIONFUNCTION(int32_t index, KorvanFileAction** action) { *action = index == 0 ? &commande : NULL; }
#endif
