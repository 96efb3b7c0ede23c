// Runs the fuzz entry point once for every file of the folders (or files)
// named on the command line, so a seed corpus can serve as a plain test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace fs = std::filesystem;

static std::vector<fs::path> InputFiles(const fs::path& Place)
{
    std::vector<fs::path> Files;
    if (fs::is_directory(Place)) {
        for (const fs::directory_entry& Entry : fs::directory_iterator(Place))
            if (Entry.is_regular_file())
                Files.push_back(Entry.path());
        std::sort(Files.begin(), Files.end());
    } else if (fs::is_regular_file(Place)) {
        Files.push_back(Place);
    }
    return Files;
}

static void RunOne(const fs::path& File)
{
    std::ifstream In(File, std::ios::binary);
    const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
}

int main(int Argc, char** Argv)
{
    int Count = 0;
    for (int I = 1; I < Argc; ++I) {
        for (const fs::path& File : InputFiles(Argv[I])) {
            RunOne(File);
            ++Count;
        }
    }
    std::printf("%d inputs run\n", Count);
    // No input at all means a wrong path, not a pass.
    return Count > 0 ? 0 : 1;
}
