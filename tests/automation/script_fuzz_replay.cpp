// Runs the script fuzz entry on seed scripts and on a fixed number of
// deterministic random mutations of them, so the fuzz target is exercised by
// every test run (also without a libFuzzer toolchain).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

const std::vector<std::string> kSeeds = {
    "var(n,integer)\n:b\nn := n + 1\njumpif(n<5,b)\nmessagebox.show(n)\n",
    "var(s,string)\ns := \"a\" + %date + s\njumpif(s<>\"\",x)\n:x\nreturn\n",
    "call(f)\njump(e)\n:f\nwait(60000)\nreturn\n:e\ncallfar(\"sub.txt\")\n",
    "callfar(\"self.txt\")\n",
    "var(x,integer)\nx := 2147483647 + 1\n",
    "messagebox.showwait(\"w\")\nmessagebox.clear\nbeep(ok)\nmessagebox.hide\n",
    "var(a,integer)\n:l\na := a + 1\ncall(l)\n",
    "callfar(\"empty.txt\")\ncallfar(\"sub.txt\")\nx := 1\n",
};

template <size_t N>
const char* Pick(const char* const (&items)[N], std::mt19937& rng) {
  return items[rng() % N];
}

std::string Operand(std::mt19937& rng) {
  static const char* const kOperands[] = {"n",       "m",     "s",           "t",     "0",
                                          "7",       "-3",    "\"x\"",       "%date", "%hour",
                                          "%appdir", "%nope", "99999999999", "q"};
  return Pick(kOperands, rng);
}

// One well-formed (or nearly) statement of the language.
std::string Statement(std::mt19937& rng) {
  static const char* const kVars[] = {"n", "m", "s", "t"};
  static const char* const kLabels[] = {"a", "b", "c"};
  static const char* const kOps[] = {" + ", " - ", " * ", " / ", " "};
  static const char* const kCmp[] = {"=", "<>", "<", ">", "<=", ">="};
  static const char* const kFiles[] = {"sub.txt", "self.txt", "empty.txt", "missing.txt"};
  const std::string label = Pick(kLabels, rng);
  switch (rng() % 13) {
    case 0:
      return std::string("var(") + Pick(kVars, rng) + (rng() % 2 ? ",integer)" : ",string)");
    case 1:
    case 2: {
      std::string e = std::string(Pick(kVars, rng)) + " := " + Operand(rng);
      for (int k = static_cast<int>(rng() % 3); k > 0; --k) e += Pick(kOps, rng) + Operand(rng);
      return e;
    }
    case 3:
      return ":" + label;
    case 4:
      return "jump(" + label + ")";
    case 5:
      return "call(" + label + ")";
    case 6:
      return "return";
    case 7:
      return "jumpif(" + Operand(rng) + Pick(kCmp, rng) + Operand(rng) + "," + label + ")";
    case 8:
      return std::string("callfar(\"") + Pick(kFiles, rng) + "\")";
    case 9:
      return "wait(" + Operand(rng) + ")";
    case 10:
      return (rng() % 2 ? "messagebox.show(" : "messagebox.showwait(") + Operand(rng) + ")";
    case 11:
      return rng() % 2 ? "beep(ok)" : "messagebox.clear";
    default:
      return "// note";
  }
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string Mutate(const std::string& text, std::mt19937& rng) {
  std::vector<std::string> lines = SplitLines(text);
  const int edits = 1 + static_cast<int>(rng() % 6);
  for (int e = 0; e < edits; ++e) {
    const size_t at = rng() % (lines.size() + 1);
    switch (rng() % 8) {
      case 0:
        if (at < lines.size()) lines.erase(lines.begin() + static_cast<long>(at));
        break;
      case 1:
        if (at < lines.size()) lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
        break;
      case 2:  // a stray byte inside a line
        if (at < lines.size()) {
          std::string& l = lines[at];
          l.insert(l.empty() ? 0 : rng() % (l.size() + 1), 1, static_cast<char>(rng() % 256));
        }
        break;
      case 3:  // a leading blank
        if (at < lines.size()) lines[at].insert(0, " ");
        break;
      default:
        lines.insert(lines.begin() + static_cast<long>(at), Statement(rng));
        break;
    }
  }
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

int Run(const std::string& text) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int mutations = argc > 1 ? std::atoi(argv[1]) : 3000;
  for (const std::string& seed : kSeeds) Run(seed);
  std::mt19937 rng(20261210);
  for (int i = 0; i < mutations; ++i) {
    std::string text = kSeeds[rng() % kSeeds.size()];
    const int rounds = 1 + static_cast<int>(rng() % 4);
    for (int r = 0; r < rounds; ++r) text = Mutate(std::move(text), rng);
    Run(text);
  }
  std::printf("script fuzz replay: %zu seeds, %d mutations, no fault\n", kSeeds.size(), mutations);
  return 0;
}
