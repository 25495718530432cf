// Receiver 4: the interface commands through which the models change the panel, ring and fill
// the switchboard keys, count errors and run the clock. Every command reads its fields from the
// start of the message; a field that is missing or not a number refuses the command (false, no
// change), except where a default is given.
#include <vector>

#include "app/InterfaceModel.h"
#include "app/StationLists.h"
#include "app/TrainerWindows.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"
#include "platform/media/sound/SoundOutput.h"

namespace {

// The largest width or height a message may give a window (command 34).
constexpr unsigned kMaxWindowSide = 8192;

// The blank-separated words of a message, read one field at a time.
class TFields {
public:
    explicit TFields(const std::string& mes)
    {
        std::string w;
        for (char c : mes) {
            if (IsBlankChar(c)) {
                if (!w.empty()) words.push_back(w);
                w.clear();
            } else {
                w += c;
            }
        }
        if (!w.empty()) words.push_back(w);
    }
    bool Int(size_t i, int& v) const { return i < words.size() && SScanf(words[i].c_str(), "%d", &v) == 1; }
    bool Unsigned(size_t i, unsigned& v) const { return i < words.size() && SScanf(words[i].c_str(), "%u", &v) == 1; }
    bool Word(size_t i, std::string& v) const
    {
        if (i >= words.size()) return false;
        v = words[i];
        return true;
    }

private:
    std::vector<std::string> words;
};

const char* const kTickSound = "sound\\tick.wav";
const char* const kRingSound = "sound\\td.wav";
// The securing norms the brake-shoe dialogue checks an order against.
const char* const kSecuringNorms = "DATA\\Zacrepit.dat";

} // namespace

// ---- look-ups ----

IPanelSignal* TfmMain::FindSignal(int id) const
{
    for (unsigned i = 0; i < Signals.Count(); ++i)
        if ((*Signals.Get(i))->GetId() == id) return *Signals.Get(i);
    return nullptr;
}

IPanelSection* TfmMain::FindSection(int id) const
{
    for (unsigned i = 0; i < Sections.Count(); ++i)
        if ((*Sections.Get(i))->GetID() == id) return *Sections.Get(i);
    return nullptr;
}

IPanelCell* TfmMain::FindCell(int id) const
{
    for (unsigned i = 0; i < Cells.Count(); ++i)
        if ((*Cells.Get(i))->GetId() == id) return *Cells.Get(i);
    return nullptr;
}

IPanelLamp* TfmMain::FindLamp(int id) const
{
    for (unsigned i = 0; i < Lamps.Count(); ++i)
        if ((*Lamps.Get(i))->GetId() == id) return *Lamps.Get(i);
    return nullptr;
}

IPanelButtonLamp* TfmMain::FindButtonLamp(int id) const
{
    for (unsigned i = 0; i < ButtonLamps.Count(); ++i)
        if ((*ButtonLamps.Get(i))->GetId() == id) return *ButtonLamps.Get(i);
    return nullptr;
}

IPanelRoutePointer* TfmMain::FindRoutePointer(int id) const
{
    for (unsigned i = 0; i < RoutePointers.Count(); ++i)
        if ((*RoutePointers.Get(i))->GetId() == id) return *RoutePointers.Get(i);
    return nullptr;
}

ISwitchboardKey* TfmMain::FindKey(const std::string& caption) const
{
    for (unsigned i = 0; i < Keys.Count(); ++i)
        if ((*Keys.Get(i))->GetCaption() == caption) return *Keys.Get(i);
    return nullptr;
}

// ---- commands ----

