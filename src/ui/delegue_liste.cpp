#include "ui/delegue_liste.h"

#include <QFontMetrics>

namespace korvan {

QSize DelegueLigneListe::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize taille = QStyledItemDelegate::sizeHint(option, index);
    const QFontMetrics fm(option.font);
    // Ink an underscore puts below the font's descent; the style centres the
    // text, so the line grows by it on both sides, plus a pixel of margin each.
    const int debord = std::max(0, fm.boundingRect(QLatin1Char('_')).bottom() + 1 - fm.descent());
    taille.setHeight(std::max(taille.height(), fm.height() + 2 * debord + 2));
    return taille;
}

} // namespace korvan
