#include <chrono>

#include "mount_fixture.h"
#include "sim/lx200_mount.h"
#include "sim/mount_model.h"

namespace orniva {
namespace {

// The program's mount layer against the simulated LX200 mount on a
// pseudo-terminal (a mount at 0h, 0 degrees without periodic error), made to
// misbehave like real hardware. The virtual loop lets each step wait a
// little real time for the mount's bytes, which cross the pseudo-terminal
// in real time.
MountParameters SteadyMount() {
  MountParameters p;
  p.periodicAmplitude = p.harmonicAmplitude = 0;
  return p;
}

struct Lx200Fixture : MountFixture {
  MountModel model{SteadyMount(), 0, 0, loop.NowMs(), loop.WallClockMs()};
  Lx200PtyMount sim{loop, model};
  Lx200Fixture() {
    EXPECT_TRUE(sim.Ok()) << sim.Error();
    UseDevice("COM1", sim.SlavePath());
    pref.RDB_LX200.Click();
    loop.SetIoGraceMs(2);
  }
  // Runs the loop until the link has sent and read everything queued.
  void Settle() {
    EXPECT_TRUE(loop.RunUntil([&] { return !mount.LinkBusy(); }, 10000));
  }
  void SlewAt(double degreesPerSecond) {
    MountParameters p = model.Parameters();
    p.rates[3] = degreesPerSecond * 3600 / kSiderealRate;
    model.SetParameters(p, loop.NowMs());
  }
  int Count(const std::string& command) {
    int n = 0;
    for (const auto& r : sim.Commands()) n += r.command == command;
    return n;
  }
  std::vector<std::string> CommandList() {
    std::vector<std::string> out;
    for (const auto& r : sim.Commands()) out.push_back(r.command);
    return out;
  }
};

TEST_F(Lx200Fixture, ConnectsThroughTheChosenItemAndEnablesTheButtons) {
  EXPECT_TRUE(pref.BTN_Connecter.Enabled());
  EXPECT_FALSE(pref.BTN_E.Enabled());
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  EXPECT_FALSE(pref.BTN_Connecter.Enabled());
  EXPECT_FALSE(pref.RDB_Ruvena.Enabled());
  EXPECT_TRUE(pref.BTN_Deconnecter.Enabled());
  EXPECT_TRUE(pref.BTN_E.Enabled());
  pref.BTN_Deconnecter.Click();
  EXPECT_FALSE(mount.Connected());
  EXPECT_TRUE(pref.BTN_Connecter.Enabled());
  // "       COM12" and "$02F8 (COM2)" lead to the devices COM12 and COM2.
  for (const char* item : {"       COM12", "$02F8 (COM2)"}) {
    std::string com = SerialItemDevice(item);
    UseDevice(com, sim.SlavePath());
    pref.CBX_AG_PortSerie.SetText(item);
    sim.ClearCommands();
    mount.SetMountRate(1);  // connects first
    EXPECT_TRUE(mount.Connected()) << item;
    EXPECT_TRUE(sim.WaitForCommand("RC", 1, 2000)) << item;
    mount.DisconnectMount();
  }
}

TEST_F(Lx200Fixture, AMissingDeviceIsReportedAndLeavesTheLinkUnconnected) {
  UseDevice("COM1", "/dev/ttyUSB-none");
  pref.BTN_Connecter.Click();
  EXPECT_FALSE(mount.Connected());
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(dialogs.History()[0].text, "open_com, erreur = 2\nCOM1 : /dev/ttyUSB-none");
  EXPECT_TRUE(pref.BTN_Connecter.Enabled());
}

TEST_F(Lx200Fixture, ButtonHeldTwiceSendsOneStartAndReleaseStops) {
  pref.BTN_Connecter.Click();
  pref.TestButtonMouse(kEast, true);
  pref.TestButtonMouse(kEast, true);
  pref.TestButtonMouse(kEast, false);
  ASSERT_TRUE(sim.WaitForCommand("Qe", 1, 2000));
  EXPECT_EQ(Count("Me"), 1);
  // West while East moves stops East first.
  sim.ClearCommands();
  pref.TestButtonMouse(kEast, true);
  pref.TestButtonMouse(kWest, true);
  ASSERT_TRUE(sim.WaitForCommand("Mw", 1, 2000));
  EXPECT_EQ(CommandList(), (std::vector<std::string>{"Me", "Qe", "Mw"}));
  // The GOTO inversion swaps the directions of manual motions.
  pref.BTN_Stop.Click();
  ASSERT_TRUE(sim.WaitForCommand("Qw", 1, 2000));
  sim.ClearCommands();
  pref.CKB_GOTO_InverseAD.SetChecked(true);
  pref.TestButtonMouse(kEast, true);
  pref.TestButtonMouse(kEast, false);
  ASSERT_TRUE(sim.WaitForCommand("Qw", 1, 2000));
  EXPECT_EQ(CommandList(), (std::vector<std::string>{"Mw", "Qw"}));
}

TEST_F(Lx200Fixture, TimedMotionStopsAfterItsDurationWithBacklashOnReversal) {
  pref.BTN_Connecter.Click();
  mount.StartMotion(kWest, false, false, 3);  // 3" at 15"/s
  EXPECT_EQ(suivi.EDT_Dir_AD.Text(), "Ouest");
  EXPECT_EQ(suivi.EDT_Duree_AD.Text(), "200");
  loop.RunFor(199);
  EXPECT_TRUE(mount.Moving(kWest));
  loop.RunFor(1);
  EXPECT_FALSE(mount.Moving(kWest));
  ASSERT_TRUE(sim.WaitForCommand("Qw", 1, 2000));
  pref.TNI_Jeu_AD.SetValue(50);
  mount.StartMotion(kEast, false, false, 3);
  EXPECT_EQ(suivi.EDT_Duree_AD.Text(), "250");
  loop.RunFor(250);
  EXPECT_FALSE(mount.Moving(kEast));
  ASSERT_TRUE(sim.WaitForCommand("Qe", 1, 2000));
  // A guide pulse that inertia reduces to nothing moves nothing.
  sim.ClearCommands();
  mount.StartMotion(kNorth, true, true, 80);
  EXPECT_EQ(suivi.EDT_Duree_Dec.Text(), "0");
  EXPECT_FALSE(mount.Moving(kNorth));
}

TEST_F(Lx200Fixture, GotoSendsTheTargetAndEndsWhenTheMountReportsSixBlanks) {
  pref.CKB_Fin_GOTO_Afficher_Message.SetChecked(true);
  SlewAt(40);  // 83.6 degrees: about two seconds
  pref.BTN_Connecter.Click();
  double ra = (5 * 3600 + 34 * 60 + 31.94) * 15, dec = 22 * 3600 + 52;
  mount.GotoCoordinates(ra, dec);
  EXPECT_TRUE(mount.GotoInProgress());
  EXPECT_EQ(loop.NowMs(), 0);  // nothing waits on the loop's thread
  Settle();
  EXPECT_EQ(loop.NowMs(), 300);  // the 100 ms pause and the reply of ":MS#"
  auto cmds = CommandList();
  ASSERT_GE(cmds.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(cmds.begin(), cmds.begin() + 4),
            (std::vector<std::string>{"Q", "Sr 05:34:31.9", "Sd 22:00:52", "MS"}));
  // The first polls see the mount slewing.
  loop.RunFor(500);
  EXPECT_TRUE(mount.GotoInProgress());
  EXPECT_TRUE(loop.RunUntil([&] { return !mount.GotoInProgress(); }, 60000));
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_FALSE(suivi.TMR_ScopePosition.Running());
  EXPECT_EQ(mount.ra, 5 * 54000.0 + 34 * 900.0);
  EXPECT_EQ(mount.dec, 22 * 3600.0);
  EXPECT_EQ(status, std::vector<std::string>{"GOTO termine"});
}

TEST_F(Lx200Fixture, PositionRepliesInEveryFormAndFault) {
  pref.BTN_Connecter.Click();
  model.Sync((10 * 3600 + 20 * 60 + 30) * 15, -(45 * 3600 + 15 * 60 + 10), loop.NowMs());
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(mount.LastRaReply(), "10:20:3");  // 7 characters kept
  EXPECT_EQ(mount.LastDecReply(), "-45*15:1");
  EXPECT_EQ(mount.ra, 10 * 54000.0 + 20 * 900.0);
  EXPECT_EQ(mount.dec, -(45 * 3600.0 + 15 * 60));

  sim.SetLowPrecision(true);
  sim.SetDegreeSign('\xDF');
  model.Sync((11 * 3600 + 5 * 60) * 15, 12 * 3600 + 40 * 60, loop.NowMs());
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(mount.LastRaReply(), "11:05.0");
  EXPECT_EQ(mount.ra, 11 * 54000.0 + 5 * 900.0);
  EXPECT_EQ(mount.dec, 12 * 3600.0 + 40 * 60);

  // Garbage, half replies and silence leave the position as it was, shown
  // as received; each read waits for its '#' up to the reply limit.
  const double keepRa = mount.ra, keepDec = mount.dec;
  model.Sync(0, 0, loop.NowMs());
  for (auto fault : {Lx200PtyMount::Fault::Garbage, Lx200PtyMount::Fault::Partial,
                     Lx200PtyMount::Fault::Silent}) {
    sim.SetFault(fault);
    int64_t before = loop.NowMs();
    auto start = std::chrono::steady_clock::now();
    mount.TMR_ScopePositionTimer();
    Settle();
    auto realMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
    EXPECT_EQ(loop.NowMs() - before, 3 * Lx200Link::kReplyLimitMs);
    EXPECT_LT(realMs, 3000);
    EXPECT_EQ(mount.ra, keepRa);
    EXPECT_EQ(mount.dec, keepDec);
    EXPECT_TRUE(mount.Connected());
  }
  sim.SetFault(Lx200PtyMount::Fault::Garbage);
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(mount.LastRaReply(), "\x01?%\xFE\x7F!");
}

TEST_F(Lx200Fixture, LateRepliesAreWaitedForAndNeverTakenForTheNextOne) {
  pref.BTN_Connecter.Click();
  model.Sync(15 * 3600 * 15, 0, loop.NowMs());
  // Later than the read pause, within the reply limit: read, each reply for
  // its own command.
  sim.SetReplyDelayMs(450);
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(mount.LastRaReply(), "15:00:0");
  EXPECT_EQ(mount.LastDecReply(), "+00*00:0");
  EXPECT_EQ(mount.ra, 15 * 54000.0);
  // ":MS#" answers late: its "0" and the target's "1"s come after the read,
  // and are thrown away before the next command instead of answering it, so
  // the first poll after the slew sees the six blanks that end the GOTO.
  SlewAt(40);
  sim.SetReplyDelayMs(250);
  mount.GotoCoordinates(16 * 54000.0, 0);
  Settle();
  sim.SetReplyDelayMs(0);
  loop.RunFor(300);  // the late bytes arrive; the mount has arrived
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_EQ(mount.LastRaReply(), "16:00:0");
  EXPECT_EQ(mount.ra, 16 * 54000.0);
}

TEST_F(Lx200Fixture, UnpluggedMidCommandIsReportedAndCanBeConnectedAgain) {
  pref.BTN_Connecter.Click();
  sim.Unplug();
  mount.StartMotion(kNorth, false, true, kContinuous);
  EXPECT_FALSE(mount.Connected());
  EXPECT_FALSE(mount.Moving(kNorth));
  ASSERT_EQ(status.size(), 1u);
  EXPECT_NE(status[0].find("put_string, erreur = 5"), std::string::npos) << status[0];
  EXPECT_NE(status[0].find("COM1"), std::string::npos);
  EXPECT_TRUE(pref.BTN_Connecter.Enabled());
  // Unplugged during the position polling of a GOTO: the same, and the GOTO ends.
  sim.Replug();
  UseDevice("COM1", sim.SlavePath());
  SlewAt(0.01);
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  mount.GotoCoordinates(54000, 3600);
  sim.Unplug();
  loop.RunFor(1000);
  EXPECT_FALSE(mount.Connected());
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_EQ(status.size(), 2u) << ::testing::PrintToString(status);
  sim.Replug();
  UseDevice("COM1", sim.SlavePath());
  sim.ClearCommands();
  mount.StartMotion(kSouth, false, true, kContinuous);  // connects again by itself
  EXPECT_TRUE(mount.Connected());
  EXPECT_TRUE(sim.WaitForCommand("Ms", 1, 2000));
}

TEST_F(Lx200Fixture, LibraryObjectSync) {
  std::string reply;
  mount.SyncLibraryObject("M031", [&](const std::string& r) { reply = r; });
  Settle();
  EXPECT_EQ(reply, " M31 EX GAL MAG 3.5 SZ178.0'#");
  EXPECT_EQ(CommandList(), (std::vector<std::string>{"Q", "LM031", "CM"}));
  // The mount now calls its position M31's (00h42m44.3s +41 16'09").
  EXPECT_NEAR(model.ReportedRa(loop.NowMs()), (42 * 60 + 44.3) * 15, 0.01);
  EXPECT_NEAR(model.ReportedDec(loop.NowMs()), 41 * 3600 + 16 * 60 + 9, 0.01);
  mount.TMR_ScopePositionTimer();
  Settle();
  EXPECT_EQ(mount.LastRaReply(), "00:42:4");
}

TEST_F(Lx200Fixture, TrafficLogShowsWhatIsSentWithCrLf) {
  pref.CKB_CR.SetChecked(true);
  pref.CKB_LF.SetChecked(true);
  pref.CKB_Historique_Comm.SetChecked(true);
  EXPECT_TRUE(trafic.Visible());
  pref.BTN_Connecter.Click();
  pref.TestButtonMouse(kEast, true);
  ASSERT_FALSE(TrafficLines().empty());
  EXPECT_EQ(TrafficLines().back(), "$03F8 (COM1) : 233A4D65230D0A \"#:Me#\r\n\"");
  EXPECT_TRUE(sim.WaitForCommand("Me", 1, 2000));
  trafic.Close();
  EXPECT_FALSE(pref.CKB_Historique_Comm.Checked());
  size_t n = TrafficLines().size();
  pref.TestButtonMouse(kEast, false);
  EXPECT_EQ(TrafficLines().size(), n);  // not logged while unchecked
}

TEST_F(Lx200Fixture, FocuserOnItsOwnLink) {
  Lx200PtyMount focuser{loop, model};
  UseDevice("COM2", focuser.SlavePath());
  pref.CBX_AG_Focus_PortSerie.SetText("$02F8 (COM2)");
  pref.RDB_Focus_LX200.Click();
  pref.FocusButtonMouse(0, true);
  EXPECT_TRUE(focuser.WaitForCommand("F-", 1, 2000));
  EXPECT_EQ(focuser.FocusDirection(), -1);
  pref.FocusButtonMouse(0, false);
  EXPECT_TRUE(focuser.WaitForCommand("FQ", 1, 2000));
  pref.FocusButtonMouse(1, true);
  EXPECT_TRUE(focuser.WaitForCommand("F+", 1, 2000));
  EXPECT_TRUE(sim.Commands().empty());  // nothing on the mount link
}

}  // namespace
}  // namespace orniva
