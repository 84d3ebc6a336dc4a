#pragma once
// The file command: its texts, its parameter record and the four handlers the
// runner calls for each entry, plus the update the list makes afterwards.
#include "analysis/aviFichier.h"
#include "analysis/texte_court.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace korvan {

// The parameter record handed to every handler. Plug-ins share its layout:
// a short string (length byte, then up to 255 bytes of UTF-8), a 32-bit size
// and a pointer to the command's own block. With 32-bit pointers this is the
// historical 264-byte record; with 64-bit pointers the pointer's alignment
// puts it at offset 264 and the record takes 272 bytes, which is what any C
// compiler of the platform lays out for the same declaration.
struct TParam {
    uint8_t Nom[256] = {};
    int32_t Taille = 0;
    void* Donnees = nullptr;

    QString nom() const;
    // Cut at 255 bytes, on a character boundary.
    void definirNom(const QString& nom);
};
static_assert(offsetof(TParam, Nom) == 0);
static_assert(offsetof(TParam, Taille) == 256);
static_assert(offsetof(TParam, Donnees) == (sizeof(void*) == 4 ? 260 : 264));
static_assert(sizeof(void*) != 4 || sizeof(TParam) == 264);

// What the list does after an execution (values as stored by plug-ins).
enum TchUpdateType : int32_t {
    utNone = 0,   // nothing
    utAdd = 1,    // RemplacerParNouveau(newfichier)
    utDelete = 2, // RetirerEntree at the entry's line
    utModify = 3, // RelireEntree at the entry's line
    utRename = 4, // RenommerEntree at the entry's line with newfichier
};

// The handlers. fichier is the entry concerned; it is null only when a
// command of the "vide" or "permanent" categories runs on an empty list.
using TGeneralConditionEvent = std::function<void(TParam& param, bool& visible)>;
using TFileConditionEvent =
    std::function<void(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled)>;
// An empty confirmMsg treats the file without asking.
using TConfirmationEvent = std::function<void(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg)>;
// newfichier starts empty and update at utNone.
using TExecutionEvent = std::function<void(TParam& param, const TAfficherFichier* fichier, QString& newfichier,
                                           TchUpdateType& update)>;

// Shortcut code flags over the key code in the low byte.
inline constexpr uint16_t scShift = 0x2000;
inline constexpr uint16_t scCtrl = 0x4000;
inline constexpr uint16_t scAlt = 0x8000;

class tFileAction {
public:
    tFileAction() = default;
    explicit tFileAction(const QString& name) : Name(name) {}

    // The command's identity, unique in the registry (compared lower-cased there).
    QString Name;
    // For a command without a predefined window action: the main-menu column of its entry.
    int Tag = 0;
    TParam Param;

    TConfirmationEvent OnConfirmation;
    TExecutionEvent OnExecution;
    TFileConditionEvent OnFileCondition;
    TGeneralConditionEvent OnGeneralCondition;

    // Name of the command that lends this one the handlers it lacks.
    const QString& Modele() const { return modele_; }
    void setModele(const QString& v) { modele_ = ChaineCourte(v); }
    // Status text while one file is treated, with one %s for the file name;
    // empty: no status text and no progress gauge.
    const QString& MonoMessage() const { return monoMessage_; }
    void setMonoMessage(const QString& v) { monoMessage_ = ChaineCourte(v); }
    // Menu entry text, when the program must make one.
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& v) { caption_ = ChaineCourte(v); }
    // The shortcut as text ("Ctrl+D", "F5", "" for none); an unknown text gives none.
    QString Shortcut() const;
    void setShortcut(const QString& texte);
    uint16_t codeRaccourci() const { return raccourci_; }
    void setCodeRaccourci(uint16_t code) { raccourci_ = code; }
    // Command-line switch, always lower case.
    QString Switch() const { return switch_.toLower(); }
    void setSwitch(const QString& v) { switch_ = ChaineCourte(v).toLower(); }

private:
    QString modele_;
    QString monoMessage_;
    QString caption_;
    uint16_t raccourci_ = 0;
    QString switch_;
};

} // namespace korvan
