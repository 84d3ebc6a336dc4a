#pragma once
// How a scene run moves the preview: at each break the preview shows the
// first frame of the new recording, and at the end of a complete run the last
// position, then pauses. The preview panel implements this interface and
// registers itself; without one nothing moves.
#include <cstdint>

namespace korvan {

class IApercuDetection {
public:
    virtual ~IApercuDetection() = default;
    // Show this frame (frames of the clip's first stream). Called on the
    // thread that runs the detection, in the order of the breaks.
    virtual void positionnerImage(int32_t image) {}
    // The run went through the whole clip: refresh the position display once, then pause.
    virtual void finDetection() {}
};

// The preview that follows scene runs; nullptr for none.
void definirApercuDetection(IApercuDetection* apercu);
// The registered preview, or one that does nothing.
IApercuDetection& apercuDetection();

} // namespace korvan
