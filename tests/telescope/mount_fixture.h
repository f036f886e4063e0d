#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/virtual_event_loop.h"
#include "platform/serial_port.h"
#include "sim/recording_port.h"
#include "telescope/mount.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {

// The mount layer on a virtual loop with its windows, a real serial layer
// and a recording port space.
struct MountRig {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
  std::vector<std::string> status;
  int gotoEnded = 0;

  MountRig() {
    mount.Hooks.StatusLine = [this](const std::string& s) { status.push_back(s); };
    mount.Hooks.GotoEnded = [this] { ++gotoEnded; };
  }
  // Points a COM name of the preferences' table at a device.
  void UseDevice(const std::string& com, const std::string& path) {
    std::vector<std::string> lines;
    for (const auto& l : pref.MEMO_Ports_Serie.Lines())
      if (l.rfind(com + "=", 0) != 0) lines.push_back(l);
    lines.push_back(com + "=" + path);
    pref.MEMO_Ports_Serie.SetLines(lines);
  }
  std::vector<std::string> TrafficLines() const { return trafic.Memo_Historique_Comm.Lines(); }
};

struct MountFixture : ::testing::Test, MountRig {};

}  // namespace orniva
