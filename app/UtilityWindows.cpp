// The small windows around the panel (see UtilityWindows.h).
#include "app/UtilityWindows.h"

#include <algorithm>

#include "app/InterfaceModel.h"
#include "app/PanelLinks.h"
#include "app/TrainerWindows.h"
#include "models/base/Utilit.h"
#include "panel/EC_Button.h"
#include "platform/core/CFormat.h"
#include "platform/media/Jpeg.h"

TfmCommutatorMessage* fmCommutatorMessage = nullptr;
TfmSectionsRoute* fmSectionsRoute = nullptr;
TfmAbout* fmAbout = nullptr;
TfmKeyBoard* fmKeyBoard = nullptr;

namespace {

// A bus message is built in a 240-byte buffer: at most 239 characters of a request count.
constexpr size_t kRequestChars = 239;
// Train-state lines and their new texts are kept within this many characters.
constexpr size_t kStateLineChars = 119;

// The first n characters (not bytes) of a UTF-8 text.
std::string FirstChars(const std::string& s, size_t n)
{
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == n) return s.substr(0, i);
    }
    return s;
}

void SetFontColor(TControl* c, TColor color)
{
    TFont f = c->Font();
    f.Color = color;
    c->SetFont(f);
}

template <class F>
void Unset(F*& global, F* self)
{
    if (global == self) global = nullptr;
}

} // namespace

void RegisterUtilityWindowProperties()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStringsProperty<TImage>("Picture.Data", [](TImage& image, const TStringList& lines) {
        std::string hex;
        for (const std::string& l : lines.lines) hex += l;
        image.SetPicture(DecodeJpegHex(hex));
    });
}

// ---- message window ----

TfmMessage::TfmMessage() : TForm(nullptr)
{
    Handlers().Add("btCloseClick", TNotifyEvent([this](TObject* s) { btCloseClick(s); }));
    LoadDefinition(":/app/forms/Message.vfm");
    mMessage = FindChild<TMemo>("mMessage");
    btClose = FindChild<TButton>("btClose");
}

TfmMessage::~TfmMessage() { Unset(fmMessage, this); }

void TfmMessage::btCloseClick(TObject*) { Close(); }

// ---- console ----

TfmConsole::TfmConsole() : TForm(nullptr)
{
    Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
    LoadDefinition(":/app/forms/Console.vfm");
    EditMes = FindChild<TComboBox>("EditMes");
    Button1 = FindChild<TButton>("Button1");
    Label3 = FindChild<TLabel>("Label3");
    Edit1 = FindChild<TEdit>("Edit1");
    Memo1 = FindChild<TMemo>("Memo1");
}

TfmConsole::~TfmConsole() { Unset(fmConsole, this); }

void TfmConsole::Button1Click(TObject*)
{
    std::string mes = FirstChars(EditMes->Text(), kRequestChars);
    Label3->SetCaption("Работа");
    SetFontColor(Label3, clYellow);
    if (SendTrainerMessage(mes)) {
        Edit1->SetText(mes);
        Label3->SetCaption("Выполнено");
        SetFontColor(Label3, clGreen);
    } else {
        Label3->SetCaption("Отказ");
        SetFontColor(Label3, clRed);
        Edit1->SetText("");
    }
}

void TfmConsole::AddConsoleEvent(const std::string& line) { Memo1->Lines().Add(line); }

// ---- error list ----

TfmError::TfmError() : TForm(nullptr)
{
    LoadDefinition(":/app/forms/Error.vfm");
    ListBox = FindChild<TListBox>("ListBox");
}

TfmError::~TfmError() { Unset(fmError, this); }

// ---- information window ----

TfmInfo::TfmInfo() : TForm(nullptr)
{
    LoadDefinition(":/app/forms/Info.vfm");
    ListBox1 = FindChild<TListBox>("ListBox1");
    ListBox2 = FindChild<TListBox>("ListBox2");
}

TfmInfo::~TfmInfo() { Unset(fmInfo, this); }

void TfmInfo::ReplaceTrainState(const std::string& mes)
{
    int receiver = 0, command = 0, n = 0;
    if (SScanf(mes.c_str(), "%d %d %d", &receiver, &command, &n) != 3) return;
    std::string text = FirstChars(DropWords(mes, 3), kStateLineChars);
    std::replace(text.begin(), text.end(), '_', ' ');
    TStrings& lines = ListBox1->Items();
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = FirstChars(lines[i], kStateLineChars);
        int lead = 0;
        if (SScanf(line.c_str(), "%d", &lead) != 1 || lead != n) continue;
        size_t dash = line.find('-');
        if (dash == std::string::npos) return;
        // The line keeps the width the window was made for.
        lines.Put(i, FirstChars(line.substr(0, dash + 1) + " " + text, kStateLineChars));
        return;
    }
}

