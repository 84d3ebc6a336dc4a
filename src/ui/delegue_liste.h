#pragma once
// Lines of the file list tall enough for the whole of every glyph: the
// default height follows the font's height, and on a highlighted line the
// underscores of file names, which some fonts draw below their descent,
// were cut off.
#include <QStyledItemDelegate>

namespace korvan {

class DelegueLigneListe : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace korvan
