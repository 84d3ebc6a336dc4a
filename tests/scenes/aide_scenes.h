#pragma once
// Shared pieces of the scene tests: scene files built from their layout,
// routines that record what a run hands over, and a preview that records
// where it was moved.
#include "analysis/bytes.h"
#include "scenes/ScenesParam.h"
#include "scenes/apercu_detection.h"

#include <string>
#include <vector>

namespace korvan::test {

struct EnregistrementScn {
    int32_t S = 0;
    int32_t N = 0;
};

inline std::string i32le(int32_t v)
{
    std::string s(4, '\0');
    ecrireU32(reinterpret_cast<uint8_t*>(s.data()), uint32_t(v));
    return s;
}

inline std::string octets(std::initializer_list<int> l)
{
    std::string s;
    for (int b : l)
        s += char(uint8_t(b));
    return s;
}

// A scene file as its layout describes it, for a stored path.
inline std::string scnAttendu(const std::string& chemin, uint16_t compte, int32_t e,
                              const std::vector<EnregistrementScn>& suite)
{
    const std::string lp(1, char(uint8_t(chemin.size())));
    std::string s = octets({0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x0A, 0x00})
        + "SourceTape" + lp + chemin + std::string(8, '\0');
    s += octets({compte & 0xFF, compte >> 8}) + octets({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00}) + "ClipP"
        + std::string(3, '\0') + octets({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "Scene" + std::string(5, '\0');
    if (compte == 0)
        return s;
    s += i32le(e) + octets({0, 0, 0, 0, 0x01, 0x80}) + lp + chemin + std::string(8, '\0') + i32le(e);
    for (const auto& r : suite)
        s += octets({0x03, 0x80, 0xF0, 0x00, 0x00, 0x00, 0x05, 0x80, 0x00}) + i32le(r.S) + i32le(r.N)
            + octets({0, 0, 0, 0, 0x07, 0x00}) + i32le(r.S) + i32le(r.N) + i32le(r.S);
    return s;
}

// Routines that keep every call, optionally passing them on to others.
struct Enregistreur {
    int debuts = 0;
    int fins = 0;
    bool accepter = true;
    std::vector<TSceneInfo> scenes;
    std::function<void(const TSceneInfo&)> pendantScene;

    TRoutinesScenes routines(const TRoutinesScenes& suivantes = {})
    {
        return {
            [this, suivantes](const TAfficherFichier& e, bool& ok) {
                ++debuts;
                ok = accepter;
                if (ok && suivantes.RoutineDebut)
                    suivantes.RoutineDebut(e, ok);
            },
            [this, suivantes](const TSceneInfo& s) {
                scenes.push_back(s);
                if (pendantScene)
                    pendantScene(s);
                if (suivantes.RoutineScene)
                    suivantes.RoutineScene(s);
            },
            [this, suivantes] {
                ++fins;
                if (suivantes.RoutineFin)
                    suivantes.RoutineFin();
            },
        };
    }
};

// The preview as the detection moves it.
class ApercuEnregistre : public IApercuDetection {
public:
    ApercuEnregistre() { definirApercuDetection(this); }
    ~ApercuEnregistre() override { definirApercuDetection(nullptr); }
    void positionnerImage(int32_t image) override { positions.push_back(image); }
    void finDetection() override { ++fins; }

    std::vector<int32_t> positions;
    int fins = 0;
};

} // namespace korvan::test