void TfmInfo::InsertInfoLine(const std::string& mes)
{
    int receiver = 0, command = 0, flag = 0;
    SScanf(mes.c_str(), "%d %d %d", &receiver, &command, &flag);
    (flag != 0 ? ListBox1 : ListBox2)->Items().Insert(0, DropWords(mes, 3));
}

// ---- help window ----

TfmActiveHelp::TfmActiveHelp() : TForm(nullptr)
{
    Handlers().Add("miZakrClick", TNotifyEvent([this](TObject* s) { miZakrClick(s); }));
    Handlers().Add("miFloatClick", TNotifyEvent([this](TObject* s) { miFloatClick(s); }));
    Handlers().Add("N1Click", TNotifyEvent([this](TObject* s) { N1Click(s); }));
    LoadDefinition(":/app/forms/ActiveHelp.vfm");
    Memo1 = FindChild<TMemo>("Memo1");
}

TfmActiveHelp::~TfmActiveHelp() { Unset(fmActiveHelp, this); }

void TfmActiveHelp::AppendHelpLine(const std::string& mes)
{
    // The newest line comes into view, unless the trainee scrolled up to read an earlier one.
    const bool follow = Memo1->AtEnd();
    Memo1->Lines().Add(DropWords(mes, 2));
    if (follow) Memo1->ScrollToEnd();
}

void TfmActiveHelp::miZakrClick(TObject*)
{
    SetBorderStyle(bsNone);
    Memo1->SetColor(clSilver);
}

void TfmActiveHelp::miFloatClick(TObject*)
{
    SetBorderStyle(bsSizeToolWin);
    Memo1->SetColor(clInfoBk);
}

void TfmActiveHelp::N1Click(TObject*) { Close(); }

// ---- switchboard message window ----

namespace {
constexpr int kCallWidth = 254;
constexpr int kCallHeight = 145;
} // namespace

TfmCommutatorMessage::TfmCommutatorMessage() : TForm(nullptr)
{
    Handlers().Add("FormShow", TNotifyEvent([this](TObject* s) { FormShow(s); }));
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    Handlers().Add("FormResize", TNotifyEvent([this](TObject* s) { FormResize(s); }));
    Handlers().Add("btCloseClick", TNotifyEvent([this](TObject* s) { btCloseClick(s); }));
    Handlers().Add("btAnsverClick", TNotifyEvent([this](TObject* s) { btAnsverClick(s); }));
    Handlers().Add("btOtkazClick", TNotifyEvent([this](TObject* s) { btOtkazClick(s); }));
    LoadDefinition(":/app/forms/CommutatorMessage.vfm");
    mMessage = FindChild<TMemo>("mMessage");
    btClose = FindChild<TButton>("btClose");
    btAnsver = FindChild<TButton>("btAnsver");
    btOtkaz = FindChild<TButton>("btOtkaz");
}

TfmCommutatorMessage::~TfmCommutatorMessage() { Unset(fmCommutatorMessage, this); }

void TfmCommutatorMessage::FormShow(TObject*)
{
    bool answerable = Key && Key->Callback(2);
    btAnsver->SetVisible(answerable);
    btOtkaz->SetVisible(answerable);
    btClose->SetLeft(answerable ? 9 : 89);
}

void TfmCommutatorMessage::FormClose(TObject*, TCloseAction&)
{
    SetBounds(Left(), Top(), kCallWidth, kCallHeight);
    FormResize(this);
    btClose->SetLeft(89);
    btAnsver->Hide();
    btOtkaz->Hide();
}

void TfmCommutatorMessage::FormResize(TObject*)
{
    if (resizing) return;
    resizing = true;
    int w = std::max(Width(), kCallWidth);
    int h = std::max(Height(), kCallHeight);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
    mMessage->SetBounds(mMessage->Left(), mMessage->Top(), w - 8, h - 68);
    btClose->SetTop(h - 53);
    btAnsver->SetTop(h - 53);
    btOtkaz->SetTop(h - 53);
    resizing = false;
}

void TfmCommutatorMessage::Answer(bool first)
{
    if (ISwitchboardKey* key = Key) {
        std::function<void()> callback = key->Callback(first ? 1 : 2);
        key->SetCallbacks({}, {});
        Key = nullptr;
        if (callback) callback();
    }
    Close();
}

void TfmCommutatorMessage::btAnsverClick(TObject*) { Answer(true); }

