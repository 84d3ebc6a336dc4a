#include "commands/raccourcis.h"

#include "commands/FileAction.h"

#include <array>
#include <optional>

namespace korvan {

namespace {

struct Touche {
    uint8_t code;
    QString nom;
    Qt::Key cle;
    bool pave = false; // on the numeric keypad
};

// Named keys; letters, digits and function keys are computed below. The
// keypad keys take the names the system gives them.
const std::array<Touche, 31>& touchesNommees()
{
    static const std::array<Touche, 31> table{{
        {0x08, QStringLiteral("BkSp"), Qt::Key_Backspace},
        {0x09, QStringLiteral("Tab"), Qt::Key_Tab},
        {0x0D, QStringLiteral("Entrée"), Qt::Key_Return},
        {0x1B, QStringLiteral("Echap"), Qt::Key_Escape},
        {0x20, QStringLiteral("Barre d'Espace"), Qt::Key_Space},
        {0x21, QStringLiteral("PgUp"), Qt::Key_PageUp},
        {0x22, QStringLiteral("PgDn"), Qt::Key_PageDown},
        {0x23, QStringLiteral("Fin"), Qt::Key_End},
        {0x24, QStringLiteral("Home"), Qt::Key_Home},
        {0x25, QStringLiteral("Left"), Qt::Key_Left},
        {0x26, QStringLiteral("Up"), Qt::Key_Up},
        {0x27, QStringLiteral("Right"), Qt::Key_Right},
        {0x28, QStringLiteral("Down"), Qt::Key_Down},
        {0x2D, QStringLiteral("Inser"), Qt::Key_Insert},
        {0x2E, QStringLiteral("Suppr"), Qt::Key_Delete},
        {0x60, QStringLiteral("Num 0"), Qt::Key_0, true},
        {0x61, QStringLiteral("Num 1"), Qt::Key_1, true},
        {0x62, QStringLiteral("Num 2"), Qt::Key_2, true},
        {0x63, QStringLiteral("Num 3"), Qt::Key_3, true},
        {0x64, QStringLiteral("Num 4"), Qt::Key_4, true},
        {0x65, QStringLiteral("Num 5"), Qt::Key_5, true},
        {0x66, QStringLiteral("Num 6"), Qt::Key_6, true},
        {0x67, QStringLiteral("Num 7"), Qt::Key_7, true},
        {0x68, QStringLiteral("Num 8"), Qt::Key_8, true},
        {0x69, QStringLiteral("Num 9"), Qt::Key_9, true},
        {0x6A, QStringLiteral("Num *"), Qt::Key_Asterisk, true},
        {0x6B, QStringLiteral("Num +"), Qt::Key_Plus, true},
        {0x6D, QStringLiteral("Num -"), Qt::Key_Minus, true},
        {0x6E, QStringLiteral("Num Del"), Qt::Key_Period, true},
        {0x6F, QStringLiteral("Num /"), Qt::Key_Slash, true},
        {0x0C, QStringLiteral("Num 5 (Verr Num désactivé)"), Qt::Key_Clear, true},
    }};
    return table;
}

std::optional<Touche> touche(uint8_t code)
{
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
        return Touche{code, QString(QChar(code)), Qt::Key(code)};
    if (code >= 0x70 && code <= 0x7B) {
        const int n = code - 0x70;
        return Touche{code, QStringLiteral("F%1").arg(n + 1), Qt::Key(Qt::Key_F1 + n)};
    }
    for (const Touche& t : touchesNommees())
        if (t.code == code)
            return t;
    return std::nullopt;
}

// Removes prefix from texte (any letter case) when texte starts with it.
bool oterPrefixe(QString& texte, QLatin1StringView prefixe)
{
    if (!texte.startsWith(prefixe, Qt::CaseInsensitive))
        return false;
    texte.remove(0, prefixe.size());
    return true;
}

} // namespace

QString ShortCutToText(uint16_t code)
{
    const auto t = touche(uint8_t(code & 0xFF));
    if (!t)
        return {};
    QString texte;
    if (code & scShift)
        texte += QStringLiteral("Shift+");
    if (code & scCtrl)
        texte += QStringLiteral("Ctrl+");
    if (code & scAlt)
        texte += QStringLiteral("Alt+");
    return texte + t->nom;
}

uint16_t TextToShortCut(const QString& texteDonne)
{
    QString reste = texteDonne.trimmed();
    uint16_t drapeaux = 0;
    for (bool encore = true; encore;) {
        encore = false;
        if (oterPrefixe(reste, QLatin1StringView("Shift+"))) {
            drapeaux |= scShift;
            encore = true;
        } else if (oterPrefixe(reste, QLatin1StringView("Ctrl+"))) {
            drapeaux |= scCtrl;
            encore = true;
        } else if (oterPrefixe(reste, QLatin1StringView("Alt+"))) {
            drapeaux |= scAlt;
            encore = true;
        }
    }
    if (reste.isEmpty())
        return 0;
    for (int code = 1; code <= 0xFF; ++code) {
        const auto t = touche(uint8_t(code));
        if (t && t->nom.compare(reste, Qt::CaseInsensitive) == 0)
            return uint16_t(drapeaux | code);
    }
    return 0;
}

QKeyCombination CombinaisonClavier(uint16_t code)
{
    const auto t = touche(uint8_t(code & 0xFF));
    if (!t)
        return QKeyCombination(Qt::Key_unknown);
    Qt::KeyboardModifiers mod;
    if (code & scShift)
        mod |= Qt::ShiftModifier;
    if (code & scCtrl)
        mod |= Qt::ControlModifier;
    if (code & scAlt)
        mod |= Qt::AltModifier;
    if (t->pave)
        mod |= Qt::KeypadModifier;
    return QKeyCombination(mod, t->cle);
}

QList<QKeyCombination> CombinaisonsClavier(uint16_t code)
{
    const QKeyCombination c = CombinaisonClavier(code);
    QList<QKeyCombination> toutes{c};
    if (c.key() == Qt::Key_Return)
        toutes << QKeyCombination(c.keyboardModifiers() | Qt::KeypadModifier, Qt::Key_Enter);
    return toutes;
}

} // namespace korvan
