// The trainer's windows besides the main window: each one global instance, created at program
// start in a fixed order with the main window first. The windows here carry what the main window
// reaches by name (the two answer dialogues of an incoming call); the small windows around the
// panel are in UtilityWindows.h, the dialogues and channel windows (the movement orders with their
// signal lists and the electro-mechanic's with its sealed-button list among them) in dialogues/.
// Each window that has a class is made through a name -> class table (TrainerWindows.cpp); the
// other windows are plain named forms.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/StationLists.h"
#include "app/UtilityWindows.h"
#include "models/base/Containers.h"
#include "platform/qt/Forms.h"

class ISwitchboardKey;
class TfmMain;
class TfmManevrMove;
class TfmTrainMove;
class TfmManevrMoveP;
class TfmElectroMex;  // app/dialogues/ElectroMechanic.h

// A form made in code, named as its global instance.
class TTrainerForm : public TForm {
    VELO_CLASS(TTrainerForm, TForm)
public:
    explicit TTrainerForm(const std::string& name, const std::string& caption = "");
    // Made only so that the window can be found by name: its dialogue is not built yet, and
    // opening it writes a line in the console instead (TfmMain::TrainerWindow).
    bool StandIn = false;

protected:
    // A control of this form placed on its client area.
    template <class T>
    T* AddControl(const std::string& name)
    {
        T* c = new T(this);
        c->SetName(name);
        c->SetParent(this);
        return c;
    }
};

// A dialogue opened from a ringing switchboard key ("Очікую", "Відказ").
class TKeyDialogForm : public TTrainerForm {
    VELO_CLASS(TKeyDialogForm, TTrainerForm)
public:
    using TTrainerForm::TTrainerForm;
    ISwitchboardKey* OwnerKey = nullptr;
};

extern TfmMain* fmMain;
extern TfmMessage* fmMessage;
extern TfmConsole* fmConsole;
extern TfmError* fmError;
extern TfmInfo* fmInfo;
extern TfmActiveHelp* fmActiveHelp;
extern TfmManevrMove* fmManevrMove;
extern TfmTrainMove* fmTrainMove;
extern TfmManevrMoveP* fmManevrMoveP;
extern TfmElectroMex* fmElectroMex;
extern TKeyDialogForm* fmOzhidau;
extern TKeyDialogForm* fmOtkaz;
extern TForm* fmStartState;
extern TfmPusk* fmPusk;

// The names of the program's windows in the order they are created; "fmMain" first.
const std::vector<std::string>& TrainerWindowNames();

// Creates every window in that order, the main window through makeMain (its definition), and
// sets the global instances.
void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain);
// Destroys them again, last created first (tests); the next run may report every file again.
void DestroyTrainerWindows();

// Shows the first refused line of a station list file in a message box naming the file and the
// line. Several windows read the same file: only the first message about a file is shown in a
// run.
void ReportDataFileProblems(const std::string& file, const TDataLineProblems& problems);
// The same for a message that already names the file and the line.
void ReportDataFileMessage(const std::string& file, const std::string& message);
