#include "ui/fenetre_video.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace korvan {

FenetreVideo::FenetreVideo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vw"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setFocusPolicy(Qt::ClickFocus);
}

void FenetreVideo::afficherImage(const QImage& image)
{
    image_ = image;
    ++imagesAffichees_;
    update();
}

void FenetreVideo::effacerImage()
{
    image_ = QImage();
    update();
}

void FenetreVideo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    // The whole area, proportions as the panel set them (DV pixels are not square).
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), image_);
}

void FenetreVideo::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit clicGauche(e->position().toPoint(), size());
    QWidget::mousePressEvent(e);
}

void FenetreVideo::keyPressEvent(QKeyEvent* e)
{
    if (pleinEcran_ && e->key() == Qt::Key_Escape) {
        basculerPleinEcran();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FenetreVideo::basculerPleinEcran()
{
    if (!pleinEcran_) {
        parentAvant_ = parentWidget();
        placeAvant_ = geometry();
        setParent(nullptr);
        setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
        showFullScreen();
        setFocus();
    } else {
        setParent(parentAvant_);
        setWindowFlags(Qt::Widget);
        setGeometry(placeAvant_);
        show();
    }
    pleinEcran_ = !pleinEcran_;
    emit pleinEcranChange(pleinEcran_);
}

} // namespace korvan
