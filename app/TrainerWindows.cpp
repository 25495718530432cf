// The program's windows and the order in which they are created.
#include "app/TrainerWindows.h"

#include <algorithm>

#include "app/InterfaceModel.h"
#include "app/scenario/StartState.h"
#include "app/scenario/TaskMaker.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

TfmMain* fmMain = nullptr;
TfmMessage* fmMessage = nullptr;
TfmConsole* fmConsole = nullptr;
TfmError* fmError = nullptr;
TfmInfo* fmInfo = nullptr;
TfmActiveHelp* fmActiveHelp = nullptr;
TfmManevrMove* fmManevrMove = nullptr;
TfmTrainMove* fmTrainMove = nullptr;
TfmManevrMoveP* fmManevrMoveP = nullptr;
TfmElectroMex* fmElectroMex = nullptr;
TKeyDialogForm* fmOzhidau = nullptr;
TKeyDialogForm* fmOtkaz = nullptr;
TForm* fmStartState = nullptr;
TfmPusk* fmPusk = nullptr;

TTrainerForm::TTrainerForm(const std::string& name, const std::string& caption) : TForm(nullptr)
{
    SetName(name);
    SetCaption(caption);
}

TSignalOrderForm::TSignalOrderForm(const std::string& name, const std::string& caption) : TTrainerForm(name, caption)
{
    cbToSignal = AddControl<TComboBox>("cbToSignal");
    cbToSignal->SetSorted(true);
    cbOverSignal = AddControl<TComboBox>("cbOverSignal");
    cbOverSignal->SetSorted(true);
}

TfmElectroMex::TfmElectroMex() : TTrainerForm("fmElectroMex", "")
{
    cbButtons = AddControl<TComboBox>("cbButtons");
}

TChannelForm::TChannelForm(const std::string& name) : TTrainerForm(name, "")
{
    mMessage = AddControl<TMemo>("mMessage");
    mMessage->SetReadOnly(true);
    mMessage->SetAlign(alClient);
    // Side by side over the parks, below the main menu, so that the three channels can be read
    // together.
    const int slot = name == "fmTrain" ? 0 : name == "fmGromk" ? 1 : 2;
    SetBounds(30 + slot * 320, 120, 300, 140);
}

// ---- creation ----

namespace {

std::vector<TForm*>& Created()
{
    static std::vector<TForm*> l;
    return l;
}

} // namespace

const std::vector<std::string>& TrainerWindowNames()
{
    static const std::vector<std::string> names = {
        "fmMain", "fmAbout", "fmActiveHelp", "fmCommutatorMessage", "fmConsole", "fmVozvratPom", "fmDNCLoko",
        "fmDNCVozvrat", "fmError", "fmGromk", "fmInfo", "fmKurbel", "fmLocoToHelp", "fmLocoToTrain", "fmManevr",
        "fmManevrMove", "fmManevrMoveP", "fmManevrOtc", "fmManevrPritc", "fmMessage", "fmOtkaz", "fmOtpravlenie",
        "fmOzhidau", "fmPassMove", "fmPribivaet", "fmPribivaetPrig", "fmPribivaetR", "fmPribivaetT", "fmPusk",
        "fmSectionsRoute", "fmSnyatOgr", "fmSnyatZakl", "fmStartState", "fmSwitchState", "fmPredupr", "fmTaskMaker",
        "fmTrain", "fmTrainMove", "fmPomOtc", "fmTrainOut", "fmTrainPritc", "fmUbrat", "fmUvagaLokoPritc",
        "fmUvagaRospusk", "fmUvagaTrainOut", "fmZacrepit", "fmZaprosDNC", "fmZaprosDSP", "fmSwitchTurn",
        "fmElectroMex", "fmPassOut", "fmZamkSwitch", "fmContinueMove", "fmDNCOnHelp", "fmTrainOtc",
        "fmSectionState", "fmKeyBoard",
    };
    return names;
}

void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain)
{
    auto standIn = [](TTrainerForm* f) {
        f->StandIn = true;
        return f;
    };
    for (const std::string& name : TrainerWindowNames()) {
        TForm* f = nullptr;
        if (name == "fmMain") f = fmMain = makeMain();
        else if (name == "fmMessage") f = fmMessage = new TfmMessage;
        else if (name == "fmConsole") f = fmConsole = new TfmConsole;
        else if (name == "fmError") f = fmError = new TfmError;
        else if (name == "fmInfo") f = fmInfo = new TfmInfo;
        else if (name == "fmActiveHelp") f = fmActiveHelp = new TfmActiveHelp;
        else if (name == "fmManevrMove") f = standIn(fmManevrMove = new TfmManevrMove);
        else if (name == "fmTrainMove") f = standIn(fmTrainMove = new TfmTrainMove);
        else if (name == "fmManevrMoveP") f = standIn(fmManevrMoveP = new TfmManevrMoveP);
        else if (name == "fmElectroMex") f = standIn(fmElectroMex = new TfmElectroMex);
        else if (name == "fmOzhidau") f = standIn(fmOzhidau = new TKeyDialogForm(name));
        else if (name == "fmOtkaz") f = standIn(fmOtkaz = new TKeyDialogForm(name));
        else if (name == "fmGromk" || name == "fmManevr" || name == "fmTrain") f = new TChannelForm(name);
        else if (name == "fmStartState") f = fmStartState = new TfmStartState;
        else if (name == "fmTaskMaker") f = fmTaskMaker = new TfmTaskMaker;
        else if (name == "fmPusk") f = fmPusk = new TfmPusk;
        else if (name == "fmCommutatorMessage") f = fmCommutatorMessage = new TfmCommutatorMessage;
        else if (name == "fmSectionsRoute") f = fmSectionsRoute = new TfmSectionsRoute;
        else if (name == "fmAbout") f = fmAbout = new TfmAbout;
        else if (name == "fmKeyBoard") f = fmKeyBoard = new TfmKeyBoard;
        else f = standIn(new TTrainerForm(name));
        Created().push_back(f);
    }
}

void DestroyTrainerWindows()
{
    auto& l = Created();
    while (!l.empty()) {
        delete l.back();
        l.pop_back();
    }
    fmMain = nullptr;
    fmMessage = nullptr;
    fmConsole = nullptr;
    fmError = nullptr;
    fmInfo = nullptr;
    fmActiveHelp = nullptr;
    fmManevrMove = nullptr;
    fmTrainMove = nullptr;
    fmManevrMoveP = nullptr;
    fmElectroMex = nullptr;
    fmOzhidau = nullptr;
    fmOtkaz = nullptr;
    fmStartState = nullptr;
    fmPusk = nullptr;
}
