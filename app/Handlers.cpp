// What the trainee does on the main window: route, switch and control buttons of the panel
// become bus messages to the interlocking model; sealed buttons are held with the left hand
// (Shift); switch caps; the fencing request; the switchboard keys, whose calls are taken, spoken
// or shown, repeated and answered through pop-up menus that open the dialogues; the main menu.
// Every message is built in its own text and sent through MessageDispatcher; replies are ignored
// unless a step reads them.
#include <cstdio>

#include "app/InterfaceModel.h"
#include "app/KeyDialogs.h"
#include "app/TrainerWindows.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/MovementTalks.h"
#include "models/base/Utilit.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Signal.h"
#include "panel/EC_Speaker.h"
#include "panel/EC_Switch.h"
#include "platform/core/CFormat.h"

namespace {

// The Id of the element that raised an event (buttons, signals, switches); 0 for anything else.
int IdOf(TObject* sender)
{
    if (auto* b = dynamic_cast<TEC_Button*>(sender)) return b->Id;
    if (auto* s = dynamic_cast<TEC_Signal*>(sender)) return s->Id;
    if (auto* w = dynamic_cast<TEC_Switch*>(sender)) return w->Id;
    return 0;
}

enum class TItemAction { Show, Template, Position };

// One pop-up item that opens a dialogue (or reports a loco's position), with its presets.
struct TMenuEntry {
    const char* Item;
    TItemAction Action;
    const char* Dialog;
    TDialogPresets Presets;
};

TDialogPresets Post(int post)
{
    TDialogPresets p;
    p.Post = post;
    return p;
}

TDialogPresets Loco(int loco)
{
    TDialogPresets p;
    p.Loco = loco;
    return p;
}

TDialogPresets Direction(int direction)
{
    TDialogPresets p;
    p.Direction = direction;
    return p;
}

TDialogPresets RegCode(int code)
{
    TDialogPresets p;
    p.RegCode = code;
    return p;
}

TDialogPresets PassOut(int direction, int code, const char* label)
{
    TDialogPresets p;
    p.Direction = direction;
    p.RegCode = code;
    p.Label3 = label;
    return p;
}

TDialogPresets Kurbel(const char* post, int executor)
{
    TDialogPresets p;
    p.PostLabel = post;
    p.Executor = executor;
    return p;
}

const std::vector<TMenuEntry>& MenuEntries()
{
    using A = TItemAction;
    const char* const passenger = "Пассажирский поезд №";
    const char* const suburban = "Пригородный поезд №";
    static const std::vector<TMenuEntry> entries = {
        // the eastern neighbour station
        {"N14", A::Template, "fmOzhidau", {}},
        {"N15", A::Template, "fmOtkaz", {}},
        {"N63", A::Template, "fmPassOut", PassOut(2, 302, passenger)},
        {"N64", A::Template, "fmPassOut", PassOut(2, 304, suburban)},
        {"N67", A::Template, "fmTrainOut", Direction(2)},
        {"N65", A::Template, "fmZaprosDSP", RegCode(144)},
        // the western neighbour station
        {"MenuItem1", A::Template, "fmOzhidau", {}},
        {"MenuItem2", A::Template, "fmOtkaz", {}},
        {"N43", A::Template, "fmPassOut", PassOut(1, 302, passenger)},
        {"N55", A::Template, "fmPassOut", PassOut(1, 304, suburban)},
        {"N59", A::Template, "fmZaprosDSP", RegCode(141)},
        {"N60", A::Template, "fmTrainOut", Direction(1)},
        // the loudspeaker channel
        {"N4", A::Show, "fmZacrepit", Post(3)},
        {"N5", A::Show, "fmUbrat", Post(3)},
        {"N7", A::Show, "fmZacrepit", Post(7)},
        {"N9", A::Show, "fmUbrat", Post(7)},
        {"N30", A::Show, "fmPribivaet", {}},
        {"N44", A::Show, "fmPribivaetPrig", {}},
        {"N13", A::Show, "fmPassMove", {}},
        {"N17", A::Show, "fmUvagaTrainOut", {}},
        {"N19", A::Show, "fmUvagaRospusk", {}},
        {"N32", A::Show, "fmUvagaLokoPritc", {}},
        // post 3
        {"N21", A::Template, "fmZacrepit", Post(3)},
        {"N22", A::Template, "fmUbrat", Post(3)},
        {"N20", A::Template, "fmSwitchState", Post(3)},
        {"N85", A::Template, "fmSectionState", Post(3)},
        {"N79", A::Template, "fmSwitchTurn", Post(3)},
        {"N87", A::Template, "fmZamkSwitch", Post(3)},
        {"N80", A::Template, "fmSnyatZakl", Post(3)},
        {"N78", A::Template, "fmKurbel", Kurbel("3", 3)},
        // post 7: its shoe removal opens without asking about the executor
        {"MenuItem4", A::Template, "fmZacrepit", Post(7)},
        {"MenuItem5", A::Show, "fmUbrat", Post(7)},
        {"N81", A::Template, "fmSwitchState", Post(7)},
        {"N86", A::Template, "fmSectionState", Post(7)},
        {"N83", A::Template, "fmSwitchTurn", Post(7)},
        {"N88", A::Template, "fmZamkSwitch", Post(7)},
        {"N84", A::Template, "fmSnyatZakl", Post(7)},
        {"N82", A::Template, "fmKurbel", Kurbel("7", 4)},
        // post 1
        {"N91", A::Template, "fmSwitchState", Post(1)},
        {"N92", A::Template, "fmSectionState", Post(1)},
        {"N94", A::Template, "fmSwitchTurn", Post(1)},
        {"N95", A::Template, "fmZamkSwitch", Post(1)},
        {"N96", A::Template, "fmSnyatZakl", Post(1)},
        {"N93", A::Template, "fmKurbel", Kurbel("1", 5)},
        {"N97", A::Template, "fmPredupr", {}},
        // wagon inspection, electro-mechanic, train dispatcher
        {"N27", A::Template, "fmPribivaetT", {}},
        {"N25", A::Template, "fmPribivaetR", {}},
        {"N40", A::Template, "fmSnyatOgr", {}},
        {"N89", A::Template, "fmElectroMex", {}},
        {"N57", A::Template, "fmZaprosDNC", {}},
        {"N42", A::Template, "fmDNCLoko", {}},
        {"N61", A::Template, "fmDNCOnHelp", {}},
        {"N99", A::Template, "fmDNCVozvrat", {}},
        // shunting radio: the diesel (1) and the electric loco (2)
        {"N29", A::Show, "fmManevrMove", Loco(1)},
        {"N36", A::Show, "fmManevrPritc", Loco(1)},
        {"N37", A::Show, "fmManevrOtc", Loco(1)},
        {"N47", A::Show, "fmManevrMoveP", Loco(1)},
        {"N103", A::Position, "", Loco(1)},
        {"N70", A::Show, "fmManevrMove", Loco(2)},
        {"N72", A::Show, "fmManevrPritc", Loco(2)},
        {"N73", A::Show, "fmManevrOtc", Loco(2)},
        {"N75", A::Show, "fmManevrMoveP", Loco(2)},
        {"N104", A::Position, "", Loco(2)},
        // train radio
        {"N38", A::Show, "fmTrainMove", {}},
        {"N41", A::Show, "fmTrainOtc", {}},
        {"N56", A::Show, "fmLocoToTrain", {}},
        {"N58", A::Show, "fmOtpravlenie", {}},
        {"N62", A::Show, "fmLocoToHelp", {}},
        {"N98", A::Show, "fmVozvratPom", {}},
        {"N101", A::Show, "fmPomOtc", {}},
        {"N68", A::Show, "fmContinueMove", {}},
    };
    return entries;
}

// Main-menu items that only show a window.
struct TShowEntry {
    const char* Item;
    const char* Window;
};

const TShowEntry kMainMenuShows[] = {
    {"N33", "fmInfo"},       {"N34", "fmError"},        {"N28", "fmConsole"},
    {"N50", "fmSectionsRoute"}, {"N66", "fmActiveHelp"},
};

} // namespace

