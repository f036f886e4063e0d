#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"
#include "ui/controls.h"

namespace orniva {
namespace {

struct Env {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
};

TEST(Window, FindsControlsByNameWithoutRegardToCase) {
  Env env;
  Window w(env.app, "TFRM_Info", "Informations");
  GroupBox g(w, "GRB_Satur", "Saturation");
  CheckBox c(g, "CKB_Satur", "Seuil de saturation");
  Button b(w, "BTN_Ok", "Ok");
  EXPECT_EQ(w.Find("ckb_satur"), &c);
  EXPECT_EQ(w.FindAs<CheckBox>("CKB_SATUR"), &c);
  EXPECT_EQ(w.FindAs<Button>("CKB_Satur"), nullptr);  // wrong kind
  EXPECT_EQ(w.Find("CKB_Nothing"), nullptr);
  EXPECT_EQ(w.Children(nullptr), (std::vector<Control*>{&g, &b}));
  EXPECT_EQ(w.Children(&g), (std::vector<Control*>{&c}));
  EXPECT_EQ(env.app.FindWindow("tfrm_info"), &w);
}

TEST(Window, ShowOnScreenRestoresAndBringsBack) {
  Env env;
  env.app.SetScreenSize(1280, 1024);
  Window w(env.app, "TFRM_Message");
  w.SetBounds({3000, 100, 300, 200});
  w.SetState(WindowState::Minimized);
  int shown = 0;
  w.OnShow = [&] { ++shown; };
  w.ShowOnScreen();
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.State(), WindowState::Normal);
  EXPECT_EQ(w.GetBounds(), (Bounds{979, 100, 300, 200}));
  EXPECT_EQ(shown, 1);
}

TEST(Window, CloseQueryMayRefuse) {
  Env env;
  Window w(env.app, "TFRM_Alv");
  w.Show();
  bool allow = false;
  int closed = 0;
  w.OnCloseQuery = [&] { return allow; };
  w.OnClose = [&] { ++closed; };
  EXPECT_FALSE(w.Close());
  EXPECT_TRUE(w.Visible());
  allow = true;
  EXPECT_TRUE(w.Close());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(closed, 1);
}

TEST(HeadlessDialogs, AnswersFromTheQueueElseRefuses) {
  HeadlessDialogs d;
  EXPECT_EQ(d.MessageBox("Erreur", "Orniva", MessageKind::Error, MessageButtons::Ok),
            MessageResult::Ok);
  EXPECT_EQ(d.MessageBox("Sur ?", "Orniva", MessageKind::Confirmation, MessageButtons::YesNo),
            MessageResult::No);
  d.QueueMessageResult(MessageResult::Yes);
  EXPECT_EQ(d.MessageBox("Sur ?", "Orniva", MessageKind::Confirmation, MessageButtons::YesNo),
            MessageResult::Yes);
  EXPECT_EQ(d.OpenFile("Ouvrir", "*.bmp", "/tmp"), std::nullopt);
  d.QueueText("/tmp/a.bmp");
  EXPECT_EQ(d.OpenFile("Ouvrir", "*.bmp", "/tmp"), "/tmp/a.bmp");
  d.QueueChoice(2);
  EXPECT_EQ(d.Choose("Pilote", {"a", "b", "c"}, 0), 2);
  ASSERT_EQ(d.History().size(), 6u);
  EXPECT_EQ(d.History()[0].text, "Erreur");
}

}  // namespace
}  // namespace orniva
