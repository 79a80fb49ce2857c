// Runs a fuzz target once over each committed input, for builds without libFuzzer: every file
// named on the command line, and every file directly inside each directory named there. A
// directory that does not exist holds no inputs.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path path(argv[i]);
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const auto &entry : fs::directory_iterator(path)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else if (fs::exists(path, error)) {
            inputs.push_back(path);
        }
    }
    std::sort(inputs.begin(), inputs.end());

    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize(&argc, &argv);

    for (const fs::path &path : inputs) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes {std::istreambuf_iterator<char>(file),
                                       std::istreambuf_iterator<char>()};
        if (!file.eof() && file.fail()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        std::fprintf(stderr, "input %s\n", path.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu passed, 0 failed\n", inputs.size());
    return 0;
}
