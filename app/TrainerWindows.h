// The trainer's windows besides the main window: each one global instance, created at program
// start in a fixed order with the main window first. The windows here carry what the main window
// reaches by name (the message window, the console log, the error list, the information and help
// windows, the signal lists of the movement orders, the sealed-button list of the
// electro-mechanic dialogue, the two answer dialogues of an incoming call); the other windows are
// plain named forms.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "models/Containers.h"
#include "platform/qt/Forms.h"

class ISwitchboardKey;
class TfmMain;

// A form made in code, named as its global instance.
class TTrainerForm : public TForm {
    VELO_CLASS(TTrainerForm, TForm)
public:
    explicit TTrainerForm(const std::string& name, const std::string& caption = "");

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

// Receiver 6: a text shown to the trainee.
class TfmMessage : public TTrainerForm {
    VELO_CLASS(TfmMessage, TTrainerForm)
public:
    TfmMessage();
    TMemo* mMessage;
};

// The operator console with the model event log.
class TfmConsole : public TTrainerForm {
    VELO_CLASS(TfmConsole, TTrainerForm)
public:
    TfmConsole();
    void AddConsoleEvent(const std::string& line);
    TMemo* Memo1;
};

// The list of the trainee's errors.
class TfmError : public TTrainerForm {
    VELO_CLASS(TfmError, TTrainerForm)
public:
    TfmError();
    TListBox* ListBox;
};

// Train states (ListBox1) and the train approach list (ListBox2).
class TfmInfo : public TTrainerForm {
    VELO_CLASS(TfmInfo, TTrainerForm)
public:
    TfmInfo();
    // [4 36 n text]: the train-state line that begins with n gets the text after its first "-".
    void ReplaceTrainState(const std::string& mes);
    // [4 37 flag text]: the text on top of ListBox1 (flag not 0) or ListBox2.
    void InsertInfoLine(const std::string& mes);
    TListBox* ListBox1;
    TListBox* ListBox2;
};

class TfmActiveHelp : public TTrainerForm {
    VELO_CLASS(TfmActiveHelp, TTrainerForm)
public:
    TfmActiveHelp();
    // [4 38 text]: the text as a new line.
    void AppendHelpLine(const std::string& mes);
    TMemo* Memo1;
};

// A movement order with its two sorted signal lists and the signal Ids parallel to them.
class TSignalOrderForm : public TTrainerForm {
    VELO_CLASS(TSignalOrderForm, TTrainerForm)
public:
    TSignalOrderForm(const std::string& name, const std::string& caption);
    TComboBox* cbToSignal;
    TComboBox* cbOverSignal;
    TArray200<int> SignalIds;
};

class TfmManevrMove : public TSignalOrderForm {
    VELO_CLASS(TfmManevrMove, TSignalOrderForm)
public:
    TfmManevrMove() : TSignalOrderForm("fmManevrMove", "") {}
};

class TfmTrainMove : public TSignalOrderForm {
    VELO_CLASS(TfmTrainMove, TSignalOrderForm)
public:
    TfmTrainMove() : TSignalOrderForm("fmTrainMove", "") {}
};

class TfmManevrMoveP : public TSignalOrderForm {
    VELO_CLASS(TfmManevrMoveP, TSignalOrderForm)
public:
    TfmManevrMoveP() : TSignalOrderForm("fmManevrMoveP", "") {}
};

class TfmElectroMex : public TTrainerForm {
    VELO_CLASS(TfmElectroMex, TTrainerForm)
public:
    TfmElectroMex();
    TComboBox* cbButtons;
};

// A channel window of the partner table: partners' texts appear in its first memo.
class TChannelForm : public TTrainerForm {
    VELO_CLASS(TChannelForm, TTrainerForm)
public:
    explicit TChannelForm(const std::string& name);
    TMemo* mMessage;
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
extern TForm* fmPusk;

// The names of the program's windows in the order they are created; "fmMain" first.
const std::vector<std::string>& TrainerWindowNames();

// Creates every window in that order, the main window through makeMain (its definition), and
// sets the global instances.
void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain);
// Destroys them again, last created first (tests).
void DestroyTrainerWindows();