void TfmMain::AddPanelHandlers()
{
    auto notify = [this](const char* name, void (TfmMain::*f)(TObject*)) {
        Handlers().Add(name, TNotifyEvent([this, f](TObject* s) { (this->*f)(s); }));
    };
    notify("EC_ManevrSignalClick", &TfmMain::EC_ManevrSignalClick);
    notify("EC_TrainSignalClick", &TfmMain::EC_TrainSignalClick);
    notify("EC_EndRouteClick", &TfmMain::EC_EndRouteClick);
    notify("EC_SwitchClick", &TfmMain::EC_SwitchClick);
    notify("EC_CancelSignalClick", &TfmMain::EC_CancelSignalClick);
    notify("EC_DeleteRouteClick", &TfmMain::EC_DeleteRouteClick);
    notify("EC_CounterClick", &TfmMain::EC_CounterClick);
    notify("SW_Control1Click", &TfmMain::SW_Control1Click);
    notify("SW_Control1ButtonUp", &TfmMain::SW_Control1ButtonUp);
    notify("LeftHandDown", &TfmMain::LeftHandDown);
    notify("N45Click", &TfmMain::N45Click);
    notify("Frame11EC_Switch1KolpachekClick", &TfmMain::Frame11EC_Switch1KolpachekClick);
    notify("N48Click", &TfmMain::N48Click);
    notify("Image1Click", &TfmMain::Image1Click);
    notify("EC_Button55Click", &TfmMain::EC_Button55Click);
    notify("OtmSoglON", &TfmMain::OtmSoglON);
    notify("OgraditClick", &TfmMain::OgraditClick);
    notify("LastMesClick", &TfmMain::LastMesClick);
    notify("N53Click", &TfmMain::N53Click);
    notify("N2Click", &TfmMain::N2Click);
    Handlers().Add<TKeyEvent>("FormKeyUp", [this](TObject* s, int& key, TShiftState shift) { FormKeyUp(s, key, shift); });
    Handlers().Add<TMouseEvent>("EC_ComutatorButtonMouseUp", [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        EC_ComutatorButtonMouseUp(s, b, sh, x, y);
    });

    for (const TShowEntry& e : kMainMenuShows) {
        std::string window = e.Window;
        Handlers().Add(std::string(e.Item) + "Click", TNotifyEvent([this, window](TObject*) {
                           if (TForm* f = TrainerWindow(window)) f->Show();
                       }));
    }
    Handlers().Add("N39Click", TNotifyEvent([this](TObject*) {
                       TForm* f = TrainerWindow("fmAbout");
                       if (!f) return;
                       f->SetTop(193);
                       f->SetLeft(202);
                       f->Show();
                   }));

    for (const TMenuEntry& e : MenuEntries()) {
        const TMenuEntry* entry = &e;
        Handlers().Add(std::string(e.Item) + "Click", TNotifyEvent([this, entry](TObject* sender) {
                           if (entry->Action == TItemAction::Position) {
                               ReportLocoPosition(entry->Presets.Loco);
                               return;
                           }
                           TForm* dialog = Screen().FindForm(entry->Dialog);
                           // Presets are set only when the dialogue opens: a busy executor leaves a
                           // dialogue already open for another post as it is.
                           auto* item = dynamic_cast<TMenuItem*>(sender);
                           if (entry->Action == TItemAction::Template) {
                               OpenKeyDialog(item, dialog, &entry->Presets);
                           } else if (TForm* f = TrainerWindow(entry->Dialog)) {
                               if (auto* p = dynamic_cast<IPresetDialog*>(f)) p->ApplyPresets(entry->Presets);
                               if (TEC_ComutatorButton* key = PopupKey(item); key && key->Down())
                                   TakeKeyFor(key, f);
                               f->Show();
                           } else if (TEC_ComutatorButton* key = PopupKey(item)) {
                               ReleaseKey(PanelLink<ISwitchboardKey>(key));
                           }
                       }));
    }
}

