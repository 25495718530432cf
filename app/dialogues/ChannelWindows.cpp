// The channel windows (see ChannelWindows.h).
#include "app/dialogues/ChannelWindows.h"

#include <algorithm>

TChannelLayout TrainWindowLayout(int width, int height)
{
    int w = std::max(width, 260), h = std::max(height, 160);
    return {w, h, w - 10, h - 80, h - 65, w / 2 - 37};
}

TChannelWindow::TChannelWindow() : TForm(nullptr)
{
    Handlers().Add("FormShow", TNotifyEvent([this](TObject* s) { FormShow(s); }));
    Handlers().Add("Timer1Timer", TNotifyEvent([this](TObject* s) { Timer1Timer(s); }));
    Handlers().Add("btCloseClick", TNotifyEvent([this](TObject* s) { btCloseClick(s); }));
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
}

void TChannelWindow::Load(const std::string& definition)
{
    LoadDefinition(":/app/dialogues/forms/" + definition);
    mMessage = FindChild<TMemo>("mMessage");
    btClose = FindChild<TButton>("btClose");
    Timer1 = FindChild<TTimer>("Timer1");
    SavedCaption = Caption();
}

void TChannelWindow::FormShow(TObject*)
{
    // Also when a further message is added to the open window: the reminder starts again.
    mMessage->SetColor(clWindow);
    Timer1->SetInterval(kFirstReminder);
}

void TChannelWindow::Timer1Timer(TObject*)
{
    Timer1->SetInterval(kReminder);
    mMessage->SetColor(clRed);
    MessageBeep(0);
}

void TChannelWindow::btCloseClick(TObject*) { Close(); }

void TChannelWindow::FormClose(TObject*, TCloseAction&)
{
    Timer1->SetInterval(0);
    mMessage->SetColor(clWindow);
    SetCaption(SavedCaption);
}

TfmTrain::TfmTrain()
{
    Load("Train.vfm");
    OnResize = [this](TObject* s) { FormResize(s); };
    // Closing also takes the window back to its smallest size.
    OnClose = [this](TObject* s, TCloseAction& a) {
        FormClose(s, a);
        SetBounds(Left(), Top(), 0, 0);
        FormResize(s);
    };
}

void TfmTrain::FormResize(TObject*)
{
    if (resizing) return;
    resizing = true;
    TChannelLayout l = TrainWindowLayout(Width(), Height());
    if (l.Width != Width() || l.Height != Height()) SetBounds(Left(), Top(), l.Width, l.Height);
    mMessage->SetBounds(mMessage->Left(), mMessage->Top(), l.MemoWidth, l.MemoHeight);
    btClose->SetBounds(l.ButtonLeft, l.ButtonTop, btClose->Width(), btClose->Height());
    resizing = false;
}
