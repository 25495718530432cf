// TfmMain: the trainer's main window. It carries the interlocking panel, the models, the partner
// table, the status bar, the speech player and the two timers, all made by its form definition;
// it is the hub of the message bus (MessageDispatcher) and receiver 4, the interface commands by
// which the models change the panel (InterfaceCommand).
#pragma once
#include <functional>
#include <string>

#include "app/PanelLinks.h"
#include "app/StationLists.h"
#include "app/TrainerBus.h"
#include "models/base/BusRouter.h"
#include "models/base/Containers.h"
#include "models/base/Model.h"
#include "platform/qt/Forms.h"

// Appends the track sections (kinds 2 and 3) of a "DATA\SwitchSt.dat" style file to sections,
// through the file's one reader (app/StationLists.h). A line the reader refuses is reported; so
// is the first section that does not fit, and the sections before it are kept. A missing file
// leaves the list as it is.
void ReadPostSections(const std::string& path, TArray200<TSectionNumber>& sections);

// The delay-model message that schedules one scenario line "{minutes} {message}":
// [8 4 {minutes x 60, six decimals} {message}]; empty when the line cannot be scheduled.
std::string ScenarioLineMessage(const std::string& line);

class ISwitchboardKey;
class TEC_Button;
class TEC_ComutatorButton;

class TfmMain : public TForm {
    VELO_CLASS(TfmMain, TForm)
public:
    // Builds the window from its definition (a Qt resource or a file).
    explicit TfmMain(const std::string& definition = ":/app/forms/Main.vfm");
    ~TfmMain() override;

    // ---- start (first activation) ----
    // On a shown window the panel is uncovered and painted before the start-up messages run.
    void FormActivate(TObject* Sender);
    // The work of the first activation, all at once; FormActivate runs it once.
    void FirstActivation();
    // Its two halves: collect, initialise, resolve and bind, then uncover the panel; and the
    // start-up messages with the start dialog.
    void PreparePanel();
    void StartRun();
    // Reads "data\trenager.ini" whole: a missing file, one without a message, or a line for a
    // receiver the trainer has no model for is refused with the file and the line, and the run
    // does not start.
    void ReadStartupMessages();
    // Sends what ReadStartupMessages read; a message that fails is reported with its line.
    void RunStartupMessages();
    void LoadScenarioFile(const AnsiString& name);
    // Shows the start dialog modally; tests replace it.
    std::function<void()> ShowStartDialog;

    // ---- the bus ----
    bool MessageDispatcher(TModel* Sender, std::string& mes, TlstParams* lstPar);
    void ModelsEvent(TModel* Sender, AnsiString Mess);
    bool InterfaceCommand(std::string& mes, TlstParams* lstPar);
    // The router under the dispatcher; its log records every message when recording is on.
    TBusRouter Bus;

    // ---- clock ----
    void StartClock();
    void PauseClock();
    bool ClockStopped() const;
    void TrenagerStatusBarChangeTemp(TObject* Sender);
    // One simulated second: the model time, the status bar, every model, the answer deadlines.
    void MainTimerTimer(TObject* Sender);
    // One blink phase of every blinking element; the timer stops when nothing blinks.
    void EC_BliperTimer(TObject* Sender);
    // One blink step of every cell, signal, route pointer, lamp button and lamp (lamps held lit
    // while EC_Button55 is down); the number of elements that blink.
    int BlinkPass(int phase);
    void N35Click(TObject* Sender);
    // The blink timer's phase, inverted at every blink tick.
    bool BlinkPhase = false;

    // ---- members ----
    TArray500<IPanelCell*> Cells;
    TArray200<IPanelSignal*> Signals;
    TArray200<IPanelSwitch*> Switches;
    TArray50<ISwitchboardKey*> Keys;
    TArray200<IPanelSection*> Sections;
    TArray200<IPanelLamp*> Lamps;
    TArray5<IPanelRoutePointer*> RoutePointers;
    TArray50<IPanelButtonLamp*> ButtonLamps;
    TArray10<TModel*> Models;
    TArray200<TSectionNumber> PostSections;
    AnsiString StartDirectory;
    double ModelTime = 0;
    TComponent* HeldButton = nullptr;
    bool FencingRequest = false;
    unsigned RouteCounter = 0;

