// The main window: construction, the one-shot first activation, the post-section list, the
// start-up messages, the scenario loader, the clock's start and pause, and the free functions
// through which the other windows reach it.
#include "app/InterfaceModel.h"

#include <cstdio>
#include <filesystem>

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "app/DataFileReports.h"
#include "app/PanelLists.h"
#include "app/TrainerWindows.h"
#include "app/scenario/ScenarioFile.h"
#include "models/base/Utilit.h"
#include "models/interlocking/EC_Model.h"
#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {

// The depth-first walk of the first activation: what a component owns comes before it.
template <class I>
void Collect(const TComponent* owner, const char* className, TArray<I*>& into)
{
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        Collect(c, className, into);
        if (InheritsFromClassName(c, className))
            if (I* x = PanelLink<I>(c)) into.Add(x);
    }
}

void CollectModels(const TComponent* owner, TArray<TModel*>& into)
{
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        CollectModels(c, into);
        if (InheritsFromClassName(c, "TModel"))
            if (auto* m = dynamic_cast<TModel*>(c)) into.Add(m);
    }
}

} // namespace

// ---- post sections and scenario lines ----

void ReadPostSections(const std::string& path, TArray200<TSectionNumber>& sections)
{
    TSwitchStFile file = ReadSwitchSt(path);
    ReportDataFileProblems(path, file.Problems);
    for (const TSwitchStLine& l : file.Lines) {
        if (l.Kind != 2 && l.Kind != 3) continue;
        try {
            sections.Add(l);
        } catch (const Exception& e) {
            ReportDataFileMessage(path, DataLineMessage(path, l.Line, e.Message));
            return;
        }
    }
}

std::string ScenarioLineMessage(const std::string& line)
{
    return ScheduledMessage(line);
}

// ---- the window ----

TfmMain::TfmMain(const std::string& definition) : TForm(nullptr)
{
    fmMain = this;
    Handlers().Add("FormActivate", TNotifyEvent([this](TObject* s) { FormActivate(s); }));
    Handlers().Add<TSendMessageEvent>("MessageDispatcher", [this](TModel* m, std::string& mes, TlstParams* p) {
        return MessageDispatcher(m, mes, p);
    });
    Handlers().Add<TChangeStateEvent>("ModelsEvent", [this](TModel* m, AnsiString s) { ModelsEvent(m, s); });
    Handlers().Add("TrenagerStatusBarChangeTemp", TNotifyEvent([this](TObject* s) { TrenagerStatusBarChangeTemp(s); }));
    BindMainLoopHandlers();
    AddPanelHandlers();
    LoadDefinition(definition);

    MainTimer = dynamic_cast<TTimer*>(FindComponent("MainTimer"));
    EC_Bliper = dynamic_cast<TTimer*>(FindComponent("EC_Bliper"));
    ForeheadPanel = dynamic_cast<TPanel*>(FindComponent("ForeheadPanel"));
    N35 = dynamic_cast<TMenuItem*>(FindComponent("N35"));
    N66 = dynamic_cast<TMenuItem*>(FindComponent("N66"));
    // The blink pass touches no model, so it goes on while a modal window or a box is open.
    if (EC_Bliper) EC_Bliper->SkipWhileBusy = false;
    if (ForeheadPanel) {
        ForeheadPanel->SetAlign(alClient);
        ForeheadPanel->BringToFront();
    }
    ShowStartDialog = [] {
        // Only the real start dialog is shown: an empty stand-in would block the panel for nothing.
        if (fmStartState && fmStartState->InheritsFromClassName("TfmStartState")) fmStartState->ShowModal();
    };
    ConnectReceivers();

    std::error_code ec;
    StartDirectory = std::filesystem::current_path(ec).string();
    DeleteFile("ExecErr.tmp");
    ReadPostSections("DATA\\SwitchSt.dat", PostSections);
}

TfmMain::~TfmMain()
{
    if (fmMain == this) fmMain = nullptr;
}

IStatusBar* TfmMain::StatusBar() const { return Named<IStatusBar>("TrenagerStatusBar"); }
IPartnerTable* TfmMain::Connection() const { return Named<IPartnerTable>("Connection"); }
ISpeaker* TfmMain::Speaker() const { return Named<ISpeaker>("EC_Speaker"); }

