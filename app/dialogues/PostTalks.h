// The confirmations of the loudspeaker announcements, the signalman post orders, the brake-shoe
// orders, the electro-mechanic and the wagon inspection's fencing. The station lists they read,
// "DATA\Zacrepit.dat" and "DATA\SwitchSt.dat", are app/StationLists.h. Every confirmation is a
// plain function over a bus (see Confirmation.h).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/StationLists.h"
#include "app/dialogues/Confirmation.h"
#include "models/base/Containers.h"


// The technology object of a post's signalman: post 1 -> 5, post 7 -> 4, otherwise 3.
int PostExecutor(int post);
// The electro-mechanic's technology object.
constexpr unsigned kElectroMechanic = 6;

// ---- loudspeaker announcements ----

// A train received from a station onto a track (104): the station must be its approach.
TOutcome ConfirmAnnouncedArrival(TTalk& talk, const std::string& n, std::optional<int> station,
                                 std::optional<int> track);
// A train leaving towards a station from a track: the suburban arrival (303) and the freight
// departure (146); the station must not be the one it came from. The blank texts differ.
struct TOutboundTexts {
    const char* NoStation;
    const char* NoTrack;
    int Code;
};
extern const TOutboundTexts kSuburbanArrival;
extern const TOutboundTexts kFreightDeparture;
TOutcome ConfirmOutbound(TTalk& talk, const std::string& n, std::optional<int> station, std::optional<int> track,
                         const TOutboundTexts& texts);
// A report to what stands on a track (humping 124, a loco coupled 122, fencing removed 200);
// blank is the text when no track is chosen, text the track as shown.
TOutcome ConfirmTrackReport(TTalk& talk, std::optional<int> track, const std::string& text, const char* blank,
                            int code);
// The fencing removed from a track (200 to what stands there); the wagon inspection then puts
// the fencing lamp (the train's 1501) out, clears the train's 1501 and rings its key a few
// seconds later (when the window that it opened has closed) with what it did.
TOutcome ConfirmFencingRemoval(TTalk& talk, std::optional<int> track, const std::string& text,
                               const std::string& key);
// The permit for a help locomotive (420 on the locomotive).
TOutcome ConfirmHelperPermit(TTalk& talk, const std::string& loco);

// ---- signalman posts; e is the signalman's object, s the chosen entry as shown ----

// A switch order: its state (400), the lock removed (403), locked (405).
TOutcome ConfirmSwitchOrder(TTalk& talk, int e, std::optional<std::string> s, int code);
// Turn a switch to "+" (0) or "-" (1) and clamp it (402).
TOutcome ConfirmSwitchTurn(TTalk& talk, int e, std::optional<std::string> s, std::optional<int> position);
// A section's state (404): its name as the task, its number in the report.
TOutcome ConfirmSectionState(TTalk& talk, int e, std::optional<TSwitchStLine> section);
// Take out the crank (401).
TOutcome ConfirmCrank(TTalk& talk, int e, const std::string& crank);

// ---- brake shoes ----

// Secure train n on the chosen track with the shoes typed or chosen (126 with 1004).
TOutcome ConfirmSecuring(TTalk& talk, const std::string& n, std::optional<int> track, const std::string& shoes,
                         const TZacrepitNorms& norms);
// Remove the shoes from the chosen track (121); shoes is the chosen entry, none when nothing is.
TOutcome ConfirmShoesRemoval(TTalk& talk, std::optional<int> track, const std::string& text,
                             std::optional<std::string> shoes);

// ---- the electro-mechanic: 0 a button sealed, 1 a crank sealed, 2 false occupancy, 3 false clear ----

TOutcome ConfirmElectroMechanic(TTalk& talk, int mode, std::optional<std::string> button,
                                std::optional<int> sectionId, const std::string& sectionName);
