#include "sky/catalogues.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/paths.h"
#include "sky/catalogue_fields.h"
#include "sky/sky_angles.h"

namespace orniva {

std::string CatalogueError::Text() const {
  std::string out = File;
  if (Line > 0) out += ", ligne " + std::to_string(Line);
  out += " : " + What;
  return out;
}

namespace {

// Reads the numbers of one line, remembering the first field that is not one.
class LineFields {
 public:
  LineFields(const FixedLine& line, std::string_view file, int number)
      : line_(line), file_(file), number_(number) {}

  double Number(int from, int to, const char* what) {
    if (error_) return 0;
    std::string_view field = line_.Columns(from, to);
    if (auto v = ParseNumber(field)) return *v;
    error_ =
        CatalogueError{std::string(file_), number_,
                       std::string(what) + " illisible \"" + std::string(field) + "\" (colonnes " +
                           std::to_string(from) + "-" + std::to_string(to) + ")"};
    return 0;
  }
  // A number, or fallback when the field is blank.
  double NumberOr(int from, int to, const char* what, double fallback) {
    return IsBlank(line_.Columns(from, to)) ? fallback : Number(from, to, what);
  }
  // Whether the first character that is not blank is "-" ("-00" degrees).
  bool Negative(int from, int to) const {
    std::string_view t = TrimFieldBlanks(line_.Columns(from, to));
    return !t.empty() && t.front() == '-';
  }
  std::optional<CatalogueError>& Error() { return error_; }

