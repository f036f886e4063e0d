#include "program/pipeline_wiring.h"

#include "program/find_control.h"

namespace orniva {
namespace {

std::function<bool()> Checked(Application& app, std::string_view name) {
  if (auto* c = FindControl<CheckBox>(app, name)) return [c] { return c->Checked(); };
  if (auto* r = FindControl<RadioButton>(app, name)) return [r] { return r->Checked(); };
  return {};
}

std::function<double()> Number(Application& app, std::string_view name) {
  if (auto* n = FindControl<NumEdit>(app, name)) return [n] { return n->Value(); };
  if (auto* s = FindControl<SpinEdit>(app, name)) return [s] { return double(s->Value()); };
  return {};
}

}  // namespace

void ConnectPipelineControls(Application& app, TFRM_Alv& alv) {
  PipelineInputs& in = alv.Inputs;
  in.SaturationView = Checked(app, "CKB_Satur");
  in.SaturationThreshold = Number(app, "TNI_Seuil_Satur");
  if (Window* info = app.FindWindow("TFRM_Info"))
    in.InfoVisible = [info] { return info->Visible(); };
  in.LongExposureActive = Checked(app, "CKB_Longuepose_Active");
  in.SelfGuiding = Checked(app, "CKB_Selfguide_Active");
  in.ModifiedCamera = Checked(app, "CKB_VestaMod");
  in.DateTime = Checked(app, "CKB_DateHeure");
  in.RawMode = Checked(app, "CKB_Raw");
  std::vector<RadioButton*> patterns;
  for (const char* name : {"RDB_RAWMode_1", "RDB_RAWMode_2", "RDB_RAWMode_3", "RDB_RAWMode_4"}) {
    if (auto* r = FindControl<RadioButton>(app, name)) patterns.push_back(r);
  }
  if (patterns.size() == 4) {
    in.RawPattern = [patterns] {
      for (size_t i = 0; i < patterns.size(); ++i) {
        if (patterns[i]->Checked()) return static_cast<int>(i) + 1;
      }
      return 0;
    };
  }
  Window* small = app.FindWindow("TFRM_Small");
  if (auto* picture = small ? small->FindAs<Picture>("Img_Small") : nullptr) {
    in.MiniSource = [small, picture] { return small->Visible() ? picture : nullptr; };
  }
  in.DetectionZoneSize = Number(app, "TNI_Taille_ZDetect");
  in.DisplayZoneSize = Number(app, "TNI_Taille_ZAffich");
  in.Reticle = Checked(app, "CKB_Reticule");
  auto focus = Checked(app, "CKB_MAP");
  auto contrast = Checked(app, "RDB_Methode_DCT");
  if (focus && contrast) in.FocusContrast = [focus, contrast] { return focus() && contrast(); };
  in.Selection = Checked(app, "CKB_Selection");
  in.ForceLevels = Checked(app, "CKB_utiliser_seuils");
  if (auto every = Number(app, "SPED_Freq_Sauve")) {
    in.SaveEvery = [every] { return static_cast<int>(every()); };
  }
  if (auto* size = FindControl<Edit>(app, "EDT_Taille_Fichier")) {
    alv.Hooks.ShowSavedImageSize = [size](int64_t bytes) { size->SetText(std::to_string(bytes)); };
  }
}

}  // namespace orniva
