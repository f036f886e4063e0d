// The image tool's levels and permanent view in the settings file.
#include "core/rounding.h"
#include "processing/tfrm_tool_images.h"

namespace orniva {
namespace {

constexpr const char* kSection = "Seuils";
constexpr const char* kIntegration = "Integration";
constexpr const char* kPermanentView = "CKB_Visu_Permanente.Checked";

}  // namespace

void TFRM_Tool_Images::ReadSettings(const IniFile& file) {
  // The bounds first (each one sets both sliders' ranges), so that the
  // levels that follow fit in them.
  TNI_Seuil_MaxMax.SetValue(file.ReadInteger(kSection, "Seuil_MaxMax", 65535));
  TNI_Seuil_MaxMin.SetValue(file.ReadInteger(kSection, "Seuil_MaxMin", 0));
  TNI_Seuil_MinMax.SetValue(file.ReadInteger(kSection, "Seuil_MinMax", 65535));
  TNI_Seuil_MinMin.SetValue(file.ReadInteger(kSection, "Seuil_MinMin", 0));
  BoundsChange();
  const int low = file.ReadInteger(kSection, "Seuil_Min", 0);
  const int high = file.ReadInteger(kSection, "Seuil_Max", 2500);
  TNI_Seuil_Min.SetValue(low);
  TNI_Seuil_Max.SetValue(high);
  SCB_Minimum.SetPosition(low);
  SCB_Maximum.SetPosition(high);
  // A level outside its bounds stops at the bound: the fields say so.
  TNI_Seuil_Min.SetValue(SCB_Minimum.Position());
  TNI_Seuil_Max.SetValue(SCB_Maximum.Position());
  CKB_Visu_Permanente.SetChecked(file.ReadBool(kIntegration, kPermanentView, true));
}

void TFRM_Tool_Images::WriteSettings(IniFile& file) const {
  file.WriteInteger(kSection, "Seuil_MinMin", Trunc(TNI_Seuil_MinMin.Value()));
  file.WriteInteger(kSection, "Seuil_MaxMin", Trunc(TNI_Seuil_MaxMin.Value()));
  file.WriteInteger(kSection, "Seuil_MinMax", Trunc(TNI_Seuil_MinMax.Value()));
  file.WriteInteger(kSection, "Seuil_MaxMax", Trunc(TNI_Seuil_MaxMax.Value()));
  file.WriteInteger(kSection, "Seuil_Min", SCB_Minimum.Position());
  file.WriteInteger(kSection, "Seuil_Max", SCB_Maximum.Position());
  file.WriteBool(kIntegration, kPermanentView, CKB_Visu_Permanente.Checked());
}

}  // namespace orniva
