// The program's windows and the order in which they are created.
#include "app/TrainerWindows.h"

#include <algorithm>
#include <map>

#include "app/DataFileReports.h"
#include "app/InterfaceModel.h"
#include "app/WindowPlaces.h"
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
TKeyDialogForm* fmOzhidau = nullptr;
TKeyDialogForm* fmOtkaz = nullptr;
TForm* fmStartState = nullptr;
TfmPusk* fmPusk = nullptr;

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

namespace {

// A window whose dialogue is not built yet: its menu items only say so in the console.
TTrainerForm* StandIn(TTrainerForm* f)
{
    f->StandIn = true;
    return f;
}

// The class of each window that has one; the others are plain named forms.
std::map<std::string, TWindowMaker>& WindowClasses()
{
    static std::map<std::string, TWindowMaker> classes = {
        {"fmMessage", [] { return fmMessage = new TfmMessage; }},
        {"fmConsole", [] { return fmConsole = new TfmConsole; }},
        {"fmError", [] { return fmError = new TfmError; }},
        {"fmInfo", [] { return fmInfo = new TfmInfo; }},
        {"fmActiveHelp", [] { return fmActiveHelp = new TfmActiveHelp; }},
        {"fmStartState", [] { return fmStartState = new TfmStartState; }},
        {"fmTaskMaker", [] { return fmTaskMaker = new TfmTaskMaker; }},
        {"fmPusk", [] { return fmPusk = new TfmPusk; }},
        {"fmCommutatorMessage", [] { return fmCommutatorMessage = new TfmCommutatorMessage; }},
        {"fmSectionsRoute", [] { return fmSectionsRoute = new TfmSectionsRoute; }},
        {"fmAbout", [] { return fmAbout = new TfmAbout; }},
        {"fmKeyBoard", [] { return fmKeyBoard = new TfmKeyBoard; }},
    };
    return classes;
}

} // namespace

void AddWindowClass(const std::string& name, TWindowMaker make) { WindowClasses()[name] = std::move(make); }

void CreateTrainerWindows(const std::function<TfmMain*()>& makeMain)
{
    ResetDataFileReports();
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
        if (auto* d = dynamic_cast<TTrainerForm*>(f)) {
            try {
                d->Init();
            } catch (const TDataFileError& e) {
                ReportDataFileMessage(e.File, e.Message);
            } catch (const std::exception& e) {
                Application().ShowException(e);
            }
        }
    }
    PlaceTrainerToolWindows();
}

void DestroyTrainerWindows()
{
    ResetDataFileReports();
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
    fmOzhidau = nullptr;
    fmOtkaz = nullptr;
    fmStartState = nullptr;
    fmPusk = nullptr;
}
