// Runs a fuzz target without libFuzzer: every file of the corpus folder given on the command line,
// then a fixed number of pseudo-random inputs (the same ones on every run), so the target's
// entry point runs under the sanitizer builds of the ordinary test suite.
#include <dirent.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

size_t ReplayCorpus(const std::string& folder) {
    size_t count = 0;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::ifstream in(folder + "/" + name, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    closedir(dir);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    size_t corpus = 0;
    for (int i = 1; i < argc; ++i)
        corpus += ReplayCorpus(argv[i]);

    std::mt19937 random(20261206u);
    const size_t kRandomInputs = 20000;
    std::vector<uint8_t> input;
    for (size_t i = 0; i < kRandomInputs; ++i) {
        input.resize(random() % 300);
        for (auto& byte : input)
            byte = static_cast<uint8_t>(random());
        // Short inputs and small counts reach the interesting branches more often.
        if (!input.empty() && (i & 1))
            input[0] = static_cast<uint8_t>(random() % 8);
        if (input.size() > 3 && (i & 2))
            input[3] = static_cast<uint8_t>(random() % 8);
        // An exact-size heap copy lets AddressSanitizer see any read past the end.
        std::vector<uint8_t> exact(input);
        LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
    }
    std::printf("replayed %zu corpus inputs and %zu random inputs\n", corpus, kRandomInputs);
    return 0;
}