void TfmMain::FormActivate(TObject*)
{
    // Once for the whole run, even when a step fails: the failure is shown and the panel stays covered.
    if (activated) return;
    activated = true;
    if (!Visible()) {
        FirstActivation();
        return;
    }
    PreparePanel();
    // The start-up messages ring calls, each ring holding everything for its sound's length; the
    // trainee sees the panel meanwhile, not an empty window.
    AfterPanelPainted([this] { RunGuarded([this] { StartRun(); }); });
}

void TfmMain::FirstActivation()
{
    PreparePanel();
    StartRun();
}

void TfmMain::PreparePanel()
{
    CollectComponents();
    // The trainer cannot run a lesson without automata and car types; headless models can.
    for (unsigned i = 0; i < Models.Count(); ++i) {
        if (auto* t = dynamic_cast<TTecnModel*>(*Models.Get(i))) t->StationRequired = true;
        if (auto* e = dynamic_cast<TEC_Model*>(*Models.Get(i))) e->StationRequired = true;
    }
    for (unsigned i = 0; i < Models.Count(); ++i) (*Models.Get(i))->Init();
    for (unsigned i = 0; i < Sections.Count(); ++i) (*Sections.Get(i))->Check();
    FillDialogueLists();
    if (IPartnerTable* c = Connection()) c->Check();
    ReadStartupMessages();
    if (ForeheadPanel) ForeheadPanel->Hide();
}

void TfmMain::StartRun()
{
    try {
        RunStartupMessages();
    } catch (...) {
        // No lesson on a start that failed half way: the panel is covered again.
        if (ForeheadPanel) ForeheadPanel->Show();
        throw;
    }
    if (ShowStartDialog) ShowStartDialog();
}

