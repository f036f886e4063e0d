#include "program/script_wiring.h"

#include <string>

#include "core/paths.h"

namespace orniva {

void ConnectSystemVariables(SystemVariables& vars, TFRM_Alv& alv, TFRM_Pref& pref) {
  for (int camera : {1, 2}) {
    vars.Set("%cam" + std::to_string(camera) + "_online",
             [&alv, camera] { return std::string(alv.Online(camera) ? "1" : "0"); });
  }
  // Before a camera has a frame the sizes are those of the default format.
  vars.Set("%videowidth", [&alv] {
    const int w = alv.Camera(alv.ImageCamera()).width;
    return std::to_string(w > 0 ? w : 640);
  });
  vars.Set("%videoheight", [&alv] {
    const int h = alv.Camera(alv.ImageCamera()).height;
    return std::to_string(h > 0 ? h : 480);
  });
  vars.Set("%trackx", [&alv] { return std::to_string(alv.Zones.Centre().x); });
  vars.Set("%tracky", [&alv] { return std::to_string(alv.Zones.Centre().y); });
  vars.Set("%displayx", [&alv] {
    const Rect& z = alv.Zones.frameZone;
    return std::to_string((z.left + z.right) / 2);
  });
  vars.Set("%displayy", [&alv] {
    const Rect& z = alv.Zones.frameZone;
    return std::to_string((z.top + z.bottom) / 2);
  });
  auto folder = [&alv](const Edit& field, const char* fallback) {
    return [&alv, &field, fallback] {
      return field.Text().empty() ? JoinPath(alv.ProgramDirectory(), fallback) : field.Text();
    };
  };
  vars.Set("%scriptdir", folder(pref.Repertoires.EDT_Repertoire_Scripts, "Scripts/"));
  vars.Set("%bitmapdir", folder(pref.Repertoires.EDT_Repertoire_Bitmaps, "Bitmaps/"));
}

}  // namespace orniva
