// What the main window's menus set in a dialogue before it is opened. A dialogue that takes
// presets implements IPresetDialog; it reads the fields that concern it and ignores the others.
// The values stay in the dialogue until the next opener sets them again.
#pragma once
#include <string>

struct TDialogPresets {
    // fmPassOut, fmTrainOut: 1 or 2.
    int Direction = 0;
    // fmPassOut: 302 passenger, 304 suburban; fmZaprosDSP: 141 or 144.
    int RegCode = 0;
    // fmPassOut: the caption of its Label3.
    std::string Label3;
    // The post dialogues, fmZacrepit and fmUbrat: post 1, 3 or 7.
    int Post = 0;
    // fmKurbel: the post shown in lbPost and the executor it keeps.
    std::string PostLabel;
    int Executor = 0;
    // The shunting-loco dialogues: 1 the diesel, 2 the electric loco.
    int Loco = 0;
};

class IPresetDialog {
public:
    virtual ~IPresetDialog() = default;
    virtual void ApplyPresets(const TDialogPresets& presets) = 0;
};
