// The loudspeaker announcements (a train received, a suburban train arriving, a freight train
// departing, a cut humped, a locomotive coupled) and the order to post 1's signalman to issue the
// permit for a help locomotive. Each window collects its inputs; its confirmation is in
// PostTalks.h.
#pragma once
#include <set>

#include "app/dialogues/Dialogue.h"
#include "app/dialogues/PostTalks.h"

// A train announced with a station and a track of the arrival list; trackKinds are the kinds
// of "DATA\Pribitie.dat" its track list takes.
class TAnnouncedTrainDialogue : public TDialogueForm {
    VELO_CLASS(TAnnouncedTrainDialogue, TDialogueForm)
public:
    TAnnouncedTrainDialogue(const std::string& name, std::set<int> trackKinds)
        : TDialogueForm(name), kinds(std::move(trackKinds)) {}
    void ReadDataFile() override;
    TEdit* ebTrNumber;
    TComboBox* cbStation;
    TComboBox* cbWay;
    TArray10<int> StationIds;
    TArray20<int> TrackIds;

protected:
    void BindControls() override;

private:
    std::set<int> kinds;
};

class TfmPribivaet : public TAnnouncedTrainDialogue {
    VELO_CLASS(TfmPribivaet, TAnnouncedTrainDialogue)
public:
    TfmPribivaet() : TAnnouncedTrainDialogue("fmPribivaet", {2, 3}) { Load("Pribivaet.vfm"); }
    TOutcome Confirm(TTalk& talk) override;
};

class TfmPribivaetPrig : public TAnnouncedTrainDialogue {
    VELO_CLASS(TfmPribivaetPrig, TAnnouncedTrainDialogue)
public:
    TfmPribivaetPrig() : TAnnouncedTrainDialogue("fmPribivaetPrig", {3}) { Load("PribivaetPrig.vfm"); }
    TOutcome Confirm(TTalk& talk) override;
};

class TfmUvagaTrainOut : public TAnnouncedTrainDialogue {
    VELO_CLASS(TfmUvagaTrainOut, TAnnouncedTrainDialogue)
public:
    TfmUvagaTrainOut() : TAnnouncedTrainDialogue("fmUvagaTrainOut", {2, 3}) { Load("UvagaTrainOut.vfm"); }
    TOutcome Confirm(TTalk& talk) override;
};

// A cut humped from a track of kind 2 of the arrival list.
class TfmUvagaRospusk : public TDialogueForm {
    VELO_CLASS(TfmUvagaRospusk, TDialogueForm)
public:
    TfmUvagaRospusk();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TComboBox* cbWay;
    TArray20<int> TrackIds;
};

// The track list from the track lines of "DATA\Zacrepit.dat" of the given groups (3, 7).
class TSecuringTrackDialogue : public TDialogueForm {
    VELO_CLASS(TSecuringTrackDialogue, TDialogueForm)
public:
    TSecuringTrackDialogue(const std::string& name, std::set<int> trackGroups)
        : TDialogueForm(name), groups(std::move(trackGroups)) {}
    void ReadDataFile() override;
    TComboBox* cbWay;
    TArray50<int> TrackIds;

private:
    std::set<int> groups;
};

class TfmUvagaLokoPritc : public TSecuringTrackDialogue {
    VELO_CLASS(TfmUvagaLokoPritc, TSecuringTrackDialogue)
public:
    TfmUvagaLokoPritc();
    TOutcome Confirm(TTalk& talk) override;
};

// The track, the kilometre (Edit2) and the train (Edit3) are spoken only; the fields are kept
// between openings.
class TfmPredupr : public TSecuringTrackDialogue {
    VELO_CLASS(TfmPredupr, TSecuringTrackDialogue)
public:
    TfmPredupr();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebLoko;
    TEdit* Edit2;
    TEdit* Edit3;
};
