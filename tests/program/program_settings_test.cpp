// The program's settings file "Orniva.ini" in the start directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "acquisition/tfrm_tool_affichage.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/program.h"
#include "settings/ini_file.h"
#include "start_directory.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

struct StartDirectory : StartDirectoryFixture {
  std::string Catalogues() const { return std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/"; }
};

TEST_F(StartDirectory, SettingsAreReadAtStartAndWrittenBackAtCloseKeepingTheRest) {
  std::ofstream(dir / "Orniva.ini") << "; mes reglages\n"
                                       "[Seuils]\nSeuil_Max=1234\n"
                                       "[Inconnue]\nCle=valeur\n"
                                       "[Simulateur]\nEtoile_Depart=Alp Boo\n";
  auto program = Start();
  auto& tool = program->Get<TFRM_Tool_Images>();
  EXPECT_EQ(tool.SCB_Maximum.Position(), 1234);
  EXPECT_EQ(program->Simulator(Catalogues()).Settings().startStar, "Alp Boo");
  tool.SCB_Maximum.SetPosition(3000);
  program->Shutdown();
  const std::string ini = Ini();
  EXPECT_EQ(ini.rfind("; mes reglages\n[Seuils]\nSeuil_Max=3000\n", 0), 0u) << ini;
  EXPECT_NE(ini.find("[Inconnue]\nCle=valeur\n[Simulateur]\nEtoile_Depart=Alp Boo\n"),
            std::string::npos);
  EXPECT_NE(ini.find("Erreur_Periodique_Periode=480000\n"), std::string::npos);
  EXPECT_TRUE(lines.empty());
  // The settings file and the working folders are all the start directory
  // gets.
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir)) left.insert(entry.path().filename());
  EXPECT_EQ(left, (std::set<std::string>{"Bitmaps", "Filters", "Icons", "Orniva.ini", "Scripts",
                                         "Sounds"}));

  // The next run starts where this one ended.
  program.reset();
  program = Start();
  EXPECT_EQ(program->Get<TFRM_Tool_Images>().SCB_Maximum.Position(), 3000);
}

TEST_F(StartDirectory, WithoutAFileTheDefaultsAreWrittenAtTheClose) {
  auto program = Start();
  EXPECT_EQ(program->Get<TFRM_Tool_Images>().SCB_Maximum.Position(), 2500);
  program->Shutdown();
  const std::string ini = Ini();
  EXPECT_NE(ini.find("[Seuils]\n"), std::string::npos);
  EXPECT_NE(ini.find("Seuil_Max=2500\n"), std::string::npos);
  EXPECT_NE(ini.find("[Simulateur]\nEtoile_Depart=Alp Lyr\n"), std::string::npos);

  // A first start takes "orniva.one" as its settings file, and leaves it.
  fs::remove(dir / "Orniva.ini");
  std::ofstream(dir / "orniva.one") << "[Seuils]\nSeuil_Max=777\n";
  program.reset();
  program = Start();
  EXPECT_EQ(program->Get<TFRM_Tool_Images>().SCB_Maximum.Position(), 777);
  program->Shutdown();
  EXPECT_NE(Ini().find("Seuil_Max=777\n"), std::string::npos);
  // It is never copied over an existing settings file.
  std::ofstream(dir / "orniva.one") << "[Seuils]\nSeuil_Max=111\n";
  program.reset();
  program = Start();
  EXPECT_EQ(program->Get<TFRM_Tool_Images>().SCB_Maximum.Position(), 777);
  program->Shutdown();
  fs::remove(dir / "orniva.one");

  // A program that does not use the settings file leaves no file behind.
  fs::remove(dir / "Orniva.ini");
  program.reset();
  program = Start(false);
  program->Shutdown();
  EXPECT_FALSE(fs::exists(dir / "Orniva.ini"));
}

