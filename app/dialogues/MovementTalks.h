// The confirmations of the movement orders: a locomotive ordered to a signal, past a signal or to
// a track. Before an order is registered, the plan is asked whether the target can be reached
// from where the locomotive stands, ahead first and then behind; an unreachable target is the
// trainee's error 15. A refusal raises its text (see Confirmation.h).
#pragma once
#include <optional>
#include <string>

#include "app/dialogues/Confirmation.h"

// The page of an order: what its target is.
enum class TOrderPage { ToSignal, OverSignal, Way, Other };

// The order kind of a page, as the plan and the technology model know it: 1 a signal to stop
// at, 2 a signal to pass, 3 a track or another destination.
int OrderKind(TOrderPage page);

// How the search for the target ended.
enum class TReach { Ahead, Behind, Unreachable, NoPosition };

// Asks the plan, ahead (attempt 0) and behind (attempt 1), whether the locomotive reaches target.
// A query the plan does not handle counts as not reached; a position it does not know ends the
// search with NoPosition.
TReach FindReach(TTalk& talk, unsigned loco, TOrderPage page, int target);

// Where the locomotive stands, as the driver says it: the panel's name of the section under its
// end in direction end (interface command 39), else the plan's name or number; empty when it is
// not placed.
std::string WhereStands(TTalk& talk, unsigned loco, int end = 0);

// The order of the locomotive object loco (the shunting locomotives are objects 1 and 2): the
// window closes first; nothing chosen sends nothing; a reachable target registers the direction,
// kind, target and mode (1005: 2 when the order passes prohibiting signals, else 0) and the
// driver (partner "МЛ{loco}") acknowledges it on the radio with where he stands; an unreachable
// one reports error 15.
TOutcome ConfirmMoveOrder(TTalk& talk, unsigned loco, TOrderPage page, std::optional<int> target, bool prohibiting);

// The order to a train locomotive typed by its number: closes, refuses a missing number, looks
// the locomotive up (error 1107 when it is not found), then as ConfirmMoveOrder, the driver being
// the partner "ПЛок".
TOutcome ConfirmTrainMoveOrder(TTalk& talk, const std::string& loko, TOrderPage page, std::optional<int> target);
