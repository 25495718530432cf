// The trainer's windows besides the main window: each one global instance, created at program
// start in a fixed order with the main window first. The windows here carry what the main window
// reaches by name (the two answer dialogues of an incoming call); the small windows around the
// panel are in UtilityWindows.h, the dialogues and channel windows in dialogues/, which build on
// TrainerForms.h and TrainerBus.h and never on the main window. Each window that has a class is
// made through a name -> class table: the program's own windows are in TrainerWindows.cpp, the
// dialogues add theirs (RegisterDialogueWindows) before the windows are created; the other
// windows are plain named forms.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/TrainerForms.h"
#include "app/UtilityWindows.h"
#include "models/base/Containers.h"
#include "platform/qt/Forms.h"

class TfmMain;

extern TfmMain* fmMain;
extern TfmMessage* fmMessage;
extern TfmConsole* fmConsole;
extern TfmError* fmError;
extern TfmInfo* fmInfo;
extern TfmActiveHelp* fmActiveHelp;
extern TKeyDialogForm* fmOzhidau;
extern TKeyDialogForm* fmOtkaz;
extern TForm* fmStartState;
extern TfmPusk* fmPusk;

// The names of the program's windows in the order they are created; "fmMain" first.
const std::vector<std::string>& TrainerWindowNames();

// A window's class: makes the window (and sets its global instance where it has one).
using TWindowMaker = std::function<TForm*()>;
// Adds or replaces the class of the window with that name.
void AddWindowClass(const std::string& name, TWindowMaker make);

// Creates every window in that order, the main window through makeMain (its definition), and
// sets the global instances.
void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain);
// Destroys them again, last created first (tests).
void DestroyTrainerWindows();
