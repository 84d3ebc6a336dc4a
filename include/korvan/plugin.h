/* Korvan plug-in interface.
 *
 * A plug-in is a shared library whose file name ends in ".qzp", put in the
 * folder "plugins" beside the korvan program or in the user's data folder
 * ($XDG_DATA_HOME/korvan/plugins, usually ~/.local/share/korvan/plugins).
 * Korvan loads every such library at start-up, checks its type tag, and adds
 * the file commands it supplies after its own: each gets a menu entry, may
 * have a shortcut and a command-line letter, and runs through the same runner
 * as the built-in commands. See docs/plugins.md.
 *
 * Plain C, no dependency on Korvan's libraries: a plug-in reads the entries
 * it is given through the inline accessors below.
 */
#ifndef KORVAN_PLUGIN_H
#define KORVAN_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What GETPLUGIN_TYPE must write (compared in any letter case). */
#define KORVAN_PLUGIN_TYPE "korvan_0005"

/* The parameter record every handler receives: a short string (length
 * byte, then up to 255 bytes of UTF-8), a size and a pointer to the
 * command's own block. Each call gets a fresh copy of the command's record:
 * what must last from one file to the next belongs in the block Donnees
 * points to. */
typedef struct KorvanParam {
    uint8_t Nom[256];
    int32_t Taille;
    void* Donnees;
} KorvanParam;

/* What the list does after an execution. */
enum KorvanMiseAJour {
    KORVAN_MAJ_AUCUNE = 0,   /* nothing */
    KORVAN_MAJ_AJOUT = 1,    /* add the file named in newfichier */
    KORVAN_MAJ_RETRAIT = 2,  /* take the entry off the list */
    KORVAN_MAJ_RELECTURE = 3, /* read the entry's file again */
    KORVAN_MAJ_RENOMMAGE = 4  /* the entry's file is now newfichier */
};

/* Menus of the main window a command's entry may go to (KorvanFileAction.Tag). */
enum KorvanMenu {
    KORVAN_MENU_FICHIERS = 0,
    KORVAN_MENU_VIDEO = 1,
    KORVAN_MENU_RENOMMER = 2,
    KORVAN_MENU_CONVERTIR = 3,
    KORVAN_MENU_SCENES = 4
};

/* A file entry of Korvan's list, as the handlers see it (opaque). */
typedef struct KorvanEntree KorvanEntree;

/* Fields a plug-in may read. */
enum KorvanChampTexte {
    KORVAN_CHEMIN = 0,        /* full path as on disk */
    KORVAN_NOM = 1,           /* file name */
    KORVAN_TEXTE_DATECODE = 2, /* recording date and time, as Korvan shows it */
    KORVAN_TEXTE_TIMECODE = 3, /* tape time code "hh.mm.ss.ff", "N/A" without one */
    KORVAN_CODEC = 4,         /* video FourCC ("dvsd"...) */
    KORVAN_TEXTE_TAILLE = 5,  /* "720 x 576 (Pal 4x3)" */
    KORVAN_TEXTE_DUREE = 6,
    KORVAN_TEXTE_AUDIO = 7,
    KORVAN_CLE_DATECODE = 8   /* "yyyymmddhhnnss", empty without a date */
};
enum KorvanChampNombre {
    KORVAN_EST_DV = 0,        /* 1 for DV */
    KORVAN_TYPE_DV = 1,       /* 1 or 2 */
    KORVAN_LARGEUR = 2,
    KORVAN_HAUTEUR = 3,
    KORVAN_FORMAT_16X9 = 4,   /* 1 for 16:9 */
    KORVAN_STANDARD = 5,      /* 0 unknown, 1 PAL, 2 NTSC */
    KORVAN_DUREE_VIDEO = 6,   /* 100 ns units */
    KORVAN_TAILLE = 7,        /* file size in bytes */
    KORVAN_A_SCENES = 8       /* 1 when a scene file lies beside the clip */
};

/* Korvan's side of an entry: the functions the accessors call. */
typedef struct KorvanFonctionsEntree {
    /* Copies the field's UTF-8 text and a zero byte into buffer (at most
     * size bytes, cut on a character boundary); returns the text's full
     * length in bytes, -1 for an unknown field. */
    int32_t (*texte)(const KorvanEntree* entree, int32_t champ, char* buffer, int32_t size);
    int64_t (*nombre)(const KorvanEntree* entree, int32_t champ);
    double (*fps)(const KorvanEntree* entree);
} KorvanFonctionsEntree;

struct KorvanEntree {
    const KorvanFonctionsEntree* fonctions;
    /* Korvan's own data follows; a plug-in never reads it. */
};

static inline int32_t korvan_entree_texte(const KorvanEntree* e, int32_t champ, char* buffer, int32_t size)
{
    return e ? e->fonctions->texte(e, champ, buffer, size) : -1;
}
static inline int64_t korvan_entree_nombre(const KorvanEntree* e, int32_t champ)
{
    return e ? e->fonctions->nombre(e, champ) : 0;
}
static inline double korvan_entree_fps(const KorvanEntree* e)
{
    return e ? e->fonctions->fps(e) : 0.0;
}

/* A file command. Texts are UTF-8, read once when the plug-in is loaded
 * (at most 255 bytes each); the handlers and the record are used for the
 * rest of the run. Any handler may be null. Texts a handler returns go into
 * the buffer it is given (size bytes, zero-terminated). */
typedef struct KorvanFileAction {
    uint32_t taille; /* sizeof(KorvanFileAction), for later versions of this header */
    const char* Name;        /* identity, unique among commands (compared in any letter case) */
    const char* Caption;     /* menu entry text */
    const char* Shortcut;    /* "Ctrl+K", "F5", "" or null for none */
    const char* Switch;      /* command-line letter, "" or null for none */
    const char* Modele;      /* name of a command lending the handlers this one lacks */
    const char* MonoMessage; /* status text while one file is treated, one %s for its name */
    int32_t Tag;             /* KorvanMenu of the entry */
    KorvanParam Param;
    /* Whether the command is offered at all (visible starts at 1). */
    void (*OnGeneralCondition)(KorvanParam* param, int32_t* visible);
    /* Whether it is offered for this entry (both start at 1). */
    void (*OnFileCondition)(KorvanParam* param, const KorvanEntree* fichier, int32_t* visible, int32_t* enabled);
    /* A question to ask before treating the entry; leave it empty to ask none. */
    void (*OnConfirmation)(KorvanParam* param, const KorvanEntree* fichier, char* confirmMsg, int32_t size);
    /* Treats the entry; newfichier and update as KorvanMiseAJour says. */
    void (*OnExecution)(KorvanParam* param, const KorvanEntree* fichier, char* newfichier, int32_t size, int32_t* update);
} KorvanFileAction;

/* The five exports, looked up by name. Texts end with a zero byte. */
#if defined(_WIN32)
#define KORVAN_EXPORT __declspec(dllexport)
#else
#define KORVAN_EXPORT __attribute__((visibility("default")))
#endif
KORVAN_EXPORT void GETPLUGIN_TYPE(char* buffer, int32_t size);
KORVAN_EXPORT void GETPLUGIN_VERSION(char* buffer, int32_t size);
KORVAN_EXPORT void GETPLUGIN_DESCRIPTION(char* buffer, int32_t size);
KORVAN_EXPORT void GETPLUGIN_NBFILEACTION(int32_t* n);
KORVAN_EXPORT void GETPLUGIN_FILEACTIONFUNCTION(int32_t index, KorvanFileAction** action);

#ifdef __cplusplus
}
#endif

#endif /* KORVAN_PLUGIN_H */
