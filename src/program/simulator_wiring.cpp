#include "program/simulator_wiring.h"

#include <string>
#include <vector>

#include "telescope/mount_kernels.h"

namespace orniva {

bool StreamSimulatorToCamera(SimulatedObservatory& observatory, TFRM_Alv& main, int camera) {
  const SimFormat& format = observatory.Camera().Format();
  if (!main.AcceptVideoFormat(format.width, format.height)) return false;
  main.SetCameraFormat(camera, format.width, format.height, 24, true);
  main.SetOnline(camera, true);
  main.State.processing = true;
  return observatory.StartCamera(
      [&main, camera](const Image& frame) { main.FrameArrived(camera, frame); });
}

bool ConnectSimulatedMount(SimulatedObservatory& observatory, TFRM_Pref& pref, Mount& mount,
                           SimMountLink link) {
  const std::string port = observatory.MountPort();
  Lx200PtyMount* simulated = observatory.MountLink();
  if (port.empty() || !simulated) return false;
  simulated->SetProtocol(link == SimMountLink::Ruvena ? Lx200PtyMount::Protocol::PulseBytes
                                                      : Lx200PtyMount::Protocol::Lx200);
  std::vector<std::string> lines;
  for (const std::string& line : pref.MEMO_Ports_Serie.Lines())
    if (line.rfind("COM1=", 0) != 0) lines.push_back(line);
  lines.push_back("COM1=" + port);
  pref.MEMO_Ports_Serie.SetLines(lines);
  pref.CBX_AG_PortSerie.SetItemIndex(0);
  (link == SimMountLink::Ruvena ? pref.RDB_Ruvena : pref.RDB_LX200).Click();
  if (!mount.Connected()) pref.BTN_Connecter.Click();
  return mount.Connected();
}

RelayWiring RelayWiringFromPreferences(const TFRM_Pref& pref) {
  RelayWiring w;
  w.parallel = ParallelItemAddress(pref.CBX_AG_PortParallele.Text());
  for (int d = kEast; d <= kSouth; ++d) {
    w.pins[d - 1] = pref.Pin(d);
    w.activeValues[d - 1] = pref.ActiveValue(d);
  }
  w.uart = SerialItemAddress(pref.CBX_AG_PortSerie.Text());
  return w;
}

}  // namespace orniva
