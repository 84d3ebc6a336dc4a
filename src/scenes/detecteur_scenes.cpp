#include "scenes/detecteur_scenes.h"

#include "analysis/format_texte.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace korvan {

DetecteurScenes::DetecteurScenes(ReglagesFormat reglages) : reglages_(std::move(reglages)) {}

void DetecteurScenes::commencer(TDateTime datecodeEntree, const QString& timecodeEntree)
{
    datecodeDebut_ = datecodeEntree;
    timecodeDebut_ = timecodeEntree;
    debutScene_ = 0;
}

DetecteurScenes::Resultat DetecteurScenes::traiterImage(int32_t image, const TTimecodeDV& tc, const TDatecodeDV& dc)
{
    Resultat r;
    const DateImage date = DateDeDatecode(dc);
    if (!date.valide)
        return r;
    // A dated frame next to an undated one (0) is a break too: the camcorder
    // lost or regained its clock.
    if (EstRuptureDatecode(secondesPrecedentes_, date.secondes)) {
        r.rupture = true;
        // The break belongs to the new recording: the scene under way ends at
        // the frame before it. A break at the first frame never closes anything.
        if (int64_t(image) - debutScene_ >= kImagesMinScene) {
            r.fermee = SceneBrute{debutScene_, image - 1, datecodeDebut_, timecodeDebut_};
            datecodeDebut_ = date.valeur;
            // Hours as a signed byte: a frame without time code gives "-01...", read as none.
            timecodeDebut_ = Format(reglages_, "%.2d.%.2d.%.2d.%.2d", int8_t(tc.heures), tc.minutes, tc.secondes,
                                    tc.images);
            debutScene_ = image;
        }
    }
    secondesPrecedentes_ = date.secondes;
    return r;
}

SceneBrute DetecteurScenes::derniereScene(int32_t derniereImage) const
{
    return SceneBrute{debutScene_, derniereImage, datecodeDebut_, timecodeDebut_};
}

} // namespace korvan
