// The channel windows in which the dialogue partners speak: the loudspeaker link (fmGromk), the
// train radio (fmTrain) and the shunting radio (fmManevr). The partner table writes a message into
// the first memo, puts the partner's name before the caption and shows the window; the window
// then insists: after 10 s without "Зрозуміло" its text turns red and it beeps every 3 s.
// The reminder is a window timer that goes on while the clock is paused.
#pragma once
#include <string>

#include "platform/qt/Forms.h"

// Where fmTrain's controls go at a window size, the size kept at least 260 x 160.
struct TChannelLayout {
    int Width, Height;
    int MemoWidth, MemoHeight;
    int ButtonTop, ButtonLeft;
};
TChannelLayout TrainWindowLayout(int width, int height);

class TChannelWindow : public TForm {
    VELO_CLASS(TChannelWindow, TForm)
public:
    // The first wait and the reminder period, in ms.
    static constexpr int kFirstReminder = 10000;
    static constexpr int kReminder = 3000;

    TChannelWindow();
    void FormShow(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void btCloseClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    TMemo* mMessage;
    TButton* btClose;
    TTimer* Timer1;
    // The caption of the definition, restored on closing.
    std::string SavedCaption;

protected:
    // Builds the window from its definition (called by the final class, which it names).
    void Load(const std::string& definition);
};

class TfmGromk : public TChannelWindow {
    VELO_CLASS(TfmGromk, TChannelWindow)
public:
    TfmGromk() { Load("Gromk.vfm"); }
};

class TfmManevr : public TChannelWindow {
    VELO_CLASS(TfmManevr, TChannelWindow)
public:
    TfmManevr() { Load("Manevr.vfm"); }
};

class TfmTrain : public TChannelWindow {
    VELO_CLASS(TfmTrain, TChannelWindow)
public:
    TfmTrain();
    void FormResize(TObject* Sender);

private:
    bool resizing = false;
};
