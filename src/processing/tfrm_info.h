#pragma once

#include <functional>

#include "processing/histogram.h"
#include "ui/controls.h"

namespace orniva {

// The information window "Info": the histogram of the image camera's frame,
// the values of the pixel under the mouse, and the saturation view's
// threshold.
class TFRM_Info : public Window {
 public:
  explicit TFRM_Info(Application& app);

  Picture Img_Histogramme{*this, "Img_Histogramme", 256, 101};
  Label LBL_YMax{*this, "LBL_YMax", "0"};
  Label LBL_Scale{*this, "LBL_Scale", "Echelle :"};
  ScrollBar SCB_Scale_Histo{*this, "SCB_Scale_Histo", 100, 100000, 100};
  Label LBL_Niveau{*this, "LBL_Niveau", "Niveau :"};
  Edit EDT_Niveau{*this, "EDT_Niveau"};
  GroupBox GRB_Pointer{*this, "GRB_Pointer", "Pointer"};
  Edit EDT_X{GRB_Pointer, "EDT_X"};
  Edit EDT_Y{GRB_Pointer, "EDT_Y"};
  Edit EDT_R{GRB_Pointer, "EDT_R"};
  Edit EDT_V{GRB_Pointer, "EDT_V"};
  Edit EDT_B{GRB_Pointer, "EDT_B"};
  GroupBox GRB_Image{*this, "GRB_Image", "Image"};
  Edit EDT_Nbre_R{GRB_Image, "EDT_Nbre_R"};
  Edit EDT_Nbre_V{GRB_Image, "EDT_Nbre_V"};
  Edit EDT_Nbre_B{GRB_Image, "EDT_Nbre_B"};
  Edit EDT_Prc_R{GRB_Image, "EDT_Prc_R"};
  Edit EDT_Prc_V{GRB_Image, "EDT_Prc_V"};
  Edit EDT_Prc_B{GRB_Image, "EDT_Prc_B"};
  GroupBox GRB_Saturation{*this, "GRB_Saturation", "Saturation"};
  CheckBox CKB_Satur{GRB_Saturation, "CKB_Satur", "Seuil de saturation"};
  ScrollBar SCB_Seuil_Satur{GRB_Saturation, "SCB_Seuil_Satur", 0, 255, 255};
  NumEdit TNI_Seuil_Satur{GRB_Saturation, "TNI_Seuil_Satur", 255};

  // The pipeline's call for each frame of the image camera while the window
  // is shown.
  void UpdateHistogram(const Image& frame);
  // The mouse over a camera page or the result page at (x, y) of source.
  void ShowPointer(int x, int y, const Image& source);
  void Img_HistogrammeMouseMove(int x);
  void SCB_Scale_HistoChange();
  void SCB_Seuil_SaturChange();
  void CKB_SaturClick();

  // The pipeline runs again for the image camera (saturation view).
  std::function<void()> OnSaturationChanged;

  const Histogram& Counts() const { return histogram_; }

 private:
  void Redraw();
  Histogram histogram_;
  int pointerR_ = -1, pointerG_ = -1, pointerB_ = -1;
};

// A percentage as the window shows it: 7 significant digits, 7 decimals.
std::string FormatPercent(double value);

}  // namespace orniva
