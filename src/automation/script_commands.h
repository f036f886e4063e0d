#pragma once

namespace orniva {

class TFRM_Script;
class TFRM_Message;

// Registers the commands "Control, dialogs and sounds" that exist so far
// (wait, message.show, beep, playsound) and those of the message window
// (messagebox.show, messagebox.showwait, messagebox.clear, messagebox.hide)
// with the script window's interpreter, and lets the message window's
// "Poursuivre" continue a waiting script.
void RegisterControlCommands(TFRM_Script& script, TFRM_Message& message);

}  // namespace orniva
