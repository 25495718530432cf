// The program's windows and the order in which they are created.
#include "app/TrainerWindows.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/InterfaceModel.h"
#include "app/dialogues/Announcements.h"
#include "app/dialogues/ChannelWindows.h"
#include "app/dialogues/MovementOrders.h"
#include "app/dialogues/RadioDialogues.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/PostDialogues.h"
#include "app/dialogues/SwitchboardDialogues.h"
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

// ---- creation ----

namespace {

std::vector<TForm*>& Created()
{
    static std::vector<TForm*> l;
    return l;
}

// The data files of this run about which a message was shown.
std::set<std::string>& ReportedFiles()
{
    static std::set<std::string> files;
    return files;
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

namespace {

using TWindowMaker = std::function<TForm*()>;

// A window whose dialogue is not built yet: its menu items only say so in the console.
TTrainerForm* StandIn(TTrainerForm* f)
{
    f->StandIn = true;
    return f;
}

// The class of each window that has one; the others are plain named forms.
const std::map<std::string, TWindowMaker>& WindowClasses()
{
    static const std::map<std::string, TWindowMaker> classes = {
        {"fmMessage", [] { return fmMessage = new TfmMessage; }},
        {"fmConsole", [] { return fmConsole = new TfmConsole; }},
        {"fmError", [] { return fmError = new TfmError; }},
        {"fmInfo", [] { return fmInfo = new TfmInfo; }},
        {"fmActiveHelp", [] { return fmActiveHelp = new TfmActiveHelp; }},
        {"fmManevrMove", [] { return fmManevrMove = new TfmManevrMove; }},
        {"fmTrainMove", [] { return fmTrainMove = new TfmTrainMove; }},
        {"fmManevrMoveP", [] { return fmManevrMoveP = new TfmManevrMoveP; }},
        {"fmElectroMex", [] { return fmElectroMex = new TfmElectroMex; }},
        {"fmStartState", [] { return fmStartState = new TfmStartState; }},
        {"fmTaskMaker", [] { return fmTaskMaker = new TfmTaskMaker; }},
        {"fmPusk", [] { return fmPusk = new TfmPusk; }},
        {"fmCommutatorMessage", [] { return fmCommutatorMessage = new TfmCommutatorMessage; }},
        {"fmSectionsRoute", [] { return fmSectionsRoute = new TfmSectionsRoute; }},
        {"fmAbout", [] { return fmAbout = new TfmAbout; }},
        {"fmKeyBoard", [] { return fmKeyBoard = new TfmKeyBoard; }},
        {"fmGromk", [] { return new TfmGromk; }},
        {"fmManevr", [] { return new TfmManevr; }},
        {"fmTrain", [] { return new TfmTrain; }},
        {"fmOzhidau", [] { return fmOzhidau = new TfmOzhidau; }},
        {"fmOtkaz", [] { return fmOtkaz = new TfmOtkaz; }},
        {"fmPribivaetR", [] { return new TfmPribivaetR; }},
        {"fmPribivaetT", [] { return new TfmPribivaetT; }},
        {"fmZaprosDNC", [] { return new TfmZaprosDNC; }},
        {"fmZaprosDSP", [] { return new TfmZaprosDSP; }},
        {"fmTrainOut", [] { return new TfmTrainOut; }},
        {"fmPassOut", [] { return new TfmPassOut; }},
        {"fmDNCVozvrat", [] { return new TfmDNCVozvrat; }},
        {"fmDNCLoko", [] { return new TfmDNCLoko; }},
        {"fmDNCOnHelp", [] { return new TfmDNCOnHelp; }},
        {"fmOtpravlenie", [] { return new TfmOtpravlenie; }},
        {"fmTrainPritc", [] { return new TfmTrainPritc; }},
        {"fmPassMove", [] { return new TfmPassMove; }},
        {"fmManevrOtc", [] { return new TfmManevrOtc; }},
        {"fmManevrPritc", [] { return new TfmManevrPritc; }},
        {"fmLocoToHelp", [] { return new TfmLocoToHelp; }},
        {"fmPomOtc", [] { return new TfmPomOtc; }},
        {"fmLocoToTrain", [] { return new TfmLocoToTrain; }},
        {"fmVozvratPom", [] { return new TfmVozvratPom; }},
        {"fmContinueMove", [] { return new TfmContinueMove; }},
        {"fmTrainOtc", [] { return new TfmTrainOtc; }},
        {"fmPribivaet", [] { return new TfmPribivaet; }},
        {"fmPribivaetPrig", [] { return new TfmPribivaetPrig; }},
        {"fmUvagaTrainOut", [] { return new TfmUvagaTrainOut; }},
        {"fmUvagaRospusk", [] { return new TfmUvagaRospusk; }},
        {"fmUvagaLokoPritc", [] { return new TfmUvagaLokoPritc; }},
        {"fmPredupr", [] { return new TfmPredupr; }},
        {"fmSwitchState", [] { return new TfmSwitchState; }},
        {"fmSectionState", [] { return new TfmSectionState; }},
        {"fmSwitchTurn", [] { return new TfmSwitchTurn; }},
        {"fmZamkSwitch", [] { return new TfmZamkSwitch; }},
        {"fmSnyatZakl", [] { return new TfmSnyatZakl; }},
        {"fmKurbel", [] { return new TfmKurbel; }},
        {"fmZacrepit", [] { return new TfmZacrepit; }},
        {"fmUbrat", [] { return new TfmUbrat; }},
        {"fmSnyatOgr", [] { return new TfmSnyatOgr; }},
    };
    return classes;
}

} // namespace

void ReportDataFileMessage(const std::string& file, const std::string& message)
{
    if (!ReportedFiles().insert(file).second) return;
    Application().ShowException(Exception(message));
}

void ReportDataFileProblems(const std::string& file, const TDataLineProblems& problems)
{
    if (problems.empty()) return;
    ReportDataFileMessage(file, DataLineMessage(file, problems.front().Line, problems.front().Reason));
}

void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain)
{
    ReportedFiles().clear();
    for (const std::string& name : TrainerWindowNames()) {
        TForm* f = nullptr;
        if (name == "fmMain") {
            f = fmMain = makeMain();
        } else {
            auto maker = WindowClasses().find(name);
            f = maker != WindowClasses().end() ? maker->second() : StandIn(new TTrainerForm(name));
        }
        Created().push_back(f);
        // The second phase: a dialogue reads its data file once it is built. A fault there (a
        // list overflowing) is shown, once for each file, and the program goes on with what was
        // read.
        if (auto* d = dynamic_cast<TDialogueForm*>(f)) {
            try {
                d->Init();
            } catch (const TDataFileError& e) {
                ReportDataFileMessage(e.File, e.Message);
            } catch (const std::exception& e) {
                Application().ShowException(e);
            }
        }
    }
}

void DestroyTrainerWindows()
{
    ReportedFiles().clear();
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