void TfmCommutatorMessage::btOtkazClick(TObject*) { Answer(false); }

void TfmCommutatorMessage::btCloseClick(TObject*)
{
    if (ISwitchboardKey* key = Key) {
        key->SetDown(false);
        key->DeActivate();
        key->SetOpenDialog(nullptr);
        key->SetCallbacks({}, {});
        Key = nullptr;
    }
    Close();
}

// ---- pause window ----

TfmPusk::TfmPusk() : TForm(nullptr)
{
    Handlers().Add("btPuskClick", TNotifyEvent([this](TObject* s) { btPuskClick(s); }));
    Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
    LoadDefinition(":/app/forms/Pusk.vfm");
    Image1 = FindChild<TImage>("Image1");
    btPusk = FindChild<TButton>("btPusk");
    Button1 = FindChild<TButton>("Button1");
}

TfmPusk::~TfmPusk() { Unset(fmPusk, this); }

void TfmPusk::btPuskClick(TObject*)
{
    std::string mes = Format("%d %d", brInterface, 28);
    SendTrainerMessage(mes);
    Close();
}

void TfmPusk::Button1Click(TObject*)
{
    // Ends the program: the main window closes and every running event loop, this window's
    // too, is told to quit; nothing is destroyed while it is still on the stack.
    std::string mes = Format("%d %d", brInterface, 23);
    SendTrainerMessage(mes);
    Close();
}

// ---- route-section window ----

TfmSectionsRoute::TfmSectionsRoute() : TForm(nullptr)
{
    Handlers().Add("EC_CancelSection", TNotifyEvent([this](TObject* s) { EC_CancelSection(s); }));
    LoadDefinition(":/app/forms/SectionsRoute.vfm");
}

TfmSectionsRoute::~TfmSectionsRoute() { Unset(fmSectionsRoute, this); }

void TfmSectionsRoute::EC_CancelSection(TObject* Sender)
{
    auto* button = dynamic_cast<TEC_Button*>(Sender);
    if (!button) return;
    std::string mes = Format("%d %d %d", brEC, 12, button->Id);
    SendTrainerMessage(mes);
}

// ---- about window ----

TfmAbout::TfmAbout() : TForm(nullptr)
{
    Handlers().Add("FormShow", TNotifyEvent([this](TObject* s) { FormShow(s); }));
    Handlers().Add("Timer1Timer", TNotifyEvent([this](TObject* s) { Timer1Timer(s); }));
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    LoadDefinition(":/app/forms/About.vfm");
    Image1 = FindChild<TImage>("Image1");
    Timer1 = dynamic_cast<TTimer*>(FindComponent("Timer1"));
}

TfmAbout::~TfmAbout() { Unset(fmAbout, this); }

void TfmAbout::FormShow(TObject*)
{
    TargetTop = 193;
    TargetLeft = 202;
    if (Timer1) Timer1->SetInterval(200);
}

void TfmAbout::Timer1Timer(TObject*)
{
    auto step = [](int from, int to) { return from < to ? from + 1 : from > to ? from - 1 : from; };
    int left = step(Left(), TargetLeft);
    int top = step(Top(), TargetTop);
    if (left != Left() || top != Top()) SetBounds(left, top, Width(), Height());
}

void TfmAbout::FormClose(TObject*, TCloseAction&)
{
    if (Timer1) Timer1->SetInterval(0);
}

// ---- keypad ----

TfmKeyBoard::TfmKeyBoard() : TForm(nullptr)
{
    Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
    Handlers().Add("Button11Click", TNotifyEvent([this](TObject* s) { Button11Click(s); }));
    Handlers().Add("Button12Click", TNotifyEvent([this](TObject* s) { Button12Click(s); }));
    LoadDefinition(":/app/forms/KeyBoard.vfm");
}

TfmKeyBoard::~TfmKeyBoard() { Unset(fmKeyBoard, this); }

void TfmKeyBoard::OpenKeyboard(TForm*, TCustomEdit* control)
{
    Target = control;
    TPoint p = Screen().CursorPos();
    SetBounds(p.X + 15, p.Y + 15, Width(), Height());
    ShowModal();
}

void TfmKeyBoard::Button1Click(TObject* Sender)
{
    auto* button = dynamic_cast<TControl*>(Sender);
    if (!Target || !button) return;
    // As typed: appended to a plain field, at the caret of a time field.
    Target->TypeText(button->Caption());
}

void TfmKeyBoard::Button11Click(TObject*)
{
    if (Target) Target->TypeBackspace();
}

void TfmKeyBoard::Button12Click(TObject*) { Close(); }
