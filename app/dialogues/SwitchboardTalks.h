// The confirmations of the switchboard and dispatcher dialogues: what each one sends and how it
// ends. n is the train number as typed; station and track are the ids behind the chosen list
// entries (none: nothing chosen). A refusal raises its text (see Confirmation.h).
#pragma once
#include <optional>
#include <string>

#include "app/dialogues/Confirmation.h"

// Waiting for a train from the owner key's neighbour: 101. Without an owner key the train is
// looked up without the approach and the error carries no key caption.
TOutcome ConfirmWaiting(TTalk& talk, const std::string& n, const std::optional<TOwnerKeyInfo>& owner);
// Refusing a train: 102. A train that is nowhere is error 3, which names the side: the owner
// key's caption, as for waiting.
TOutcome ConfirmRefusal(TTalk& talk, const std::string& n, const std::optional<TOwnerKeyInfo>& owner);
// A train announced to the wagon inspection point (103): category 1 to be broken up (else error
// 1012), 2 transit (else error 1011).
TOutcome ConfirmArrival(TTalk& talk, const std::string& n, std::optional<int> station, std::optional<int> track,
                        int category);
// Ready to send a train (140, the text ends with a blank).
TOutcome ConfirmDispatcherRequest(TTalk& talk, const std::string& n);
// A train looked up and reported with code: the neighbour's consent (141/144), the helper back
// (424), the train loco's plan (105), a train stopped on the line (401).
TOutcome ConfirmTrainReport(TTalk& talk, const std::string& n, int code);
// The refusal of a departure time that lacks hours or minutes.
inline const char* const kIncompleteDepartureTime = "Не вказано час відправлення повністю: години і хвилини (гг:хх)";
// A departure at the time of the field towards direction; reported with code. A time that is not
// complete is refused before anything is sent.
TOutcome ConfirmDeparture(TTalk& talk, const std::string& n, const std::string& time, int direction, int code);
// A locomotive given work: 161 on the locomotive.
TOutcome ConfirmLocoWork(TTalk& talk, const std::string& loco);
