#include "acquisition/tfrm_alv.h"

namespace orniva {

TFRM_Alv::TFRM_Alv(Application& app) : Window(app, "TFRM_Alv", kProgramCaption) {
  SetBounds({0, 0, 800, 640});
  Image1.Bitmap().Fill(kBlack);
  Image2.Bitmap().Fill(kBlack);
  Image3.Bitmap().Fill(kBlack);
}

}  // namespace orniva
