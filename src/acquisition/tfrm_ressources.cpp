#include "acquisition/tfrm_ressources.h"

#include <string>

namespace orniva {

TFRM_Ressources::TFRM_Ressources(Application& app) : Window(app, "TFRM_Ressources", "Ressources") {
  SetBounds({300, 200, 300, 310});
  for (Edit* e :
       {&EDT_Memoryload, &EDT_TotalPhys, &EDT_AvailPhys, &EDT_TotalPageFile, &EDT_AvailPageFile,
        &EDT_TotalVirtual, &EDT_AvailVirtual, &EDT_Temps_addition, &EDT_Temps_Dark_Flat}) {
    e->SetReadOnly(true);
  }
}

bool TFRM_Ressources::RefreshMemoryStatus() {
  const auto status = ReadMemoryStatus();
  if (!status) return false;
  ShowMemoryStatus(*status);
  return true;
}

void TFRM_Ressources::ShowMemoryStatus(const MemoryStatus& s) {
  EDT_Memoryload.SetText(std::to_string(s.loadPercent));
  EDT_TotalPhys.SetText(std::to_string(s.totalPhys));
  EDT_AvailPhys.SetText(std::to_string(s.availPhys));
  EDT_TotalPageFile.SetText(std::to_string(s.totalPageFile));
  EDT_AvailPageFile.SetText(std::to_string(s.availPageFile));
  EDT_TotalVirtual.SetText(std::to_string(s.totalVirtual));
  EDT_AvailVirtual.SetText(std::to_string(s.availVirtual));
}

}  // namespace orniva
