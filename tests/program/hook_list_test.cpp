// Every hook of the program is bound, or waits for the window that will
// bind it; a hook bound since is struck from the table below.
#include "program/hook_list.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "core/virtual_event_loop.h"
#include "program/program.h"

namespace orniva {
namespace {

// Hook -> what will bind it. Only shrinks.
const std::map<std::string, std::string> kPending = {
    // Image selection and the focus aid.
    {"PipelineInputs.Selection", "automatic selection"},
    {"PipelineHooks.MeasureQuality", "automatic selection, focus aid"},
    {"PipelineHooks.QualityFeedback", "automatic selection, focus aid"},
    {"LifecycleHooks.ResetSelectionRing", "automatic selection"},
    {"LifecycleHooks.ResetSelectionQualities", "automatic selection"},
    {"TrackingLinks.FwhmMeasured", "focus aid"},
    {"TrackingLinks.FwhmSampleFull", "focus aid, autofocus"},
    // The sequencer.
    {"PipelineInputs.SaveEvery", "sequencer"},
    {"PipelineHooks.SaveFlashImage", "sequencer"},
    {"TFRM_Script.OnStopSequencer", "sequencer"},
    // Fish-eye attenuation.
    {"PipelineHooks.FishEye", "fish-eye attenuation"},
    // Motion detection and its actions, the lost-star action.
    {"PipelineHooks.DetectMotion", "motion detection"},
    {"CameraHooks.ReferenceNotLoaded", "motion detection"},
    {"TrackingLinks.StarLost", "lost-star action"},
    {"TrackingLinks.ConfigureLostStar", "lost-star action"},
    // Long exposure.
    {"PipelineHooks.StartRequestedExposureTimers", "long exposure"},
    {"PipelineHooks.LongExposureCountdown", "long exposure"},
    {"CameraHooks.StopExposure", "long exposure"},
    {"TrackingLinks.ExposureStep", "long exposure"},
    // Autoguiding.
    {"TrackingLinks.GuideCorrection", "autoguiding"},
    // Guided operations.
    {"PipelineHooks.AdvanceGuidedOperation", "guided operations"},
    {"LifecycleHooks.ResetGuidedOperation", "guided operations"},
    {"MeasureHooks.OnDefineDeclination", "guided operations"},
    {"PrefCameraPage.ComputePixelSize", "guided operations"},
    // Hand pad, GOTO and the sky chart.
    {"LifecycleHooks.InstallKeyHook", "hand pad"},
    {"MountHooks.HandPadRate", "hand pad"},
    {"MountHooks.PositionText", "hand pad, object actions"},
    {"MountHooks.GotoEnded", "object actions, script commands"},
    {"MountHooks.PositionChanged", "sky chart"},
    {"MeasureHooks.OnRedrawChart", "sky chart"},
    {"LifecycleHooks.SetChartClosing", "sky chart"},
    {"LifecycleHooks.DestroySkyChart", "sky chart"},
    // Scripts: commands, the runner and its collections.
    {"LifecycleHooks.CreateCustomFunctionList", "script runner"},
    {"LifecycleHooks.LoadScriptCollection", "script runner"},
    {"LifecycleHooks.FreeScriptCollection", "script runner"},
    {"FileHooks.OnFileOpened", "script commands"},
    {"ToolImagesHooks.IntegrationEnded", "script commands"},
    {"TFRM_Script.OnRunMenus", "main window commands"},
};

// Hooks whose empty state means "nothing to do" by design: listeners for
// tests and traces, and buffers this program does not keep.
const std::set<std::string> kOptional = {
    "PipelineHooks.Trace",
    "LifecycleHooks.Trace",
    // The frame sources own their decoding buffers.
    "LifecycleHooks.FreeDecodingBuffers",
};

TEST(Hooks, EveryHookIsBoundOrWaitsForTheWindowThatBindsIt) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.UseSettingsFile();
  const std::vector<HookState> hooks = ListHooks(program);
  std::set<std::string> listed;
  for (const HookState& h : hooks) {
    listed.insert(h.name);
    if (kOptional.count(h.name)) continue;
    const bool pending = kPending.count(h.name) > 0;
    if (pending) {
      EXPECT_FALSE(h.bound) << h.name << " is bound now: strike it from the pending table";
    } else {
      EXPECT_TRUE(h.bound) << h.name << " is never bound";
    }
  }
  for (const auto& [name, owner] : kPending) {
    EXPECT_TRUE(listed.count(name)) << name << " (" << owner << ") is no hook";
  }
}

}  // namespace
}  // namespace orniva
