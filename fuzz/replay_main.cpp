// Runs a fuzz entry point without libFuzzer: on every seed file named on the
// command line (files, or folders of files), then on a fixed number of
// mutations of them drawn from a fixed random sequence. The same inputs every
// run, so a failure here can be replayed; the sanitizers of the build catch
// memory and undefined-behaviour faults.
//
//   <name>_replay [--runs N] [--seed S] seed...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kMaxInput = 1 << 16;

void Run(const Bytes& input) {
  LLVMFuzzerTestOneInput(input.data(), input.size());
}

bool ReadSeeds(const std::filesystem::path& path, std::vector<Bytes>& seeds) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      if (!ReadSeeds(f, seeds)) return false;
    }
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read seed %s\n", path.c_str());
    return false;
  }
  seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Bytes that often matter to parsers of text: line ends, separators, signs,
// digits, the decimal point, quotes, blanks and a few extremes.
const char* const kTokens[] = {"\n", "\r\n",  "\r",  ",",  " ",  "  ", "-", "+",    ".", "0",
                               "9",  "1e308", "-00", "\"", "\t", "s",  "m", "\xff", "\0"};

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : rng_(seed) {}
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng_() % n); }

  void Mutate(Bytes& b, const std::vector<Bytes>& seeds) {
    int steps = 1 + static_cast<int>(Below(8));
    for (int i = 0; i < steps; ++i) Step(b, seeds);
    if (b.size() > kMaxInput) b.resize(kMaxInput);
  }

 private:
  void Step(Bytes& b, const std::vector<Bytes>& seeds) {
    size_t at = Below(b.size() + 1);
    switch (Below(7)) {
      case 0:  // change one byte
        if (!b.empty()) b[Below(b.size())] = static_cast<uint8_t>(rng_());
        break;
      case 1: {  // insert a token
        const char* t = kTokens[Below(std::size(kTokens))];
        size_t n = t[0] ? std::strlen(t) : 1;
        b.insert(b.begin() + at, t, t + n);
        break;
      }
      case 2: {  // erase a run
        size_t n = std::min(b.size() - std::min(at, b.size()), 1 + Below(16));
        b.erase(b.begin() + at, b.begin() + at + n);
        break;
      }
      case 3: {  // repeat a run
        if (b.empty()) break;
        size_t from = Below(b.size());
        size_t n = std::min(b.size() - from, 1 + Below(64));
        Bytes run(b.begin() + from, b.begin() + from + n);
        b.insert(b.begin() + at, run.begin(), run.end());
        break;
      }
      case 4:  // cut the end
        b.resize(at);
        break;
      case 5: {  // splice a piece of another seed
        const Bytes& other = seeds[Below(seeds.size())];
        if (other.empty()) break;
        size_t from = Below(other.size());
        size_t n = std::min(other.size() - from, 1 + Below(256));
        b.insert(b.begin() + at, other.begin() + from, other.begin() + from + n);
        break;
      }
      default:  // overwrite a byte with a digit or a blank
        if (!b.empty()) b[Below(b.size())] = "0123456789 -."[Below(13)];
        break;
    }
  }
  std::mt19937 rng_;
};

}  // namespace

int main(int argc, char** argv) {
  long runs = 2000;
  uint32_t seed = 20261210;
  std::vector<Bytes> seeds;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::atol(argv[++i]);
    } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
      seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (!ReadSeeds(argv[i], seeds)) {
      return 2;
    }
  }
  if (seeds.empty()) seeds.emplace_back();
  Run(Bytes{});
  for (const Bytes& s : seeds) Run(s);
  Mutator mutator(seed);
  for (long r = 0; r < runs; ++r) {
    Bytes input = seeds[mutator.Below(seeds.size())];
    mutator.Mutate(input, seeds);
    Run(input);
  }
  std::printf("%zu seeds and %ld mutations ran\n", seeds.size(), runs);
  return 0;
}