    // Components the code reaches by name (null when the form has none).
    TTimer* MainTimer = nullptr;
    TTimer* EC_Bliper = nullptr;
    TPanel* ForeheadPanel = nullptr;
    TMenuItem* N35 = nullptr;
    TMenuItem* N66 = nullptr;
    IStatusBar* StatusBar() const;
    IPartnerTable* Connection() const;
    ISpeaker* Speaker() const;

    // Element look-ups: first match front to back, or null.
    IPanelSignal* FindSignal(int id) const;
    IPanelSection* FindSection(int id) const;
    IPanelCell* FindCell(int id) const;
    IPanelLamp* FindLamp(int id) const;
    IPanelButtonLamp* FindButtonLamp(int id) const;
    IPanelRoutePointer* FindRoutePointer(int id) const;
    ISwitchboardKey* FindKey(const std::string& caption) const;

    // ---- the trainee's mouse and keyboard (Handlers.cpp) ----
    void EC_ManevrSignalClick(TObject* Sender);
    void EC_TrainSignalClick(TObject* Sender);
    void EC_EndRouteClick(TObject* Sender);
    void EC_SwitchClick(TObject* Sender);
    void EC_CancelSignalClick(TObject* Sender);
    void EC_DeleteRouteClick(TObject* Sender);
    void EC_CounterClick(TObject* Sender);
    void SW_Control1Click(TObject* Sender);
    void SW_Control1ButtonUp(TObject* Sender);
    void LeftHandDown(TObject* Sender);
    void FormKeyUp(TObject* Sender, int& Key, TShiftState Shift);
    void N45Click(TObject* Sender);
    void Frame11EC_Switch1KolpachekClick(TObject* Sender);
    void N48Click(TObject* Sender);
    void Image1Click(TObject* Sender);
    void EC_Button55Click(TObject* Sender);
    void OtmSoglON(TObject* Sender);
    void OgraditClick(TObject* Sender);
    void EC_ComutatorButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void LastMesClick(TObject* Sender);
    void N53Click(TObject* Sender);
    void N2Click(TObject* Sender);
    // The dialogue-launch step of a switchboard key's pop-up item.
    void OpenKeyDialog(TMenuItem* item, TForm* dialog, const struct TDialogPresets* presets = nullptr);
    void ShowKeyMessages(TEC_ComutatorButton* key);
    void ReportLocoPosition(int loco);
    // A window of the program by name when it is the real one (its class is "T" + its name and
    // it is no stand-in); otherwise null, and the console says that the window is not there yet.
    TForm* TrainerWindow(const std::string& name);
    // Raises and deactivates a key whose menu item or answer opened no dialogue, so it shows no
    // call in progress and its next click presses it.
    static void ReleaseKey(ISwitchboardKey* key);
    // Binds a pressed key to the dialogue its menu item showed, so closing either releases both.
    void TakeKeyFor(TEC_ComutatorButton* key, TForm* dialog);
    // Text messages are on (the check mark of N53).
    bool TextMessages() const;
    // The switchboard key the menu holding the item was opened on, or null.
    static TEC_ComutatorButton* PopupKey(TMenuItem* item);
    // The sealed button the left hand holds, or null.
    TEC_Button* HeldSealedButton() const;
    bool SwitchClickPhase = false;

private:
    // Puts the handlers of Handlers.cpp into the table the form definition binds.
    void AddPanelHandlers();
    void CollectComponents();
    void FillDialogueLists();
    void ConnectReceivers();
    bool ShowOperatorBox(std::string& mes);
    void StartBlinking();
    // Runs step (once) when the window's inside has next been painted.
    void AfterPanelPainted(std::function<void()> step);
    void BindMainLoopHandlers();
    bool inMainTick = false;
    bool inBlinkTick = false;
    template <class I>
    I* Named(const std::string& name) const
    {
        return PanelLink<I>(FindComponent(name));
    }

    bool activated = false;
    // The start-up messages with their line numbers, read before the panel is uncovered.
    std::vector<std::pair<int, std::string>> startupMessages;
    // The securing norms the help lines name shoe counts from, read at the first that asks.
    TZacrepitNorms securingNorms;
    bool securingNormsRead = false;
};

// Free functions of the other windows (SendTrainerMessage in TrainerBus.h).
void LoadScenarioByName(const char* name);
AnsiString GetStartDirectory();
void SetActiveHelp(bool on);
// True when the component's class or an ancestor class has exactly this name.
bool InheritsFromClassName(const TComponent* c, const AnsiString& name);
