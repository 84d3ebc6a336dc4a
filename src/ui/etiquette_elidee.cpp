#include "ui/etiquette_elidee.h"

#include <QPainter>
#include <QStyle>

namespace korvan {

EtiquetteElidee::EtiquetteElidee(QWidget* parent) : EtiquetteElidee(QString(), parent) {}

EtiquetteElidee::EtiquetteElidee(const QString& texte, QWidget* parent) : QLabel(texte, parent)
{
    // The width is whatever the layout gives; the text adapts to it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize EtiquetteElidee::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")), QLabel::minimumSizeHint().height()};
}

QSize EtiquetteElidee::sizeHint() const
{
    return {minimumSizeHint().width(), QLabel::sizeHint().height()};
}

QString EtiquetteElidee::texteAffiche() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

void EtiquetteElidee::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), int(alignment()), palette(), isEnabled(), texteAffiche(), foregroundRole());
}

} // namespace korvan