// ---- windows by name ----

TForm* TfmMain::TrainerWindow(const std::string& name)
{
    TForm* f = Screen().FindForm(name);
    auto* made = dynamic_cast<TTrainerForm*>(f);
    if (f && f->ClassName() == "T" + name && !(made && made->StandIn)) return f;
    if (fmConsole)
        fmConsole->AddConsoleEvent(SecondsToClock(static_cast<unsigned>(ModelTime)) + " Окно " + name + " недоступно");
    return nullptr;
}

void TfmMain::TakeKeyFor(TEC_ComutatorButton* key, TForm* dialog)
{
    // A dialogue opened from a key's menu without the executor question still answers through
    // that key: it releases the key when it closes, as a launched dialogue does. Left down, the
    // key would stay red, refuse the next call and give nothing to take on a click.
    auto* d = dynamic_cast<TKeyDialogForm*>(dialog);
    ISwitchboardKey* link = PanelLink<ISwitchboardKey>(key);
    if (d && (!d->OwnerKey || d->OwnerKey == link)) {
        d->OwnerKey = link;
        key->Dialog = dialog;
    } else {
        ReleaseKey(link);
    }
}

void TfmMain::ReleaseKey(ISwitchboardKey* key)
{
    if (!key) return;
    key->SetDown(false);
    key->DeActivate();
    key->SetOpenDialog(nullptr);
}