 private:
  const FixedLine& line_;
  std::string_view file_;
  int number_;
  std::optional<CatalogueError> error_;
};

// Size in arcminutes from a value field and its unit letter ("s": arcseconds).
double SizeArcmin(double value, char unit) {
  return unit == 's' ? value / 60 : value;
}

std::string LowerTrimmed(std::string_view text) {
  std::string out(TrimFieldBlanks(text));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::optional<CatalogueError> ReadStars(std::string_view text, std::string_view file,
                                        std::vector<StarRecord>& out) {
  const size_t limit = out.size() + kMaxStars;
  LineReader lines(text);
  std::string_view raw;
  while (out.size() < limit && lines.Next(raw)) {
    FixedLine line(raw);
    // A line without a magnitude (the non-stellar entries) gives no star.
    if (IsBlank(line.Columns(103, 107))) continue;
    LineFields f(line, file, lines.LineNumber());
    StarRecord star;
    star.Magnitude = f.Number(103, 107, "magnitude");
    double h = f.Number(76, 77, "heures");
    double m = f.Number(78, 79, "minutes d'ascension droite");
    double s = f.Number(80, 83, "secondes d'ascension droite");
    double d = f.Number(84, 86, "degrés");
    double dm = f.Number(87, 88, "minutes de déclinaison");
    double ds = f.Number(89, 90, "secondes de déclinaison");
    if (f.Error()) return f.Error();
    star.RightAscension = HmsToArcsec(h, m, s);
    star.Declination = DmsToArcsec(std::fabs(d), dm, ds) * (f.Negative(84, 86) ? -1 : 1);
    star.SaoNumber = line.Columns(32, 37);
    star.StarName = line.Columns(5, 14);
    out.push_back(std::move(star));
  }
  return std::nullopt;
}

std::optional<CatalogueError> ReadDeepSkyObjects(std::string_view text, std::string_view file,
                                                 std::vector<DeepSkyRecord>& out) {
  const size_t limit = out.size() + kMaxDeepSkyObjects;
  LineReader lines(text);
  std::string_view raw;
  while (out.size() < limit && lines.Next(raw)) {
    // An empty line (an extra line end at the end of the file) carries nothing.
    if (IsBlank(raw)) continue;
    FixedLine line(raw);
    LineFields f(line, file, lines.LineNumber());
    DeepSkyRecord o;
    o.Magnitude = f.NumberOr(75, 78, "magnitude", 99.0);
    o.SizeMajor = SizeArcmin(f.NumberOr(102, 107, "taille", 6.0), line.Column(108));
    o.SizeMinor = IsBlank(line.Columns(113, 118))
                      ? o.SizeMajor
                      : SizeArcmin(f.Number(113, 118, "taille"), line.Column(119));
    double h = f.Number(56, 57, "heures");
    double minutes = f.Number(59, 62, "minutes d'ascension droite");
    double d = f.Number(66, 68, "degrés");
    double dm = f.Number(70, 71, "minutes de déclinaison");
    if (f.Error()) return f.Error();
    double wholeMinutes = std::trunc(minutes);
    o.RightAscension = HmsToArcsec(h, wholeMinutes, (minutes - wholeMinutes) * 60);
    o.Declination = DmsToArcsec(std::fabs(d), dm, 0) * (f.Negative(66, 68) ? -1 : 1);
    o.Name = WithoutBlanks(line.Columns(2, 17));
    o.OtherName = WithoutBlanks(line.Columns(21, 38)).substr(0, 8);
    o.ObjectType = LowerTrimmed(line.Columns(42, 46));
    o.ObjectClass = line.Columns(129, 139);
    auto angle = ParseInteger(line.Columns(123, 125));
    o.PositionAngle = angle ? static_cast<int16_t>(*angle) : 0;
    out.push_back(std::move(o));
  }
  return std::nullopt;
}

std::optional<CatalogueError> ReadConstellationLines(std::string_view text, std::string_view file,
                                                     std::vector<ConstellationLine>& out) {
  const size_t limit = out.size() + kMaxConstellationLines;
  LineReader lines(text);
  std::string_view raw;
  while (out.size() < limit && lines.Next(raw)) {
    if (IsBlank(raw)) continue;
    // Five fields: a name (ignored), then RA and Dec of both ends.
    std::string_view fields[5];
    int count = 0;
    std::string_view rest = raw;
    while (count < 5) {
      size_t comma = rest.find(',');
      fields[count++] = rest.substr(0, comma);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    auto error = [&](std::string what) {
      return CatalogueError{std::string(file), lines.LineNumber(), std::move(what)};
    };
    if (count < 5) return error("5 champs séparés par des virgules attendus");
    double v[4];
    for (int i = 0; i < 4; ++i) {
      auto n = ParseNumber(fields[i + 1]);
      if (!n) {
        return error("nombre illisible \"" + std::string(fields[i + 1]) + "\" (champ " +
                     std::to_string(i + 2) + ")");
      }
      v[i] = *n;
    }
    constexpr double kRa = 0.001 * 15 * kRadianPerDegree;  // thousandths of an hour
    constexpr double kDec = 0.01 * kRadianPerDegree;       // hundredths of a degree
    out.push_back({v[0] * kRa, v[1] * kDec, v[2] * kRa, v[3] * kDec});
  }
  return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = errno == ENOENT ? "fichier introuvable" : std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char chunk[1 << 16];
  if (std::fseek(f, 0, SEEK_END) == 0) {
    long size = std::ftell(f);
    if (size > 0) text.reserve(static_cast<size_t>(size));
    std::rewind(f);
  }
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  bool failed = std::ferror(f) != 0;
  int savedErrno = errno;
  std::fclose(f);
  if (failed) {
    error = std::strerror(savedErrno);
    return std::nullopt;
  }
  return text;
}

namespace {

template <typename Record, typename Reader>
void LoadOne(const std::string& directory, const char* name, std::vector<Record>& table,
             Reader read, std::vector<CatalogueError>& errors) {
  table.clear();
  std::string path = JoinPath(directory, name);
  std::string why;
  auto text = ReadWholeFile(path, why);
  if (!text) {
    errors.push_back({path, 0, why});
    return;
  }
  if (auto error = read(*text, path, table)) {
    table.clear();
    errors.push_back(std::move(*error));
  }
}

}  // namespace

std::vector<CatalogueError> Catalogues::LoadCatalogues(const std::string& directory) {
  std::vector<CatalogueError> errors;
  stars_.reserve(kMaxStars);
  deepSky_.reserve(kMaxDeepSkyObjects);
  lines_.reserve(kMaxConstellationLines);
  LoadOne(directory, kStarCatalogueFile, stars_, ReadStars, errors);
  LoadOne(directory, kDeepSkyCatalogueFile, deepSky_, ReadDeepSkyObjects, errors);
  LoadOne(directory, kConstellationLinesFile, lines_, ReadConstellationLines, errors);
  loaded_ = errors.empty();
  return errors;
}

std::vector<CatalogueError> Catalogues::EnsureLoaded(const std::string& directory) {
  if (loaded_) return {};
  return LoadCatalogues(directory);
}

}  // namespace orniva
