// The confirmations of the train-radio, shunting-radio and passing-train dialogues: what each one
// sends and how it ends. Train and locomotive numbers are the fields as typed; they must be one
// word of digits. track, station and destination are the ids behind the chosen list entries
// (none: nothing chosen). A refusal raises its text (see Confirmation.h).
#pragma once
#include <optional>
#include <string>

#include "app/dialogues/Confirmation.h"

// A train sent off with its locomotive from a track towards a station: 143.
TOutcome ConfirmTrainDeparture(TTalk& talk, const std::string& train, const std::string& loko,
                               std::optional<int> track, std::optional<int> station);
// A passenger train passing from the station's approach over a track: 301. The train is looked up
// first; the approach it cannot tell closes the window without a report.
TOutcome ConfirmPassingTrain(TTalk& talk, const std::string& train, std::optional<int> station,
                             std::optional<int> track);
// The shunting locomotive (object 1 or 2) uncouples from its cut on the track it stands on: 127
// of the cut; no cut is error 1014, another track 1015.
TOutcome ConfirmUncoupleCut(TTalk& talk, int loco, std::optional<int> track, const std::string& trackText);
// The shunting locomotive couples to what stands on the track: 123 of that object; nothing there
// is error 8.
TOutcome ConfirmCoupleCut(TTalk& talk, int loco, std::optional<int> track, const std::string& trackText);
// A train locomotive sent onto the line to help a train: 421.
TOutcome ConfirmLocoToHelp(TTalk& talk, const std::string& loko);
// The failed locomotive uncoupled from the train and sent to the depot: 425.
TOutcome ConfirmFailedLocoUncoupled(TTalk& talk, const std::string& train, const std::string& loko,
                                    const std::string& failed, std::optional<int> track);
// A locomotive sent to a track: under a train (162) or as the reserve for help (403). The window
// closes first.
TOutcome ConfirmLocoToTrack(TTalk& talk, const std::string& loko, std::optional<int> track, int code);
// A train looked up by its number and reported with code: the help locomotive's return (423),
// the movement continued (150).
TOutcome ConfirmTrainOrder(TTalk& talk, const std::string& train, int code);
// The destinations of an uncoupled train locomotive, the list's first entries: the depot, the
// reserve to the first neighbour, the reserve to the second; the tracks follow.
constexpr int kDepot = -3, kReserveEast = -2, kReserveWest = -1, kFixedDestinations = 3;
// The train locomotive uncoupled and sent to destination (a code above or a track): 108.
TOutcome ConfirmTrainLocoUncoupled(TTalk& talk, const std::string& train, const std::string& loko,
                                   std::optional<int> track, std::optional<int> destination);
