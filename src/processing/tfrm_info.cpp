#include "processing/tfrm_info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/rounding.h"

namespace orniva {

std::string FormatPercent(double value) {
  char buf[64];
  // Keep 7 significant digits, then show 7 decimals.
  std::snprintf(buf, sizeof buf, "%.6e", value);
  const double rounded = std::strtod(buf, nullptr);
  std::snprintf(buf, sizeof buf, "%.7f", rounded);
  return buf;
}

TFRM_Info::TFRM_Info(Application& app) : Window(app, "TFRM_Info", "Info") {
  for (Edit* e : {&EDT_Niveau, &EDT_X, &EDT_Y, &EDT_R, &EDT_V, &EDT_B, &EDT_Nbre_R, &EDT_Nbre_V,
                  &EDT_Nbre_B, &EDT_Prc_R, &EDT_Prc_V, &EDT_Prc_B}) {
    e->SetReadOnly(true);
  }
  TNI_Seuil_Satur.SetReadOnly(true);
  Img_Histogramme.Bitmap().Fill(kBlack);
  Img_Histogramme.OnMouseMove = [this](unsigned, int x, int) { Img_HistogrammeMouseMove(x); };
  SCB_Scale_Histo.OnChange = [this] { SCB_Scale_HistoChange(); };
  SCB_Seuil_Satur.OnChange = [this] { SCB_Seuil_SaturChange(); };
  CKB_Satur.OnClick = [this] { CKB_SaturClick(); };
}

void TFRM_Info::UpdateHistogram(const Image& frame) {
  ComputeHistogram(frame, histogram_);
  const int64_t n = histogram_.pixels;
  SCB_Scale_Histo.SetRange(SCB_Scale_Histo.Min(),
                           static_cast<int>(std::max<int64_t>(n, SCB_Scale_Histo.Min())));
  Redraw();
}

void TFRM_Info::Redraw() {
  const int64_t n = histogram_.pixels;
  const int scale = SCB_Scale_Histo.Position();
  LBL_YMax.SetCaption(std::to_string(Trunc(static_cast<double>(n) * 100 / scale)));
  HistogramMarks marks{pointerR_, pointerG_, pointerB_, -1};
  if (CKB_Satur.Checked()) marks.saturation = static_cast<int>(Trunc(TNI_Seuil_Satur.Value()));
  DrawHistogram(histogram_, scale, marks, Img_Histogramme.Bitmap());
  Img_Histogramme.Invalidate();
}

void TFRM_Info::ShowPointer(int x, int y, const Image& source) {
  EDT_X.SetText(std::to_string(x));
  EDT_Y.SetText(std::to_string(y));
  if (!source.Contains(x, y)) return;
  const Bgr p = source.Pixel(x, y);
  pointerR_ = p.r;
  pointerG_ = p.g;
  pointerB_ = p.b;
  EDT_R.SetText(std::to_string(p.r));
  EDT_V.SetText(std::to_string(p.g));
  EDT_B.SetText(std::to_string(p.b));
  if (Visible()) Redraw();
}

void TFRM_Info::Img_HistogrammeMouseMove(int x) {
  if (x < 0 || x > 255) return;
  EDT_Niveau.SetText(std::to_string(x));
  const double n = histogram_.pixels > 0 ? static_cast<double>(histogram_.pixels) : 1.0;
  Edit* counts[3] = {&EDT_Nbre_R, &EDT_Nbre_V, &EDT_Nbre_B};
  Edit* percents[3] = {&EDT_Prc_R, &EDT_Prc_V, &EDT_Prc_B};
  for (int ch = 0; ch < 3; ++ch) {
    const int64_t c = histogram_.counts[ch][x];
    counts[ch]->SetText(std::to_string(c));
    percents[ch]->SetText(FormatPercent(c / n * 100));
  }
}

void TFRM_Info::SCB_Scale_HistoChange() {
  Redraw();
}

void TFRM_Info::SCB_Seuil_SaturChange() {
  TNI_Seuil_Satur.SetValue(SCB_Seuil_Satur.Position());
  if (OnSaturationChanged) OnSaturationChanged();
}

void TFRM_Info::CKB_SaturClick() {
  Redraw();
  if (OnSaturationChanged) OnSaturationChanged();
}

}  // namespace orniva
