#pragma once

#include "ui/controls.h"

namespace orniva {

inline constexpr const char* kProgramCaption = "Orniva 2.0c";

// The main window: three pages, "Source 1" and "Source 2" with the live
// frames of the two cameras and "Resultat" with the processed zone.
class TFRM_Alv : public Window {
 public:
  explicit TFRM_Alv(Application& app);

  PageControl PGC_Main{*this, "PGC_Main"};
  TabSheet TBS_Source1{PGC_Main, "TBS_Source1", "Source 1"};
  Picture Image1{TBS_Source1, "Image1", 640, 480};
  TabSheet TBS_Source2{PGC_Main, "TBS_Source2", "Source 2"};
  Picture Image2{TBS_Source2, "Image2", 640, 480};
  TabSheet TBS_Resultat{PGC_Main, "TBS_Resultat", "Resultat"};
  Picture Image3{TBS_Resultat, "Image3", 320, 240};

  MenuItem MNU_Fichier{*this, "MNU_Fichier", "Fichier"};
  MenuItem MNU_Quitter{MNU_Fichier, "MNU_Quitter", "Quitter"};
};

}  // namespace orniva