bool TfmMain::InterfaceCommand(std::string& mes, TlstParams*)
{
    TFields f(mes);
    int cmd = 0;
    if (!f.Int(1, cmd)) return false;

    switch (cmd) {
    case 4:
        mes = Format("%u", static_cast<unsigned>(MainTimer ? MainTimer->Interval() : 0));
        return true;

    case 5: {
        unsigned interval = 0;
        if (!f.Unsigned(2, interval) || !MainTimer) return false;
        MainTimer->SetInterval(static_cast<int>(interval));
        return true;
    }

    case 6: {
        unsigned weight = 0;
        int fatal = 0;
        std::string clock;
        if (!f.Unsigned(2, weight) || !f.Int(3, fatal) || !f.Word(4, clock)) return false;
        std::string text = DropWords(mes, 5);
        if (fmError) fmError->ListBox->Items().Add(SecondsToClock(static_cast<unsigned>(ModelTime)) + " " + text);
        if (fatal != 0) throw Exception(text);
        if (IStatusBar* bar = StatusBar()) bar->FixError(text, weight);
        return true;
    }

    case 7: {
        int id = 0, aspect = 0;
        if (!f.Int(2, id) || !f.Int(3, aspect)) return false;
        IPanelSignal* s = FindSignal(id);
        if (!s) return false;
        if ((aspect >= 0 && aspect <= 3) || aspect == 7) {
            s->SetState(aspect);
            return true;
        }
        if ((aspect >= 4 && aspect <= 6) || aspect == 8) {
            s->SetState(aspect);
            StartBlinking();
            return true;
        }
        return false;
    }

    case 8: {
        int id = 0, variant = 0, state = 0;
        if (!f.Int(2, id) || !f.Int(3, variant) || !f.Int(4, state)) return false;
        if (id == 0) return false;
        IPanelSection* s = FindSection(id);
        if (!s) return false;
        PlaySoundAsync(kTickSound);
        if ((state >= 0 && state <= 2) || state == 4) {
            s->SetState(state, variant);
            return true;
        }
        if (state == 5 || state == 6) {
            StartBlinking();
            s->SetState(state, variant);
            return true;
        }
        return false;
    }

    case 9: {
        std::string caption;
        int flag = 0;
        if (!f.Word(2, caption) || !f.Int(3, flag)) return false;
        StartClock();
        ISwitchboardKey* key = FindKey(caption);
        if (!key) return false;
        const float deadline = static_cast<float>(ModelTime + 90);
        if (flag == 1) {
            auto opener = [this, key](TKeyDialogForm* dialog) -> std::function<void()> {
                return [this, key, dialog] {
                    // An answer whose dialogue is not built yet only writes its console line.
                    if (!dialog || !TrainerWindow(dialog->Name())) {
                        ReleaseKey(key);
                        return;
                    }
                    dialog->OwnerKey = key;
                    key->SetOpenDialog(dialog);
                    dialog->Show();
                };
            };
            key->SetCallbacks(opener(fmOzhidau), opener(fmOtkaz));
        } else {
            key->SetCallbacks({}, {});
        }
        // Only a call that rings can be missed: a key that is pressed takes no deadline, one that
        // already rings has its deadline moved.
        if (!key->ActivateRed()) {
            if (key->State() == 1) key->SetDeadline(deadline);
            return false;
        }
        key->SetDeadline(deadline);
        key->SetMessage(DropWords(mes, 4));
        return true;
    }

    case 10: {
        // Also the bare [4 10] of a stopping train: the clock runs at speed 1 and nobody is named.
        std::string name;
        f.Word(2, name);
        StartClock();
        IPartnerTable* c = Connection();
        return c && c->ShowMessage(name, DropWords(mes, 3)) != 0;
    }

    case 12:
    case 13: {
        int n = 0, v = 0;
        if (!f.Int(2, n) || !f.Int(3, v)) return false;
        if (n < 1 || n > (cmd == 12 ? 2 : 4)) return false;
        IPanelIndicator* ind = Named<IPanelIndicator>(Format(cmd == 12 ? "EC_Peregon%d" : "EC_Block%d", n));
        if (!ind) return false;
        ind->SetState(v != 0);
        return true;
    }

    case 14: {
        int mode = 2;
        f.Int(2, mode);
        IPanelAmmeter* a = Named<IPanelAmmeter>("EC_Amper1");
        if (!a) return false;
        if (mode == 0) a->OFF();
        else if (mode == 1) a->ON();
        else a->Execute();
        return true;
    }

    case 15: {
        std::string name;
        int v = 1;
        if (!f.Word(2, name)) return false;
        f.Int(3, v);
        for (int i = 0; i < ComponentCount(); ++i) {
            TComponent* c = Components(i);
            if (!::InheritsFromClassName(c, "TEC_PlButton")) continue;
            IPanelSealedButton* b = PanelLink<IPanelSealedButton>(c);
            if (!b || b->GetButtonName() != name) continue;
            b->SetPlombed(v != 0);
            b->Repaint();
            return true;
        }
        return false;
    }

    case 16: {
        int id = 0, state = 0, colour = 10;
        if (!f.Int(2, id) || !f.Int(3, state)) return false;
        f.Int(4, colour);
        if (id == 0) return false;
        IPanelLamp* lamp = FindLamp(id);
        if (!lamp) return false;
        static const TColor kColours[] = {clRed, clGreen, clYellow};
        if (colour == 2 && state == 2) {
            if (FileExists(kRingSound)) PlaySoundSync(kRingSound);
            else Beep(700, 500);
        }
        if (colour >= 0 && colour <= 2) lamp->SetColor(kColours[colour]);
        lamp->SetState(state);
        lamp->Repaint();
        if (state == 2) StartBlinking();
        return true;
    }

    case 17: {
        int id = 0, state = 0, colour = 10;
        if (!f.Int(2, id) || !f.Int(3, state)) return false;
        f.Int(4, colour);
        IPanelButtonLamp* b = FindButtonLamp(id);
        if (!b) return false;
        if (colour >= 0 && colour < 3) b->SetLampColor(colour);
        b->SetState(state);
        if (state == 2) StartBlinking();
        return true;
    }

    case 20: {
        int id = 0, state = 0;
        if (!f.Int(2, id) || !f.Int(3, state)) return false;
        if (id == 0) return false;
        if (state == 5 || state == 6) StartBlinking();
        else if (!((state >= 0 && state <= 2) || state == 4)) return false;
        IPanelCell* c = FindCell(id);
        if (!c) return false;
        c->SetState(state);
        return true;
    }

    case 23:
        Close();
        return true;

    case 26: {
        std::string caption;
        if (!f.Word(2, caption)) return false;
        ISwitchboardKey* key = FindKey(caption);
        if (!key) return false;
        mes = Format("%d", key->State());
        return true;
    }

    case 27: {
        int mode = 0;
        if (!f.Int(2, mode)) return false;
        unsigned t = static_cast<unsigned>(ModelTime);
        if (mode == 1) {
            mes = SecondsToClock(t);
        } else if (mode == 2) {
            unsigned h = t / 3600, m = (t % 3600) / 60;
            mes = m == 0 ? Format("%uч", h) : Format("%uч %uм", h, m);
        } else {
            mes = Format("%f", ModelTime);
        }
        return true;
    }

    case 28:
        StartClock();
        return true;

    case 29:
        PauseClock();
        return true;

    case 30: {
        int id = 0, flag = 0;
        if (!f.Int(2, id) || !f.Int(3, flag)) return false;
        IPanelSignal* s = FindSignal(id);
        if (!s) return false;
        s->StartRoute(flag != 0);
        return true;
    }

    case 31: {
        int id = 0, state = 0;
        if (!f.Int(2, id) || !f.Int(3, state)) return false;
        if (id == 0) return false;
        if (state == 3 || state == 4) StartBlinking();
        else if (state < 0 || state > 2) return false;
        IPanelRoutePointer* p = FindRoutePointer(id);
        if (!p) return false;
        p->SetState(state);
        return true;
    }

    case 32:
    case 35: {
        std::string caption;
        if (!f.Word(2, caption)) return false;
        ISwitchboardKey* key = FindKey(caption);
        if (!key) return false;
        if (cmd == 32) key->SetLastText(DropWords(mes, 3));
        else key->AddMessage(DropWords(mes, 3));
        return true;
    }

    case 33: {
        ISpeaker* s = Speaker();
        if (!s) return false;
        s->Speak(DropWords(mes, 2));
        return true;
    }

    case 34: {
        std::string name;
        unsigned w = 0, h = 0;
        if (!f.Word(2, name) || !f.Unsigned(3, w) || !f.Unsigned(4, h)) return false;
        // A window's picture is allocated at its size: nothing larger than a few screens.
        if (w > kMaxWindowSide || h > kMaxWindowSide) return false;
        TForm* form = Screen().FindForm(name);
        if (!form) return false;
        form->SetBounds(form->Left(), form->Top(), static_cast<int>(w), static_cast<int>(h));
        return true;
    }

    case 36:
        if (fmInfo) fmInfo->ReplaceTrainState(mes);
        return true;

    case 37:
        if (fmInfo) fmInfo->InsertInfoLine(mes);
        return true;

    case 38:
        if (fmActiveHelp) fmActiveHelp->AppendHelpLine(mes);
        return true;

    case 39: {
        int number = 0;
        if (!f.Int(2, number)) return false;
        for (unsigned i = 0; i < PostSections.Count(); ++i) {
            const TSectionNumber& s = *PostSections.Get(i);
            if (s.Number != number) continue;
            mes = s.Name;
            return true;
        }
        return false;
    }

    case 40: {
        // The shoe count a train needs on a track, so a help line can name it: the same norms the
        // securing dialogue checks the order against.
        unsigned track = 0;
        int loaded = 0, length = 0;
        if (!f.Unsigned(2, track) || !f.Int(3, loaded) || !f.Int(4, length)) return false;
        if (!securingNormsRead) {
            securingNorms = ReadZacrepit(kSecuringNorms).Norms;
            securingNormsRead = true;
        }
        auto need = NeededShoes(securingNorms, track, loaded ? 1 : 0, length);
        if (!need) return false;
        mes = Format("%u", *need);
        return true;
    }

    default:
        return false;
    }
}
