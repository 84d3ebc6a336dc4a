#pragma once
// Shortcut codes (key code in the low byte, Shift 0x2000, Ctrl 0x4000,
// Alt 0x8000) and their texts with the French key names the menus show.
#include <QKeyCombination>
#include <QList>
#include <QString>
#include <cstdint>

namespace korvan {

// Key codes the program names (the Windows virtual-key numbering, which the
// stored shortcuts and plug-ins use).
inline constexpr uint8_t vkPaveNumerique0 = 0x60; // numeric keypad 0; 1 is 0x61 (97), 2 is 0x62 (98)

// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name; "" for the
// code 0 and for keys without a name.
QString ShortCutToText(uint16_t code);
// The inverse: modifier prefixes in any order and letter case, then a key
// name in any letter case. 0 when the text names no key.
uint16_t TextToShortCut(const QString& texte);

// The same shortcut for the window's actions; Qt::Key_unknown when the code
// names no key.
QKeyCombination CombinaisonClavier(uint16_t code);
// Every key combination that triggers the shortcut: the one above, and for
// Enter also the keypad's Enter, which Linux keyboards report as another key.
QList<QKeyCombination> CombinaisonsClavier(uint16_t code);

} // namespace korvan