TEST_F(StartDirectory, AnUnreadableFileIsReportedAndNotOverwritten) {
  fs::create_directory(dir / "Orniva.ini");
  std::ofstream(dir / "Orniva.ini" / "garde") << "x";
  auto program = Start();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Impossible de lire le fichier " + (dir / "Orniva.ini").string()),
            std::string::npos);
  EXPECT_EQ(program->Get<TFRM_Tool_Images>().SCB_Maximum.Position(), 2500);
  program->Shutdown();
  EXPECT_TRUE(fs::exists(dir / "Orniva.ini" / "garde"));
  EXPECT_EQ(lines.size(), 1u);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// The preference pages keep their state in the settings file, and what they
// hold reaches the windows that read it.
TEST_F(StartDirectory, PreferencePagesAreReadAndWrittenBack) {
  std::ofstream(dir / "Orniva.ini") << "[Prefs]\nCKB_Debug.Checked=1\n"
                                       "[Mire]\nRDB_Cercle=1\nRDB_Carre=0\n"
                                       "[Optique.Defaut]\nFocale=40000000\n"
                                       "[Autoguide]\nAG_RDB_Cadres=0\nAG_RDB_Correlation=1\n"
                                       "AG_Intervalle_Guidage=3\n"
                                       "[Camera.Defaut]\nCKB_RAW.Checked=1\n"
                                       "RDB_RAWMode_1.Checked=0\nRDB_RAWMode_3.Checked=1\n";
  {
    auto program = Start();
    TFRM_Pref& pref = program->Get<TFRM_Pref>();
    EXPECT_TRUE(pref.MiseAuPoint.CKB_Debug.Checked());
    EXPECT_TRUE(pref.Mire.RDB_Cercle.Checked());
    EXPECT_FALSE(pref.Mire.RDB_Carre.Checked());
    EXPECT_EQ(program->Main().Inputs.RawPattern(), 3);
    EXPECT_EQ(pref.Optique.TNI_Focale_Reelle.Value(), 4000);
    // Until a camera starts or the optics change, the saved sampling holds.
    EXPECT_DOUBLE_EQ(program->Measures().Sampling(), 0.63);
    // 4000 mm with the Barlow 2, 5.6 um pixels at 640: a quarter of the
    // sampling at 2000 mm.
    pref.Optique.CKB_Barlow.SetChecked(true);
    EXPECT_EQ(pref.Optique.TNI_Focale_Reelle.Value(), 8000);
    EXPECT_NEAR(program->Measures().TNI_Echantillonnage.Value(), 0.1444, 0.0001);
    EXPECT_TRUE(pref.Optique.TNI_Barlow.Enabled());
    pref.Mire.RDB_Point.Click();
    TFRM_Tool_Suivi& suivi = program->Get<TFRM_Tool_Suivi>();
    EXPECT_TRUE(suivi.RDB_Correlation.Checked());
    EXPECT_EQ(suivi.SPED_Intervalle_Guidage.Value(), 3);
    program->Get<TFRM_Tool_Affichage>().Rafraichissement.CBX_Cam2_IPS.SelectFromUser(2);
  }
  const std::string ini = Ini();
  for (const char* line :
       {"CKB_Debug.Checked=1", "RDB_Cercle=1", "RDB_Point=1", "RDB_Croix=0", "BarlowChecked=1",
        "Focale=40000000", "RDB_RAWMode_3.Checked=1", "AG_RDB_Correlation=1",
        "AG_Intervalle_Guidage=3", "IPS_Cam2=10", "LastEchantillonage=144"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
  }
}

// With "Debug actif" the capture format goes to Debug.log at a camera start.
TEST_F(StartDirectory, DebugActifWritesTheCaptureFormat) {
  std::ofstream(dir / "Orniva.ini") << "[Prefs]\nCKB_Debug.Checked=1\n";
  auto program = Start();
  CameraCommands& cams = program->Cameras();
  const auto drivers = cams.Source(1).ListDrivers();
  ASSERT_GE(drivers.size(), 2u);
  dialogs.QueueChoice(static_cast<int>(drivers.size()) - 2);  // the test pattern
  cams.Cam1.MNU_Demarrer.Click();
  ASSERT_TRUE(program->Main().Online(1));
  auto log = [this] {
    std::ifstream in(dir / "Debug.log");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  };
  EXPECT_NE(log().find("biWidth         = 640"), std::string::npos) << log();
  // The tracking details are added to it, never in its place.
  TFRM_Tool_Suivi& suivi = program->Get<TFRM_Tool_Suivi>();
  suivi.RDB_Cadres.Click();
  suivi.CKB_Suivi.SetChecked(true);
  loop.RunFor(1000);
  EXPECT_NE(log().find("biHeight        = 480"), std::string::npos) << log();
  // Unchecked, a new format is no longer logged.
  program->Get<TFRM_Pref>().MiseAuPoint.CKB_Debug.SetChecked(false);
  suivi.CKB_Suivi.SetChecked(false);
  const std::string before = log();
  dialogs.QueueChoice(0);
  cams.Cam1.MNU_Format.Click();
  EXPECT_EQ(log(), before);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// Every caption and hint of every window, by window and control name.
std::map<std::string, std::string> AllTexts(Program& program) {
  std::map<std::string, std::string> texts;
  for (Window* w : program.App().Windows()) {
    texts[w->Name()] = w->Caption();
    for (Control* c : w->Controls()) {
      texts[w->Name() + "." + c->Name()] = c->Caption() + "|" + c->Hint();
    }
  }
  return texts;
}

TEST_F(StartDirectory, ALanguageFileReplacesOnlyTheTextsItGives) {
  std::map<std::string, std::string> french;
  {
    auto program = Start();
    french = AllTexts(*program);
    EXPECT_EQ(program->Main().MNU_Fichier.Caption(), "Fichier");
  }
  fs::remove(dir / "Orniva.ini");
  std::ofstream(dir / "lang_English.ini") << "[English]\nMNU_Fichier.Caption=File\n";
  auto program = Start();
  std::map<std::string, std::string> english = AllTexts(*program);
  EXPECT_EQ(english["TFRM_Alv.MNU_Fichier"], "File|");
  EXPECT_EQ(english["TFRM_Script.MNU_Fichier"], "File|");
  english["TFRM_Alv.MNU_Fichier"] = french["TFRM_Alv.MNU_Fichier"];
  english["TFRM_Script.MNU_Fichier"] = french["TFRM_Script.MNU_Fichier"];
  EXPECT_EQ(english, french);
  EXPECT_TRUE(program->Language().Unmatched().empty());
}

TEST_F(StartDirectory, ChoosingAnotherLanguageChangesEveryTextAtOnce) {
  std::ofstream(dir / "Lang_Deutsch.ini")
      << "[Deutsch]\nFRM_Tool_Images.Caption=Bilder\n"
         "TBS_Select_Images.Caption=Auswahl\nTBS_Select_Image.Caption=Bildauswahl\n"
         "MNU_Binning.Caption=Pixelbinning\nParite1=Ungerade\nMSG_Cannot_Start_Cam1=Kamera #\n"
         "CKB_Debug.Hint=Protokoll\n";
  // Written by an older editor: Latin-1.
  std::ofstream(dir / "Lang_Francais.ini") << "[Francais]\nFRM_Tool_Images.Caption=R\xE9glages\n";
  std::ofstream(dir / "Orniva.ini") << "[Prefs]\nLangue=Deutsch\n[Autoguide]\nAG_Parite=1\n";
  auto program = Start();
  TFRM_Pref& pref = program->Get<TFRM_Pref>();
  TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
  pref.CBX_AG_Parite.SetItemIndex(1);
  program->Get<TFRM_Pref>().Langue.CBX_Langue.SelectFromUser(0);  // the list is sorted
  ASSERT_EQ(pref.Langue.CBX_Langue.Items(), (std::vector<std::string>{"Deutsch", "Francais"}));
  EXPECT_EQ(tools.Caption(), "Bilder");
  // The table's key comes after the one naming the page, and wins.
  EXPECT_EQ(tools.TBS_Select_Images.Caption(), "Bildauswahl");
  EXPECT_EQ(program->Cameras().Cam2.MNU_Binning.Caption(), "Pixelbinning");
  EXPECT_EQ(pref.CBX_AG_Parite.Items()[1], "Ungerade");
  EXPECT_EQ(pref.CBX_AG_Parite.ItemIndex(), 1);
  EXPECT_EQ(pref.MiseAuPoint.CKB_Debug.Hint(), "Protokoll");
  EXPECT_EQ(program->Cameras().MSG_Cannot_Start_Cam1, "Kamera #");
  // The other language gives back the French texts it does not name.
  pref.Langue.CBX_Langue.SelectFromUser(1);
  EXPECT_EQ(tools.Caption(), "R\xC3\xA9glages");
  EXPECT_EQ(tools.TBS_Select_Images.Caption(), "Selection d'images");
  EXPECT_EQ(pref.CBX_AG_Parite.Items()[1], "Impaire");
  EXPECT_EQ(pref.CBX_AG_Parite.ItemIndex(), 1);
  EXPECT_EQ(pref.MiseAuPoint.CKB_Debug.Hint(), "");
  EXPECT_EQ(program->Cameras().MSG_Cannot_Start_Cam1, "Impossible de demarrer la camera #");
  program->Shutdown();
  EXPECT_NE(Ini().find("Langue=Francais"), std::string::npos) << Ini();
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// Windows come back where they were and open as they were; one saved on a
// screen that is gone comes back on this one.
TEST_F(StartDirectory, WindowPlacementsAreRestoredOnThisScreen) {
  std::ofstream(dir / "Orniva.ini") << "[Windows]\nFRM_AlV_Width=1000\nFRM_AlV_Left=12\n"
                                       "FRM_Tool_Images_Top=100\nFRM_Tool_Images_Left=3000\n"
                                       "FRM_Tool_Images_visible=1\nFRM_Pref_visible=0\n"
                                       "FRM_Detect_Mvt_visible=1\n";
  {
    auto program = Start();
    const Bounds main = program->Main().GetBounds();
    EXPECT_EQ(main.width, 1000);
    EXPECT_EQ(main.left, 12);
    TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
    EXPECT_TRUE(tools.Visible());
    EXPECT_EQ(tools.GetBounds().top, 100);
    EXPECT_LT(tools.GetBounds().left + tools.GetBounds().width, program->App().ScreenWidth());
    EXPECT_FALSE(program->Get<TFRM_Pref>().Visible());
    // Its visibility is kept for other programs, not read.
    EXPECT_FALSE(program->App().FindWindow("TFRM_Detect_Mvt")->Visible());
    program->Get<TFRM_Pref>().ShowOnScreen();
    tools.Hide();
  }
  const std::string ini = Ini();
  for (const char* line : {"FRM_AlV_Width=1000", "FRM_Tool_Images_visible=0", "FRM_Pref_visible=1",
                           "FRM_Tool_Images_Top=100", "FRM_Script_Width="}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
  }
  EXPECT_EQ(ini.find("FRM_Message_Top"), std::string::npos);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

TEST_F(StartDirectory, OpticsProfilesAreChosenAddedSavedAndErased) {
  std::ofstream(dir / "Orniva.ini") << "[Prefs]\nOptique_Courante=Lunette\n"
                                       "[Optique.Lunette]\nFocale=10000000\n"
                                       "[Optique.C8]\nFocale=20000000\n";
  {
    auto program = Start();
    TFRM_Pref& pref = program->Get<TFRM_Pref>();
    PrefOpticsPage& o = pref.Optique;
    ASSERT_EQ(o.CBX_Optique.Items(), (std::vector<std::string>{"C8", "Lunette"}));
    EXPECT_EQ(o.CBX_Optique.Text(), "Lunette");
    EXPECT_EQ(o.TNI_Focale.Value(), 1000);
    // Chosen in the list: loaded, and the image scale follows (5.6 um at 640).
    o.CBX_Optique.SelectFromUser(0);
    EXPECT_EQ(o.TNI_Focale.Value(), 2000);
    EXPECT_NEAR(program->Measures().TNI_Echantillonnage.Value(), 0.5775, 0.0001);
    o.CBX_Optique.SelectFromUser(1);
    EXPECT_NEAR(program->Measures().TNI_Echantillonnage.Value(), 1.1551, 0.0001);
    // A new name typed, then "Ajouter": listed at once and saved.
    o.CBX_Optique.SetText("Newton");
    o.TNI_Focale.SetValue(1200);
    o.BTN_Nouveau_Optique.Click();
    EXPECT_EQ(o.CBX_Optique.Items(), (std::vector<std::string>{"C8", "Lunette", "Newton"}));
    EXPECT_NE(Ini().find("[Optique.Newton]\nFocale=12000000"), std::string::npos) << Ini();
    o.BTN_Nouveau_Optique.Click();  // the same name is not listed twice
    EXPECT_EQ(o.CBX_Optique.Items().size(), 3u);
    // A name that would break the file is refused.
    o.CBX_Optique.SetText("a]b");
    o.BTN_Enregistrer_Optique.Click();
    EXPECT_EQ(Ini().find("a]b"), std::string::npos);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("a]b"), std::string::npos);
    // "Suppr." of a listed name erases its section; of another, nothing.
    o.CBX_Optique.SetText("Lunette");
    o.BTN_Sup_Optique.Click();
    EXPECT_EQ(Ini().find("[Optique.Lunette]"), std::string::npos);
    EXPECT_EQ(o.CBX_Optique.Items(), (std::vector<std::string>{"C8", "Newton"}));
    o.CBX_Optique.SetText("Inconnu");
    o.BTN_Sup_Optique.Click();
    EXPECT_EQ(o.CBX_Optique.Items().size(), 2u);
    // The erased profile, current at the close, is not written back.
    o.CBX_Optique.SetText("Lunette");
  }
  EXPECT_EQ(Ini().find("[Optique.Lunette]"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("[Optique.C8]"), std::string::npos);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// Another reader of the INI kind, Python's configparser, reads every key of
// the file the program writes with the value the program reads back.
TEST_F(StartDirectory, WrittenSettingsReadTheSameInPythonsConfigparser) {
  std::ofstream(dir / "Orniva.ini") << "[Optique.C8]\nFocale=20000000\n";
  Start()->Shutdown();
  const std::string script = (dir / "dump.py").string();
  std::ofstream(script) << "import configparser, sys\n"
                           "c = configparser.ConfigParser(strict=False, interpolation=None)\n"
                           "c.optionxform = str\n"
                           "c.read(sys.argv[1], encoding='utf-8')\n"
                           "for s in c.sections():\n"
                           "    for k, v in c.items(s):\n"
                           "        print(s + '\\t' + k + '\\t' + v)\n";
  const std::string out = (dir / "dump.txt").string();
  const std::string command =
      "python3 " + script + " " + (dir / "Orniva.ini").string() + " > " + out;
  if (std::system("python3 -c 'import configparser' 2>/dev/null") != 0) {
    GTEST_SKIP() << "python3 is not installed";
  }
  ASSERT_EQ(std::system(command.c_str()), 0);
  IniFile ours((dir / "Orniva.ini").string());
  ASSERT_EQ(ours.Load(), "");
  std::ifstream in(out);
  std::string line;
  int compared = 0;
  while (std::getline(in, line)) {
    const size_t a = line.find('\t'), b = line.find('\t', a + 1);
    ASSERT_NE(b, std::string::npos) << line;
    const std::string section = line.substr(0, a), key = line.substr(a + 1, b - a - 1);
    EXPECT_EQ(ours.ReadString(section, key, "<missing>"), line.substr(b + 1))
        << section << "/" << key;
    ++compared;
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace orniva
