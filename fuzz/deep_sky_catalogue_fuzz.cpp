// Fuzz entry: the deep-sky catalogue reader and the object groups.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "sky/catalogues.h"
#include "sky/object_types.h"
#include "sky/sky_angles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orniva;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<DeepSkyRecord> objects;
  auto error = ReadDeepSkyObjects(text, "SAC72.dat", objects);
  if (objects.size() > static_cast<size_t>(kMaxDeepSkyObjects)) std::abort();
  if (error && error->Line <= 0) std::abort();
  for (const DeepSkyRecord& o : objects) {
    if (o.Name.size() > 16 || o.OtherName.size() > 8 || o.ObjectType.size() > 5 ||
        o.ObjectClass.size() != 11) {
      std::abort();
    }
    GroupOfType(o.ObjectType);
    FormatRa(o.RightAscension);
    FormatDec(o.Declination);
  }
  return 0;
}