bool TfmMain::TextMessages() const
{
    auto* item = dynamic_cast<TMenuItem*>(FindComponent("N53"));
    return item && item->Checked();
}

TEC_ComutatorButton* TfmMain::PopupKey(TMenuItem* item)
{
    if (!item) return nullptr;
    auto* menu = dynamic_cast<TPopupMenu*>(item->GetParentMenu());
    return menu ? dynamic_cast<TEC_ComutatorButton*>(menu->PopupComponent) : nullptr;
}

TEC_Button* TfmMain::HeldSealedButton() const
{
    return dynamic_cast<TEC_Button*>(HeldButton);
}

// ---- route and control buttons ----

void TfmMain::EC_ManevrSignalClick(TObject* Sender)
{
    std::string mes = Format("%d %d %d 0", brEC, 5, IdOf(Sender));
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_TrainSignalClick(TObject* Sender)
{
    std::string mes = Format("%d %d %d 1", brEC, 5, IdOf(Sender));
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_EndRouteClick(TObject* Sender)
{
    std::string mes = Format("%d %d %d 1", brEC, 16, IdOf(Sender));
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_SwitchClick(TObject* Sender)
{
    auto* sw = dynamic_cast<TEC_Switch*>(Sender);
    if (!sw) return;
    // A blink step of the cells and signals in a phase of the switch keys' own. The blink timer
    // stops only when nothing at all blinks: lamps, lamp buttons and route pointers blink on it too.
    SwitchClickPhase = !SwitchClickPhase;
    int sum = 0;
    bool otherBlinks = false;
    ForEachOwned([&](TComponent* c) {
        if (auto* cell = dynamic_cast<TEC_Cell*>(c)) sum += cell->BlipCell(SwitchClickPhase ? 1 : 0);
        else if (auto* signal = dynamic_cast<TEC_Signal*>(c)) sum += signal->BlipSignal();
        else if (auto* lamp = dynamic_cast<TEC_Lamp*>(c)) otherBlinks |= lamp->GetState() == 2;
        else if (auto* bl = dynamic_cast<TEC_ButtonLamp*>(c)) otherBlinks |= bl->State() == 2;
        else if (auto* rp = dynamic_cast<TMRC_RoutePointer*>(c)) otherBlinks |= rp->State() >= rpsGreenBlink;
    });
    if (sum == 0 && !otherBlinks && EC_Bliper) EC_Bliper->SetInterval(0);
    std::string mes = Format("%d %d %d %d 1", brEC, 4, sw->Id, 2 - static_cast<int>(sw->Normal()));
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_CancelSignalClick(TObject*)
{
    std::string mes = Format("%d %d", brEC, 7);
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_DeleteRouteClick(TObject*)
{
    std::string mes = Format("%d %d", brEC, 9);
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::EC_CounterClick(TObject*)
{
    std::string mes = Format("%d %d", brEC, 13);
    MessageDispatcher(nullptr, mes, nullptr);
    ++RouteCounter;
    const unsigned digits[] = {RouteCounter / 1000, RouteCounter / 100 % 10, RouteCounter / 10 % 10, RouteCounter % 10};
    const char* const edits[] = {"Edit5", "Edit6", "Edit7", "Edit8"};
    for (int i = 0; i < 4; ++i)
        if (auto* e = dynamic_cast<TEdit*>(FindComponent(edits[i]))) e->SetText(Format("%u", digits[i]));
}

void TfmMain::SW_Control1Click(TObject* Sender)
{
    std::string mes = Format("%d %d %d %d", brEC, 8, IdOf(Sender), 1);
    MessageDispatcher(nullptr, mes, nullptr);
}

void TfmMain::SW_Control1ButtonUp(TObject* Sender)
{
    std::string mes = Format("%d %d %d %d", brEC, 8, IdOf(Sender), 0);
    MessageDispatcher(nullptr, mes, nullptr);
}

// ---- sealed buttons and switch caps ----

void TfmMain::LeftHandDown(TObject* Sender)
{
    auto* button = dynamic_cast<TEC_Button*>(Sender);
    if (!button) return;
    if (TEC_Button* old = HeldSealedButton(); old && old != button) {
        // The interlocking must forget the first button's auxiliary turning, or that switch could
        // later be turned under a locked or occupied section without any button held.
        if (old->Id != 0) {
            std::string mes = Format("%d %d %d 0", brEC, 18, old->Id);
            MessageDispatcher(nullptr, mes, nullptr);
        }
        HeldButton = nullptr;
        old->SetDown(false);
    }
    HeldButton = button;
    if (button->Id != 0) {
        std::string mes = Format("%d %d %d 1", brEC, 18, button->Id);
        MessageDispatcher(nullptr, mes, nullptr);
    }
}

void TfmMain::FormKeyUp(TObject*, int&, TShiftState Shift)
{
    TEC_Button* held = HeldSealedButton();
    if (!held || Shift.Contains(ssShift)) return;
    if (held->Id != 0) {
        std::string mes = Format("%d %d %d 0", brEC, 18, held->Id);
        MessageDispatcher(nullptr, mes, nullptr);
    }
    HeldButton = nullptr;
    held->SetDown(false);
}

void TfmMain::N45Click(TObject*)
{
    if (ClockStopped()) return;
    auto* menu = dynamic_cast<TPopupMenu*>(FindComponent("pmPlomb"));
    auto* button = menu ? dynamic_cast<TEC_PlButton*>(menu->PopupComponent) : nullptr;
    if (!button) return;
    button->SetPlombed(false);
    button->Repaint();
}

void TfmMain::Frame11EC_Switch1KolpachekClick(TObject* Sender)
{
    auto* menu = dynamic_cast<TPopupMenu*>(FindComponent("pmKolpachek"));
    auto* sw = dynamic_cast<TComponent*>(Sender);
    if (!menu || !sw) return;
    menu->PopupComponent = sw;
    TPoint p = Screen().CursorPos();
    menu->Popup(p.X, p.Y);
}

void TfmMain::N48Click(TObject*)
{
    auto* menu = dynamic_cast<TPopupMenu*>(FindComponent("pmKolpachek"));
    if (auto* sw = menu ? dynamic_cast<TEC_Switch*>(menu->PopupComponent) : nullptr) sw->RemoveKolpachek();
}

void TfmMain::Image1Click(TObject*)
{
    auto* panel = dynamic_cast<TPanel*>(FindComponent("Panel1"));
    if (!panel) return;
    panel->SetBevelWidth(panel->BevelWidth() == 1 ? 2 : 1);
    const TCursor cursor = panel->BevelWidth() == 1 ? crHandPoint : crKolpachek;
    ForEachOwned([&](TComponent* c) {
        if (auto* sw = dynamic_cast<TEC_Switch*>(c)) sw->SetCursor(cursor);
    });
}

// ---- fencing ----

void TfmMain::EC_Button55Click(TObject*)
{
    FencingRequest = true;
    if (auto* lamp = dynamic_cast<TEC_Lamp*>(FindComponent("EC_Lamp26"))) lamp->Blip();
    StartBlinking();
}

void TfmMain::OtmSoglON(TObject*)
{
    if (!FencingRequest) return;
    if (auto* lamp = dynamic_cast<TEC_Lamp*>(FindComponent("EC_Lamp26"))) lamp->On();
}

void TfmMain::OgraditClick(TObject* Sender)
{
    const int id = IdOf(Sender);
    IPanelLamp* lamp = FindLamp(id);
    if (!lamp) return;
    int report = 120;
    if (FencingRequest) {
        FencingRequest = false;
        if (auto* consent = dynamic_cast<TEC_Lamp*>(FindComponent("EC_Lamp26"))) consent->Off();
        if (lamp->GetState() != 1 || lamp->GetColor() != clYellow) return;
        report = 128;
    } else if (lamp->GetState() != 2) {
        return;
    }
    std::string mes = Format("%d %d %d %d", brTecn, 10, 1501, id);
    if (!MessageDispatcher(nullptr, mes, nullptr)) return;
    unsigned n = 0;
    SScanf(mes.c_str(), "%u", &n);
    mes = Format("%d %d %u %d 1", brTecn, 5, n, report);
    MessageDispatcher(nullptr, mes, nullptr);
}

// ---- switchboard ----

void TfmMain::EC_ComutatorButtonMouseUp(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    auto* key = dynamic_cast<TEC_ComutatorButton*>(Sender);
    if (!key || ClockStopped()) return;
    if (key->State() != TEC_ComutatorButton::ksPressedRinging) return;
    key->Deadline = -1;
    key->NoteMessage();
    bool spoken = false;
    if (!key->LastText.empty())
        if (auto* speaker = dynamic_cast<TEC_Speaker*>(FindComponent("EC_Speaker"))) spoken = speaker->NewSpeak(key->LastText);
    const bool text = TextMessages();
    if (spoken && !text) {
        std::string mes = Format("%d %d %f %d %d %d", brDelay, 4, ModelTime + 5.0, brInterface, 24, key->GroupIndex);
        MessageDispatcher(nullptr, mes, nullptr);
    }
    if (text || !spoken) ShowKeyMessages(key);
}

void TfmMain::ShowKeyMessages(TEC_ComutatorButton* key)
{
    if (!key || ClockStopped()) return;
    if (!TrainerWindow("fmCommutatorMessage") || !fmCommutatorMessage) return;
    TfmCommutatorMessage* window = fmCommutatorMessage;
    window->SetCaption(key->Caption() + "->Комутатор");
    window->mMessage->Lines().Clear();
    TStringList* lines = key->GetMessageA();
    for (int i = 0; i < lines->Count(); ++i) window->mMessage->Lines().Add((*lines)[i]);
    key->Dialog = window;
    window->Key = PanelLink<ISwitchboardKey>(key);
    window->Show();
}

void TfmMain::LastMesClick(TObject* Sender)
{
    TEC_ComutatorButton* key = PopupKey(dynamic_cast<TMenuItem*>(Sender));
    if (!key) return;
    // DeActivate empties the last text, so it goes first and MemMessage brings the text back.
    key->SetDown(false);
    key->DeActivate();
    key->MemMessage();
    key->ActivateRed();
    // Taken again as by a left click, which speaks or shows the call once more.
    key->MouseUp(mbLeft, TShiftState{}, 0, 0);
    key->SetDown(true);
}

void TfmMain::OpenKeyDialog(TMenuItem* item, TForm* dialog, const TDialogPresets* presets)
{
    TEC_ComutatorButton* key = PopupKey(item);
    if (!key) return;
    if (key->Executor != 0) {
        std::string mes = Format("%d %d %d", brTecn, 24, key->Executor);
        MessageDispatcher(nullptr, mes, nullptr);
        int free = 0;
        SScanf(mes.c_str(), "%d", &free);
        if (free == 0) {
            // Raised too: a call that comes later is taken by the key's first click.
            key->SetDown(false);
            key->DeActivate();
            return;
        }
    }
    const std::string name = dialog ? dialog->Name() : std::string();
    if (!dialog || !TrainerWindow(name)) {
        ReleaseKey(PanelLink<ISwitchboardKey>(key));
        return;
    }
    if (auto* p = dynamic_cast<IPresetDialog*>(dialog); p && presets) p->ApplyPresets(*presets);
    if (auto* d = dynamic_cast<TKeyDialogForm*>(dialog)) d->OwnerKey = PanelLink<ISwitchboardKey>(key);
    dialog->SetCaption("ДСП->" + key->Caption());
    key->Dialog = dialog;
    dialog->Show();
}

void TfmMain::ReportLocoPosition(int loco)
{
    // Off the interlocking (the sorting tracks, the hump) the plan's name of the section is said.
    TTalk talk([this](std::string& mes) { return MessageDispatcher(nullptr, mes, nullptr); });
    const std::string where = WhereStands(talk, static_cast<unsigned>(loco), 1);
    if (where.empty()) return;
    std::string report = Format("4 10 МЛ%d Нахожусь на секции %s", loco, where.c_str());
    SendTrainerMessage(report);
}

// ---- main menu ----

void TfmMain::N53Click(TObject*)
{
    if (auto* item = dynamic_cast<TMenuItem*>(FindComponent("N53"))) item->SetChecked(!item->Checked());
}

void TfmMain::N2Click(TObject*)
{
    Close();
}
