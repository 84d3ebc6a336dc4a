#pragma once
// The left panel of the main window: the facts of the current entry with
// their copy menu, the preview window with its position label, track bar and
// overlay sliders, the text area shown instead of the video, the gauge of
// the running command.
#include "analysis/aviFichier.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

namespace korvan {

class FenetreVideo;
class Tviewdm;

class TBaseFrame : public QFrame {
    Q_OBJECT
public:
    explicit TBaseFrame(QWidget* parent = nullptr);

    // The preview module the panel drives; set once by the window.
    void definirApercu(Tviewdm* apercu);
    Tviewdm* apercu() const { return apercu_; }

    void TextesPanneau();
    void AfficherInfos(const TAfficherFichier& entree);
    void ViderInfos();
    void ecrireOurs();
    // The reason the video cannot be shown (0 to 5).
    void AfficherCode(int raison);
    void ModeVideo(bool actif);
    bool modeVideo() const { return modeVideo_; }

    // Every 40 ms in the video view: the codes of the frame on screen and the track bar.
    void Timer1Timer();
    // Timer1Timer, then the window's position label (tic).
    void rafraichirPosition();
    // The sound-only view: the reason stays in the text area, the track bar
    // and the position label come in front and the timer runs.
    void ModeSonSeul();

    // Positioning; errors are swallowed.
    void aeAvanceLow();
    void aeReculeLow();
    void aeAvanceMedium();
    void aeReculeMedium();
    void aeAvanceHigh();
    void aeReculeHigh();
    void aeAvanceEnd();
    void aeReculeStart();
    void aeAvanceScene();
    void aeReculeScene();

    // Texts of the copy menu items, in the menu's order.
    QString texteACopier(int item) const;
    static QStringList itemsCopie();

    QFrame* Panel1 = nullptr;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QLabel *labDatecode, *LabTimecode, *LabCodec, *LabImage, *LabDuree, *labFPS, *LabAudio1, *LabAudio2;
    QLabel* LabNom = nullptr;
    QLabel* labscn = nullptr;
    FenetreVideo* vw = nullptr;
    QWidget* zoneVideo = nullptr; // the 288-pixel column holding vw and the overlay sliders
    QWidget* zoneTemps = nullptr;  // the track bar and the position label under it
    QSlider* tb = nullptr;
    QLabel* labTimeStamp = nullptr;
    QSlider* incrustHorz = nullptr;
    QSlider* incrustVert = nullptr;
    QTextBrowser* reBaseFrame = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QTimer* timer1 = nullptr;

    // Panel state: the shown duration and position, in the preview's time format.
    int64_t dureeAffichee = 0;
    int64_t positionAffichee = 0;

signals:
    void nomClique();
    void copier(const QString& texte);
    // After each tick: the window writes the position label.
    void tic();

private:
    void menuCopie(const QPoint& ou);
    void positionner(const std::function<bool(Tviewdm&)>& etape);
    void deplacer(int64_t delta);
    void allerScene(bool avant);
    void ajusterNom(const QString& nom);
    void placerVideo(int32_t largeur, int32_t hauteur);
    void tbRelache();

    Tviewdm* apercu_ = nullptr;
    QString cheminCourant_;
    QString nomCourant_;
    QString codecCourant_;
    bool entreeCourante_ = false;
    double fpsEntree_ = 0;
    bool modeVideo_ = false;
};

} // namespace korvan
