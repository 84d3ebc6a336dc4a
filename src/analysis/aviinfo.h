#pragma once
// Container verdict and video handler code of an AVI file, from its RIFF
// headers only (stream data and indexes are skipped, whatever the clip length).
#include "analysis/avi_structs.h"
#include "analysis/file_io.h"
#include "analysis/riff_reader.h"

#include <string>
#include <vector>

namespace korvan {

class TAviParam {
public:
    // Walks the file; throws FileError when it cannot be opened or read.
    explicit TAviParam(const std::string& path);
    explicit TAviParam(const ByteSource& source);

    bool valide = false;
    std::vector<TAvistream> flux; // one per 'strl' list, in file order
    int32_t indexVideo = -1;      // first 'vids' or 'iavs' stream

    // Handler code of stream indexVideo as stored, or "####" without one.
    FourCC CodecVideo() const;

private:
    void parcourirFichier(const RiffReader& r);
    bool parcourirRiff(const RiffReader& r, int64_t pos, int64_t reste);
    bool parcourirHdrl(const RiffReader& r, int64_t pos, int64_t reste);
    void parcourirStrl(const RiffReader& r, int64_t pos, int64_t reste);
};

// The class the program creates.
class TFriendlyAviParam : public TAviParam {
public:
    using TAviParam::TAviParam;
};

} // namespace korvan
