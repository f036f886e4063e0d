#include "settings/language_texts.h"

#include <algorithm>
#include <filesystem>

#include "ui/controls.h"

namespace orniva {
namespace {

// Keys whose control is not the one the key names, by window.
struct Alias {
  const char* key;
  const char* window;
  std::vector<const char*> controls;
};

const std::vector<Alias>& Aliases() {
  static const std::vector<Alias> aliases = {
      {"mnu_cam1_flux.caption", "TFRM_Alv", {"MNU_Cam1_Stream"}},
      {"mnu_cam2_flux.caption", "TFRM_Alv", {"MNU_Cam2_Stream"}},
      {"mnu_binning.caption", "TFRM_Alv", {"MNU_Cam1_Binning", "MNU_Cam2_Binning"}},
      {"tbs_select_image.caption", "TFRM_Tool_Images", {"TBS_Select_Images"}},
      {"tbs_select_image.hint", "TFRM_Tool_Images", {"TBS_Select_Images"}},
      {"lbl_seuilmap.caption", "TFRM_Tool_Affichage", {"GRB_SeuilMAP"}},
      {"edt_fps.hint", "TFRM_Tool_Affichage", {"EDT_Cam1_FPS", "EDT_Cam2_FPS"}},
      {"scb_tps_rafraichissement.hint",
       "TFRM_Tool_Affichage",
       {"SCB_Cam1_Tps_Rafraichissement", "SCB_Cam2_Tps_Rafraichissement"}},
      {"ckb_inversedec.caption", "TFRM_Pref", {"CKB_InverseDEC_Carte"}},
      {"ckb_inversead.caption", "TFRM_Pref", {"CKB_InverseAD_Carte"}},
      {"grb_vitesse_moteurs.caption", "TFRM_Pref", {"TBS_Vitesse_Moteurs"}},
      {"lbl_temps_inertie.caption", "TFRM_Pref", {"LBL_Tps_Inertie"}},
      {"lbl_temps_jeu.caption", "TFRM_Pref", {"LBL_Tps_Jeu"}},
      {"bl_window_frame.caption", "TFRM_Pref", {"LBL_window_frame"}},
      {"lbl_chronometre.caption",
       "TFRM_MiseEnStation",
       {"LBL_Chronometre", "LBL_Chronometre_King"}},
      {"lbl_orienter_vers.caption",
       "TFRM_MiseEnStation",
       {"LBL_Orienter_vers", "LBL_Orienter_vers_King"}},
      {"lbl_toursdevis.caption",
       "TFRM_MiseEnStation",
       {"LBL_Toursdevis", "LBL_Toursdevis_King_EO", "LBL_Toursdevis_King_NS"}},
      {"btn_demar_mes.caption", "TFRM_MiseEnStation", {"BTN_Demar_MES", "BTN_Demarre_King"}},
      {"cbx_selfguide_active.caption", "TFRM_Longuepose", {"CKB_Selfguide_Active"}},
      {"ckb_autoguidage.hint", "TFRM_Tool_Suivi", {"RDB_Autoguidage"}},
      {"tni_diff_actuel.hint", "TFRM_Detect_Mvt", {"TNI_Diff_actuel"}},
      {"tni_seuil_detect_nbre.hint",
       "TFRM_Detect_Mvt",
       {"TNI_Seuil_Detection_Nbre", "SCB_Seuil_Detection_Nbre"}},
      {"tni_seuil_detect_niveau.hint",
       "TFRM_Detect_Mvt",
       {"TNI_Seuil_Detection_Niveau", "SCB_Seuil_Detection_Niveau"}},
  };
  return aliases;
}

// Kept words and their French defaults (messages are kept under any
// "MSG_" name).
const std::map<std::string, std::string>& KeptWords() {
  static const std::map<std::string, std::string> words = {
      {"nord", "Nord"},        {"sud", "Sud"},
      {"est", "Est"},          {"ouest", "Ouest"},
      {"lebas", "le bas"},     {"lehaut", "le haut"},
      {"top", "TOP"},          {"oui", "OUI"},
      {"non", "NON"},          {"popup_sky_cursor.caption", ""},
      {"btnpref_caption", ""}, {"frm_pilote.caption", "Pilote de capture"}};
  return words;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

std::string TextAsUtf8(std::string_view text) {
  bool valid = true;
  for (size_t i = 0; i < text.size() && valid;) {
    const unsigned char c = text[i];
    const int follow = c < 0x80         ? 0
                       : (c >> 5) == 6  ? 1
                       : (c >> 4) == 14 ? 2
                       : (c >> 3) == 30 ? 3
                                        : -1;
    valid = follow >= 0 && i + follow < text.size();
    for (int k = 1; valid && k <= follow; ++k) {
      valid = (static_cast<unsigned char>(text[i + k]) >> 6) == 2;
    }
    i += follow + 1;
  }
  if (valid) return std::string(text);
  std::string out;
  for (const char ch : text) {
    const unsigned char c = ch;
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void LanguageTexts::TakeDefaults(Application& app) {
  for (Window* w : app.Windows()) {
    titles_[w] = w->Caption();
    for (Control* c : w->Controls()) {
      controls_[c] = {c->Caption(), c->Hint()};
      if (auto* list = dynamic_cast<ComboBox*>(c)) lists_[list] = list->Items();
    }
  }
  haveDefaults_ = true;
}

void LanguageTexts::Apply(Application& app, const IniFile& file, const std::string& language) {
  if (!haveDefaults_) TakeDefaults(app);
  for (Window* w : app.Windows()) {
    if (auto t = titles_.find(w); t != titles_.end()) w->SetCaption(t->second);
    for (Control* c : w->Controls()) {
      auto d = controls_.find(c);
      if (d == controls_.end()) continue;
      c->SetCaption(d->second.caption);
      c->SetHint(d->second.hint);
    }
  }
  for (auto& [list, items] : lists_) {
    const int index = list->ItemIndex();
    list->SetItems(items);
    list->SetItemIndex(index);
  }
  kept_.clear();
  unmatched_.clear();
  std::vector<std::string> keys = file.Keys(language);
  // A key that sets the same control as an earlier one replaces its text:
  // the keys naming their control go first, then those of the table.
  std::stable_partition(keys.begin(), keys.end(), [](const std::string& k) {
    const std::string lower = LowerAscii(k);
    return std::none_of(Aliases().begin(), Aliases().end(),
                        [&lower](const Alias& a) { return lower == a.key; });
  });
  for (const std::string& key : keys) {
    const std::string value = TextAsUtf8(file.ReadString(language, key, ""));
    if (!SetTarget(app, key, value)) unmatched_.push_back(key);
  }
}

bool LanguageTexts::SetTarget(Application& app, const std::string& key, const std::string& value) {
  const std::string lower = LowerAscii(key);
  if (lower.rfind("msg_", 0) == 0 || KeptWords().count(lower)) {
    kept_[lower] = value;
    return true;
  }
  // The parity lists: each list gets the text at its place, keeping its
  // selection.
  if (lower.size() == 7 && lower.rfind("parite", 0) == 0 && lower[6] >= '0' && lower[6] <= '3') {
    const int at = lower[6] - '0';
    bool any = false;
    for (auto& [list, items] : lists_) {
      if (LowerAscii(list->Name()) != "cbx_ag_parite" &&
          LowerAscii(list->Name()) != "cbx_ag_focus_parite")
        continue;
      ComboBox* box = list;
      std::vector<std::string> now = box->Items();
      if (at >= static_cast<int>(now.size())) continue;
      now[at] = value;
      const int index = box->ItemIndex();
      box->SetItems(now);
      box->SetItemIndex(index);
      any = true;
    }
    return any;
  }
  const bool caption = EndsWith(lower, ".caption") || EndsWith(lower, ".text");
  const bool hint = EndsWith(lower, ".hint");
  if (!caption && !hint) return false;
  std::string stem = key.substr(0, key.rfind('.'));
  auto set = [&](Control& c) {
    if (caption) c.SetCaption(value);
    if (hint) c.SetHint(value);
  };
  for (const Alias& a : Aliases()) {
    if (lower != a.key) continue;
    bool any = false;
    if (Window* w = app.FindWindow(a.window)) {
      for (const char* name : a.controls) {
        if (Control* c = w->Find(name)) {
          set(*c);
          any = true;
        }
      }
    }
    return any;
  }
  // "FRM_BTNPref.LBL_Script": a control of that window.
  if (const size_t dot = stem.find('.'); dot != std::string::npos) {
    Window* w = app.FindWindow("T" + stem.substr(0, dot));
    Control* c = w ? w->Find(stem.substr(dot + 1)) : nullptr;
    if (c) set(*c);
    return c != nullptr;
  }
  bool any = false;
  // A window's title: its name without the leading T.
  for (Window* w : app.Windows()) {
    if (caption && LowerAscii(w->Name()) == "t" + LowerAscii(stem)) {
      w->SetCaption(value);
      any = true;
    }
  }
  if (any) return true;
  // Every control of that name, in any window (shared keys set them all).
  for (Window* w : app.Windows()) {
    if (Control* c = w->Find(stem)) {
      set(*c);
      any = true;
    }
  }
  return any;
}

std::string LanguageTexts::Text(std::string_view key, std::string_view fallback) const {
  const auto it = kept_.find(LowerAscii(key));
  if (it != kept_.end()) return it->second;
  const auto word = KeptWords().find(LowerAscii(key));
  if (word != KeptWords().end() && fallback.empty()) return word->second;
  return std::string(fallback);
}

std::vector<std::string> LanguageTexts::Available(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
    const std::string file = entry.path().filename().string();
    const std::string lower = LowerAscii(file);
    if (lower.size() > 9 && lower.rfind("lang_", 0) == 0 && EndsWith(lower, ".ini")) {
      names.push_back(file.substr(5, file.size() - 9));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string LanguageTexts::FilePath(const std::string& directory, const std::string& language) {
  const std::string wanted = LowerAscii("Lang_" + language + ".ini");
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
    if (LowerAscii(entry.path().filename().string()) == wanted) return entry.path().string();
  }
  return (std::filesystem::path(directory) / ("Lang_" + language + ".ini")).string();
}

}  // namespace orniva
