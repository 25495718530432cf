// The start dialog: the scenario list, "Пуск", "Вихід" and "Підхід...".
#include "app/scenario/StartState.h"

#include <filesystem>

#include "app/InterfaceModel.h"
#include "app/TrainerWindows.h"
#include "app/scenario/ScenarioFile.h"
#include "app/scenario/TaskMaker.h"
#include "models/base/Model.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

namespace {

// The sample lesson: chosen first, so that "Пуск" pressed at once starts a run in which trains
// come (the empty scenario, first by name, would start a station where nothing happens).
const char* const kFirstChoice = "lesson1.shd";

// Back to the program's start directory, where "data" is.
void ToStartDirectory()
{
    std::string dir = GetStartDirectory();
    std::error_code ec;
    if (!dir.empty()) std::filesystem::current_path(dir, ec);
}

} // namespace

TfmStartState::TfmStartState() : TForm(nullptr)
{
    Handlers().Add("FormActivate", TNotifyEvent([this](TObject* s) { FormActivate(s); }));
    Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
    Handlers().Add("Button2Click", TNotifyEvent([this](TObject* s) { Button2Click(s); }));
    Handlers().Add("Button3Click", TNotifyEvent([this](TObject* s) { Button3Click(s); }));
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    LoadDefinition(":/app/scenario/forms/StartState.vfm");
    lbDataFiles = FindChild<TListBox>("lbDataFiles");
    CheckBox1 = FindChild<TCheckBox>("CheckBox1");
    Button1 = FindChild<TButton>("Button1");
    Button2 = FindChild<TButton>("Button2");
    Button3 = FindChild<TButton>("Button3");

    LoadScenario = [](const std::string& name) { LoadScenarioByName(name.c_str()); };
    DockHelp = [] {
        if (fmActiveHelp) fmActiveHelp->miZakrClick(fmActiveHelp);
    };
    SetActiveHelp = [](bool on) { ::SetActiveHelp(on); };
    Send = [](std::string& mes) { return SendTrainerMessage(mes); };
}

TfmStartState::~TfmStartState()
{
    if (fmStartState == this) fmStartState = nullptr;
}

std::string TfmStartState::Selected() const
{
    int i = lbDataFiles->ItemIndex();
    return i < 0 ? std::string() : lbDataFiles->Items()[i];
}

void TfmStartState::FormActivate(TObject*)
{
    leaving = false;
    std::string keep = Selected();
    ToStartDirectory();
    TStrings& items = lbDataFiles->Items();
    items.Clear();
    for (const std::string& n : ListScenarioFiles("data")) items.Add(n);
    if (!keep.empty()) lbDataFiles->SetItemIndex(items.IndexOf(keep));
    if (lbDataFiles->ItemIndex() < 0) lbDataFiles->SetItemIndex(items.IndexOf(kFirstChoice));
}

void TfmStartState::Button1Click(TObject*)
{
    std::string name = Selected();
    if (name.empty()) throw Exception("Не указан вариант тренировки");
    ToStartDirectory();
    if (!FileExists("data\\" + name)) {
        FormActivate(this);
        throw Exception("Не найден файл сценария data\\" + name);
    }
    leaving = true;
    Close();
    if (LoadScenario) LoadScenario(name);
    if (DockHelp) DockHelp();
    if (SetActiveHelp) SetActiveHelp(CheckBox1->Checked());
    std::string mes = Format("%d %d", brInterface, 28);
    if (Send) Send(mes);
}

void TfmStartState::Button2Click(TObject*)
{
    leaving = true;
    Close();
    std::string mes = Format("%d %d", brInterface, 23);
    if (Send) Send(mes);
}

void TfmStartState::Button3Click(TObject*)
{
    ToStartDirectory();
    if (!fmTaskMaker) return;
    std::string name = Selected();
    fmTaskMaker->OnClosed = [this] { FormActivate(this); };
    fmTaskMaker->OpenFile(name.empty() ? std::string() : "data\\" + name);
    fmTaskMaker->ShowModal();
}

void TfmStartState::FormClose(TObject*, TCloseAction&)
{
    if (leaving) return;
    leaving = true;
    std::string mes = Format("%d %d", brInterface, 23);
    if (Send) Send(mes);
}
