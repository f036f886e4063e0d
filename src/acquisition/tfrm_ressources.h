#pragma once

#include "acquisition/memory_status.h"
#include "ui/controls.h"

namespace orniva {

// The "Ressources" window: the system's memory figures, refreshed after the
// integration ring is allocated or released and after each display-zone change,
// and the durations of the compositor's passes.
class TFRM_Ressources : public Window {
 public:
  explicit TFRM_Ressources(Application& app);

  Label LBL_Memoryload{*this, "LBL_Memoryload", "Charge mémoire (%)"};
  Edit EDT_Memoryload{*this, "EDT_Memoryload"};
  Label LBL_TotalPhys{*this, "LBL_TotalPhys", "Mémoire physique totale"};
  Edit EDT_TotalPhys{*this, "EDT_TotalPhys"};
  Label LBL_AvailPhys{*this, "LBL_AvailPhys", "Mémoire physique libre"};
  Edit EDT_AvailPhys{*this, "EDT_AvailPhys"};
  Label LBL_TotalPageFile{*this, "LBL_TotalPageFile", "Fichier d'échange total"};
  Edit EDT_TotalPageFile{*this, "EDT_TotalPageFile"};
  Label LBL_AvailPageFile{*this, "LBL_AvailPageFile", "Fichier d'échange libre"};
  Edit EDT_AvailPageFile{*this, "EDT_AvailPageFile"};
  Label LBL_TotalVirtual{*this, "LBL_TotalVirtual", "Mémoire virtuelle totale"};
  Edit EDT_TotalVirtual{*this, "EDT_TotalVirtual"};
  Label LBL_AvailVirtual{*this, "LBL_AvailVirtual", "Mémoire virtuelle libre"};
  Edit EDT_AvailVirtual{*this, "EDT_AvailVirtual"};
  // Durations of the compositor's last passes, so the user can judge their
  // cost.
  Label LBL_Temps_addition{*this, "LBL_Temps_addition", "Temps d'addition (ms) :"};
  Edit EDT_Temps_addition{*this, "EDT_Temps_addition"};
  Label LBL_Temps_Dark_Flat{*this, "LBL_Temps_Dark_Flat", "Temps Dark+Flat (ms) :"};
  Edit EDT_Temps_Dark_Flat{*this, "EDT_Temps_Dark_Flat"};

  // Reads the system's figures and shows them; false (fields unchanged)
  // when they cannot be read.
  bool RefreshMemoryStatus();
  void ShowMemoryStatus(const MemoryStatus& status);
};

}  // namespace orniva
