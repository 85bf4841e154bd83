// Runs the fuzz entry over every file of the folders given: the committed corpus, replayed in
// every build, with the compiler of that build and no fuzzing library.

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  // The entry's scratch workbook goes to a folder of this run's own.
  std::string scratch =
      (std::filesystem::temp_directory_path() / "orvstock-replay.XXXXXX").string();
  if (!::mkdtemp(scratch.data())) return 2;
  ::setenv("TMPDIR", scratch.c_str(), 1);
  std::size_t inputs = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i]))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++inputs;
    }
  }
  std::filesystem::remove_all(scratch);
  std::printf("%zu inputs replayed\n", inputs);
  // An empty corpus proves nothing.
  return inputs == 0 ? 1 : 0;
}
