// The dialogue and channel windows in the program's table of windows (see DialogueWindows.h).
#include "app/dialogues/DialogueWindows.h"

#include <string>
#include <utility>
#include <vector>

#include "app/TrainerWindows.h"
#include "app/dialogues/Announcements.h"
#include "app/dialogues/ChannelWindows.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/MovementOrders.h"
#include "app/dialogues/PostDialogues.h"
#include "app/dialogues/RadioDialogues.h"
#include "app/dialogues/SwitchboardDialogues.h"

void RegisterDialogueWindows()
{
    const std::vector<std::pair<std::string, TWindowMaker>> classes = {
        {"fmManevrMove", [] { return new TfmManevrMove; }},
        {"fmTrainMove", [] { return new TfmTrainMove; }},
        {"fmManevrMoveP", [] { return new TfmManevrMoveP; }},
        {"fmElectroMex", [] { return new TfmElectroMex; }},
        {"fmGromk", [] { return new TfmGromk; }},
        {"fmManevr", [] { return new TfmManevr; }},
        {"fmTrain", [] { return new TfmTrain; }},
        {"fmOzhidau", [] { return fmOzhidau = new TfmOzhidau; }},
        {"fmOtkaz", [] { return fmOtkaz = new TfmOtkaz; }},
        {"fmPribivaetR", [] { return new TfmPribivaetR; }},
        {"fmPribivaetT", [] { return new TfmPribivaetT; }},
        {"fmZaprosDNC", [] { return new TfmZaprosDNC; }},
        {"fmZaprosDSP", [] { return new TfmZaprosDSP; }},
        {"fmTrainOut", [] { return new TfmTrainOut; }},
        {"fmPassOut", [] { return new TfmPassOut; }},
        {"fmDNCVozvrat", [] { return new TfmDNCVozvrat; }},
        {"fmDNCLoko", [] { return new TfmDNCLoko; }},
        {"fmDNCOnHelp", [] { return new TfmDNCOnHelp; }},
        {"fmOtpravlenie", [] { return new TfmOtpravlenie; }},
        {"fmTrainPritc", [] { return new TfmTrainPritc; }},
        {"fmPassMove", [] { return new TfmPassMove; }},
        {"fmManevrOtc", [] { return new TfmManevrOtc; }},
        {"fmManevrPritc", [] { return new TfmManevrPritc; }},
        {"fmLocoToHelp", [] { return new TfmLocoToHelp; }},
        {"fmPomOtc", [] { return new TfmPomOtc; }},
        {"fmLocoToTrain", [] { return new TfmLocoToTrain; }},
        {"fmVozvratPom", [] { return new TfmVozvratPom; }},
        {"fmContinueMove", [] { return new TfmContinueMove; }},
        {"fmTrainOtc", [] { return new TfmTrainOtc; }},
        {"fmPribivaet", [] { return new TfmPribivaet; }},
        {"fmPribivaetPrig", [] { return new TfmPribivaetPrig; }},
        {"fmUvagaTrainOut", [] { return new TfmUvagaTrainOut; }},
        {"fmUvagaRospusk", [] { return new TfmUvagaRospusk; }},
        {"fmUvagaLokoPritc", [] { return new TfmUvagaLokoPritc; }},
        {"fmPredupr", [] { return new TfmPredupr; }},
        {"fmSwitchState", [] { return new TfmSwitchState; }},
        {"fmSectionState", [] { return new TfmSectionState; }},
        {"fmSwitchTurn", [] { return new TfmSwitchTurn; }},
        {"fmZamkSwitch", [] { return new TfmZamkSwitch; }},
        {"fmSnyatZakl", [] { return new TfmSnyatZakl; }},
        {"fmKurbel", [] { return new TfmKurbel; }},
        {"fmZacrepit", [] { return new TfmZacrepit; }},
        {"fmUbrat", [] { return new TfmUbrat; }},
        {"fmSnyatOgr", [] { return new TfmSnyatOgr; }},
    };
    for (const auto& [name, make] : classes) AddWindowClass(name, make);
}
