// Replays every file of a target's corpus folder through its fuzz entry, so
// that the ordinary test run keeps every input that ever broke a reader.
// Files given on the command line are replayed instead of the folder.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // An empty input gets a valid pointer too, as the fuzzer gives one.
    static const std::uint8_t none = 0;
    const auto* data = bytes.empty() ? &none : reinterpret_cast<const std::uint8_t*>(bytes.data());
    LLVMFuzzerTestOneInput(data, bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    if (argc > 1) {
        files.assign(argv + 1, argv + argc);
    } else {
        for (const auto& entry : std::filesystem::directory_iterator(SOROBE_FUZZ_CORPUS))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    }
    // A corpus that went missing would pass without reading anything.
    if (files.empty()) {
        std::fprintf(stderr, "no inputs in %s\n", SOROBE_FUZZ_CORPUS);
        return 1;
    }
    for (const auto& file : files)
        if (!replay(file))
            return 1;
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