namespace {

// Runs its step once the watched widget has been painted: after the paint event, once the event
// loop is back, when the picture has reached the screen.
class TAfterPaint : public QObject {
public:
    TAfterPaint(QWidget* w, std::function<void()> step) : QObject(w), fStep(std::move(step))
    {
        w->installEventFilter(this);
        // A window that is never painted (minimised at start) must not hold the run back.
        QTimer::singleShot(kLatestMs, this, [this] { Fire(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        if (ev->type() == QEvent::Paint) QTimer::singleShot(0, this, [this] { Fire(); });
        return false;
    }

private:
    static constexpr int kLatestMs = 2000;
    void Fire()
    {
        if (!fStep) return;
        std::function<void()> step = std::move(fStep);
        fStep = nullptr;
        deleteLater();
        step();
    }
    std::function<void()> fStep;
};

} // namespace

void TfmMain::AfterPanelPainted(std::function<void()> step)
{
    QWidget* client = ContentWidget();
    new TAfterPaint(client, std::move(step));
    client->update();
}

void TfmMain::CollectComponents()
{
    Collect(this, "TEC_Cell", Cells);
    Collect(this, "TEC_Signal", Signals);
    Collect(this, "TEC_Switch", Switches);
    Collect(this, "TEC_ComutatorButton", Keys);
    Collect(this, "TEC_Section", Sections);
    Collect(this, "TEC_Lamp", Lamps);
    Collect(this, "TMRC_RoutePointer", RoutePointers);
    Collect(this, "TEC_ButtonLamp", ButtonLamps);
    CollectModels(this, Models);
}

void TfmMain::FillDialogueLists()
{
    TPanelLists panel;
    for (unsigned i = 0; i < Signals.Count(); ++i) {
        IPanelSignal* s = *Signals.Get(i);
        if (s->HasSigLabel()) panel.Signals.emplace_back(s->SigName(), s->GetId());
    }
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (!::InheritsFromClassName(c, "TEC_PlButton")) continue;
        if (IPanelSealedButton* b = PanelLink<IPanelSealedButton>(c)) panel.SealedButtons.push_back(b->GetButtonName());
    }
    for (int i = 0; i < Screen().FormCount(); ++i)
        if (auto* d = dynamic_cast<IPanelListsDialog*>(Screen().Forms(i))) d->FillFromPanel(panel);
}

void TfmMain::ReadStartupMessages()
{
    static const char* const kFile = "data\\trenager.ini";
    startupMessages.clear();
    std::FILE* f = OpenFile(kFile, "rb");
    if (!f) throw Exception(DataFileMessage(kFile, 0, "нет файла стартовых сообщений"));
    std::string buf;
    try {
        int r;
        while ((r = ReadDataLine(f, buf, "*")) != -1) {
            if (r != 1) continue;
            const int line = DataLineNumber(f);
            // As the scenario loader does: a message for a receiver without a model would ask
            // the operator before the lesson has even been chosen.
            std::string why = ReceiverProblem(buf);
            if (!why.empty()) throw Exception(DataFileMessage(kFile, line, why));
            startupMessages.emplace_back(line, buf);
        }
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    if (startupMessages.empty()) throw Exception(DataFileMessage(kFile, 0, "нет ни одного стартового сообщения"));
}

void TfmMain::RunStartupMessages()
{
    for (const auto& [line, text] : startupMessages) {
        std::string mes = text;
        try {
            MessageDispatcher(nullptr, mes, nullptr);
        } catch (const Exception& e) {
            throw Exception(DataFileMessage("data\\trenager.ini", line, e.Message));
        }
    }
}

void TfmMain::LoadScenarioFile(const AnsiString& name)
{
    std::error_code ec;
    std::filesystem::current_path(StartDirectory, ec);
    std::vector<TUnscheduledLine> skipped;
    auto send = [this](std::string& mes) { return MessageDispatcher(nullptr, mes, nullptr); };
    if (!ScheduleScenario("data\\" + name, send, skipped) || skipped.empty()) return;
    // What the run leaves out is said: a line in the console for each, one box for all.
    for (const TUnscheduledLine& l : skipped)
        if (fmConsole) fmConsole->AddConsoleEvent(SecondsToClock(static_cast<unsigned>(ModelTime)) + " " + UnscheduledConsoleLine(name, l));
    MessageBoxA(nullptr, UnscheduledText(name, skipped), Application().Title, MB_OK | MB_ICONWARNING);
}

// ---- clock ----

void TfmMain::StartClock()
{
    if (IStatusBar* bar = StatusBar()) bar->SetTemp(1);
    else if (MainTimer) MainTimer->SetInterval(1000);
    if (N35) N35->SetCaption("Пауза");
}

void TfmMain::PauseClock()
{
    if (IStatusBar* bar = StatusBar()) bar->SetTemp(0);
    else if (MainTimer) MainTimer->SetInterval(0);
    if (N35) N35->SetCaption("Пуск");
    if (fmPusk) fmPusk->ShowModal();
}

bool TfmMain::ClockStopped() const
{
    return !MainTimer || MainTimer->Interval() == 0;
}

void TfmMain::TrenagerStatusBarChangeTemp(TObject*)
{
    IStatusBar* bar = StatusBar();
    if (!bar || !MainTimer) return;
    unsigned speed = bar->Temp();
    MainTimer->SetInterval(speed == 0 ? 0 : static_cast<int>(1000 / speed));
}

void TfmMain::StartBlinking()
{
    // A running blink timer keeps its period: states set more often than every 700 ms (the
    // models at high speed) would otherwise hold every blinking element in one phase.
    if (EC_Bliper && !(EC_Bliper->Active() && EC_Bliper->Interval() == 700)) EC_Bliper->SetInterval(700);
}

// ---- free functions ----

bool SendTrainerMessage(std::string& mes)
{
    return fmMain && fmMain->MessageDispatcher(nullptr, mes, nullptr);
}

void LoadScenarioByName(const char* name)
{
    if (fmMain) fmMain->LoadScenarioFile(name ? name : "");
}

AnsiString GetStartDirectory()
{
    return fmMain ? fmMain->StartDirectory : AnsiString();
}

void SetActiveHelp(bool on)
{
    if (fmMain && fmMain->N66) fmMain->N66->SetEnabled(on);
    if (fmActiveHelp) fmActiveHelp->SetVisible(on);
}

bool InheritsFromClassName(const TComponent* c, const AnsiString& name)
{
    return c && c->InheritsFromClassName(name);
}
