// Replays the inputs kept under fuzz/regressions/<target>/ through a fuzz
// target's entry point, built with the ordinary compiler and without
// libFuzzer: a broken invariant traps, a crash is a crash, as when fuzzing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> entrees;
    for (int i = 1; i < argc; ++i) {
        const fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const fs::directory_entry& e : fs::directory_iterator(p))
                if (e.is_regular_file() && e.path().filename() != "README.md")
                    entrees.push_back(e.path());
        } else if (fs::is_regular_file(p)) {
            entrees.push_back(p);
        }
    }
    if (entrees.empty()) {
        std::fprintf(stderr, "no input to replay\n");
        return 2;
    }
    std::sort(entrees.begin(), entrees.end());
    for (const fs::path& p : entrees) {
        std::ifstream f(p, std::ios::binary);
        const std::vector<uint8_t> octets{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s (%zu bytes)\n", p.filename().c_str(), octets.size());
        // libFuzzer hands a non-null pointer even for an empty input.
        static const uint8_t vide = 0;
        LLVMFuzzerTestOneInput(octets.empty() ? &vide : octets.data(), octets.size());
    }
    std::printf("%zu inputs replayed\n", entrees.size());
    return 0;
}
